// The Win32 platform services against what the system really answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <ctime>

#include "ifstats/ip_helper.h"
#include "platform/number_format.h"
#include "platform/platform_win.h"
#include "platform/window_win.h"
#include "registry/mod_reg.h"

namespace trafimo {
namespace {

TEST(RealInterfaceTable, ListsTheLoopbackAsSoftwareLoopback) {
  win::RealPlatform real;
  CIpHelper reader(real.get().ifTable, real.get().messages, real.get().process);
  int loopbacks = 0;
  for (const CInterface& record : reader.Interfaces()) {
    EXPECT_EQ(record.InterfaceDescription.find('\0'), std::string::npos);
    loopbacks +=
        record.InterfaceType == kSoftwareLoopbackType && !record.InterfaceDescription.empty();
  }
  EXPECT_EQ(loopbacks, 1);
}

// GetIfTable2 names the rows of GetIfTable by their index; the first run counts the adapters
// (eth0) and leaves the loopback out.
TEST(RealInterfaceTable, GetIfTable2KindsMatchTheRowsAndLeaveTheLoopbackOut) {
  win::RealPlatform real;
  const auto kinds = real.get().ifTable.InterfaceKinds();
  ASSERT_TRUE(kinds.has_value());
  CIpHelper reader(real.get().ifTable, real.get().messages, real.get().process);
  int counted = 0;
  for (const CInterface& row : reader.Interfaces()) {
    EXPECT_EQ(std::count_if(kinds->begin(), kinds->end(),
                            [&](const auto& kind) { return kind.index == row.InterfaceIndex; }),
              1)
        << row.InterfaceDescription;
    const bool isCounted = CountedAtFirstRun(row, kinds);
    if (row.InterfaceType == kSoftwareLoopbackType) {
      EXPECT_FALSE(isCounted);
    }
    counted += isCounted;
  }
  EXPECT_GE(counted, 1) << "eth0 is an adapter";
}

TEST(RealClock, GivesTheLocalTimeOfTheCRuntime) {
  const auto crtNow = [] {
    const std::time_t now = std::time(nullptr);
    const std::tm t = *std::localtime(&now);
    return platform::LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                               t.tm_hour,        t.tm_min,     t.tm_sec};
  };
  const platform::LocalTime before = crtNow(), got = win::Win32Clock().Now(), after = crtNow();
  EXPECT_LE(before, got);  // both count whole seconds
  EXPECT_LE(got, after);
}

TEST(RealLocale, MonthNamesDatesUpperCaseAndTheUsersDecimalPoint) {
  win::Win32Locale locale;
  EXPECT_EQ(locale.FullMonthName(12), locale.FormatDate({2026, 12, 5}, "MMMM"));
  EXPECT_NE(locale.FullMonthName(1), locale.FullMonthName(2));
  const std::string stamp = locale.FormatDate({2026, 3, 7}, "yyyyMMMdd");
  EXPECT_EQ(stamp.substr(0, 4) + stamp.substr(stamp.size() - 2), "202607");
  EXPECT_EQ(locale.ToUpper("2026mar07 abc"), "2026MAR07 ABC");
  char point[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, point, sizeof point);
  EXPECT_EQ(platform::FormatUserNumber(locale, "-1234567.891", 2, false),
            "-1234567" + std::string(point) + "89");
  EXPECT_NE(platform::FormatUserNumber(locale, "1234567", 0, true), "1234567");
}

TEST(UserStoreOnTheRealRegistry, WritesPlainStringsPerSectionAndErasesTheWholeArea) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo");
  win::Win32Registry registry;
  platform::RegistryUserStore store{registry};
  ASSERT_TRUE(store.Write("2026DEC", "OUT", "9876543210"));
  std::uint32_t type = platform::kRegExpandSz;  // asks for text, learns the stored type
  EXPECT_EQ(modReg::ReadRegValue(registry, platform::kHkeyCurrentUser, "Software\\Trafimo\\2026DEC",
                                 "OUT", type),
            "9876543210");
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
  EXPECT_EQ(store.Read("2026DEC", "OUT", "0"), "9876543210");
  EXPECT_EQ(store.Read("2026DEC", "IN", "dflt"), "dflt");
  EXPECT_TRUE(store.EraseAll());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Trafimo", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(store.EraseAll());  // an absent area
}

class Probe : public win::Window {
 public:
  int creates = 0;
  bool destroyed = false;
  bool Create() {
    RegisterClassOnce("TrafimoWindowProbe");
    return CreateBound(0, "TrafimoWindowProbe", "probe", 0, 0, 0, 9, 9, nullptr, nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE) ++creates;
    if (message == WM_APP) throw 42;  // must not escape into the dispatcher
    return win::Window::HandleMessage(message, wParam, lParam);
  }
  void OnDestroyed() override { destroyed = true; }
};

TEST(Window, BindsAtCreationAndUnbindsWhenDestroyed) {
  Probe probe;
  ASSERT_TRUE(probe.Create());
  EXPECT_EQ(probe.creates, 1);
  EXPECT_EQ(reinterpret_cast<Probe*>(GetWindowLongPtrA(probe.hwnd(), GWLP_USERDATA)), &probe);
  EXPECT_EQ(SendMessageA(probe.hwnd(), WM_APP, 0, 0), 0);
  DestroyWindow(probe.hwnd());
  EXPECT_TRUE(probe.destroyed);
  EXPECT_EQ(probe.hwnd(), nullptr);
  EXPECT_EQ(win::TwipsToPixels(885, 144), 89);  // 88.5 rounds up
}

}  // namespace
}  // namespace trafimo
