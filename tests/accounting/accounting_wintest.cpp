// The accounting against Wine's real locale, interface table and registry.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "accounting/accounting.h"
#include "platform/platform_win.h"
#include "support/fakes.h"

namespace trafimo {
namespace {

std::string LocaleText(LCTYPE type) {
  char text[80] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
  return text;
}

std::string Upper(std::string text) {
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string Abbreviated(int month) {
  return LocaleText(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + (month - 1)));
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

class DisplayNothing : public TickDisplay {
 public:
  std::vector<std::string> tips;
  void ShowTip(const std::string& tip) override { tips.push_back(tip); }
  void RefreshMeters(const std::string&, const std::string&, const std::string&) override {}
};

// The real locale with a settable clock.
struct LocaleOnly {
  testing::FakePlatform fake;
  win::Win32Locale locale;
  platform::Platform platform{fake.registry, fake.userStore, fake.ifTable, fake.clock,
                              locale,        fake.messages,  fake.process, fake.shell};
  Settings settings;
  SharedFlags flags;
  TrafficAccounting accounting{platform, settings, flags};
};

TEST(AccountingOnWine, DayStampAndMonthKeyFollowTheUsersLocale) {
  win::RealPlatform real;
  Settings settings;
  SharedFlags flags;
  TrafficAccounting accounting(real.get(), settings, flags);
  SYSTEMTIME today{};
  GetLocalTime(&today);
  ASSERT_FALSE(Abbreviated(today.wMonth).empty());
  EXPECT_EQ(accounting.GetDateToday(),
            std::to_string(today.wYear) + Abbreviated(today.wMonth) + TwoDigits(today.wDay));
  EXPECT_EQ(accounting.RegKey(), Upper(std::to_string(today.wYear) + Abbreviated(today.wMonth)));
}

TEST(AccountingOnWine, MonthKeyOfABillingMonthThatBeganLastYear) {
  LocaleOnly run;
  run.settings.MonthStartDay = 10;
  run.fake.clock.Set(2007, 1, 5);
  EXPECT_EQ(run.accounting.RegKey(), Upper("2006" + Abbreviated(12)));
  EXPECT_EQ(run.accounting.GetDateToday(), "2007" + Abbreviated(1) + "05");
  run.fake.clock.Set(2008, 3, 31);
  run.settings.MonthStartDay = 28;
  EXPECT_EQ(run.accounting.RegKey(), Upper("2008" + Abbreviated(3)));
}

TEST(AccountingOnWine, BytesAreFormattedWithTheUsersSeparators) {
  if (LocaleText(LOCALE_SGROUPING) != "3;0") GTEST_SKIP() << "the locale does not group by 3";
  LocaleOnly run;
  const std::string group = LocaleText(LOCALE_STHOUSAND);
  const std::string point = LocaleText(LOCALE_SDECIMAL);
  run.accounting.ShowMode = 1;
  EXPECT_EQ(run.accounting.FormatBytes(0), "0 KB");
  EXPECT_EQ(run.accounting.FormatBytes(1600), "2 KB");
  EXPECT_EQ(run.accounting.FormatBytes(1073741824), "1" + group + "048" + group + "576 KB");
  run.accounting.ShowMode = 2;
  EXPECT_EQ(run.accounting.FormatBytes(1600), "0" + point + "00 MB");
  EXPECT_EQ(run.accounting.FormatBytes(1073741824), "1" + group + "024" + point + "00 MB");
  // The exact quotient with all its digits is taken by the locale and rounded there.
  EXPECT_EQ(run.accounting.FormatBytes(9223372036854775807),
            "8" + group + "796" + group + "093" + group + "022" + group + "208" + point + "00 MB");
  const std::string negative = run.accounting.FormatBytes(-3145728);
  EXPECT_NE(negative.find('-'), std::string::npos) << negative;
  EXPECT_NE(negative.find("3" + point + "00"), std::string::npos) << negative;
}

// Sends datagrams over the loopback interface, through Winsock loaded at run time.
class LoopbackSender {
 public:
  LoopbackSender() {
    winsock_ = LoadLibraryA("ws2_32.dll");
    if (winsock_ == nullptr) return;
    startup_ = Get<decltype(&WSAStartup)>("WSAStartup");
    socket_ = Get<decltype(&::socket)>("socket");
    sendTo_ = Get<decltype(&::sendto)>("sendto");
    close_ = Get<decltype(&::closesocket)>("closesocket");
    cleanup_ = Get<decltype(&WSACleanup)>("WSACleanup");
    WSADATA data{};
    ready_ = startup_ && socket_ && sendTo_ && close_ && cleanup_ &&
             startup_(MAKEWORD(2, 2), &data) == 0;
  }
  ~LoopbackSender() {
    if (ready_) cleanup_();
    if (winsock_ != nullptr) FreeLibrary(winsock_);
  }
  bool ready() const { return ready_; }

  // Returns the payload bytes sent.
  long Send(int datagrams, int size) {
    const SOCKET s = socket_(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return 0;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = 0x3930;             // 12345, in network order
    to.sin_addr.s_addr = 0x0100007F;  // 127.0.0.1, in network order
    const std::string payload(static_cast<std::size_t>(size), 'x');
    long sent = 0;
    for (int i = 0; i < datagrams; ++i) {
      const int n =
          sendTo_(s, payload.data(), size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
      if (n > 0) sent += n;
    }
    close_(s);
    return sent;
  }

 private:
  template <typename F>
  F Get(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(winsock_, name)));
  }
  HMODULE winsock_ = nullptr;
  decltype(&WSAStartup) startup_ = nullptr;
  decltype(&::socket) socket_ = nullptr;
  decltype(&::sendto) sendTo_ = nullptr;
  decltype(&::closesocket) close_ = nullptr;
  decltype(&WSACleanup) cleanup_ = nullptr;
  bool ready_ = false;
};

std::string LoopbackDescription(platform::Platform& platform) {
  CIpHelper reader(platform.ifTable, platform.messages, platform.process);
  for (const CInterface& entry : reader.Interfaces())
    if (entry.InterfaceType == kSoftwareLoopbackType) return entry.InterfaceDescription;
  return {};
}

TEST(AccountingOnWine, RealTicksCountLoopbackTrafficIntoTheRegistry) {
  win::RealPlatform real;
  platform::Platform& platform = real.get();
  ASSERT_TRUE(platform.userStore.EraseAll());
  Settings settings;
  SharedFlags flags;
  const std::string loopback = LoopbackDescription(platform);
  ASSERT_FALSE(loopback.empty());
  settings.Interface = "," + loopback;
  LoopbackSender sender;
  ASSERT_TRUE(sender.ready());

  TrafficAccounting accounting(platform, settings, flags);
  accounting.LoadShowMode();
  accounting.LoadMonthKey();
  accounting.LoadCostThisMonth();
  accounting.LoadCostToday();
  EXPECT_EQ(platform.userStore.Read("DateToday", "DateToday", ""), accounting.GetDateToday());
  DisplayNothing display;
  accounting.SampleTraffic(display);
  ASSERT_EQ(display.tips.size(), 1u);
  EXPECT_EQ(accounting.LastInterfaceNames, loopback);

  const long sent = sender.Send(200, 1000);
  ASSERT_EQ(sent, 200000);
  Sleep(50);
  accounting.SampleTraffic(display);
  ASSERT_EQ(display.tips.size(), 2u);
  // Every datagram leaves and arrives on the loopback, headers included.
  EXPECT_GE(accounting.CostNow.In, sent);
  EXPECT_GE(accounting.CostNow.Out, sent);
  EXPECT_LT(accounting.CostNow.Total, 1000000000);
  EXPECT_EQ(accounting.CostToday, accounting.CostNow);
  EXPECT_EQ(accounting.CostThisMonth, accounting.CostNow);
  EXPECT_EQ(platform.userStore.Read("Today", "IN", ""), std::to_string(accounting.CostToday.In));
  EXPECT_EQ(platform.userStore.Read("Today", "OUT", ""), std::to_string(accounting.CostToday.Out));
  EXPECT_EQ(platform.userStore.Read(accounting.MonthKey, "IN", ""),
            std::to_string(accounting.CostThisMonth.In));
  EXPECT_EQ(platform.userStore.Read(accounting.MonthKey, "OUT", ""),
            std::to_string(accounting.CostThisMonth.Out));
  EXPECT_EQ(display.tips.back(), "Current - " + accounting.FormatBytes(accounting.CostNow.Total));

  // A later start takes the counters up from the registry.
  TrafficAccounting restarted(platform, settings, flags);
  restarted.LoadShowMode();
  restarted.LoadMonthKey();
  restarted.LoadCostThisMonth();
  restarted.LoadCostToday();
  EXPECT_EQ(restarted.CostThisMonth, accounting.CostThisMonth);
  EXPECT_EQ(restarted.CostToday, accounting.CostToday);
  EXPECT_TRUE(platform.userStore.EraseAll());
}

}  // namespace
}  // namespace trafimo
