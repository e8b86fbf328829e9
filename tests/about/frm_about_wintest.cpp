#include "about/frm_about_win.h"

#include <gtest/gtest.h>

#include <tuple>

#include "about/about_ids.h"
#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using testing::TextOf;

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tray.handle = CreateWindowExA(0, "STATIC", "tray", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
  }
  void TearDown() override {
    about.reset();
    DestroyWindow(tray.handle);
  }
  HWND Open() {
    about->Show();
    return about->hwnd();
  }
  HWND Item(int id) const { return GetDlgItem(about->hwnd(), id); }

  testing::FakePlatform fake;
  testing::FakeTray tray;
  std::unique_ptr<FrmAbout> about = std::make_unique<FrmAbout>(fake.shell, tray);
};

TEST_F(AboutWindowTest, IsLaidOutAt96And144DpiOwnedByTheTrayWindowWithABlueLink) {
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(window), "About Velquor Trafimo");
  EXPECT_EQ(TextOf(Item(IDC_ABOUT_APP)), "Velquor Trafimo 1.3") << "from the version record";
  EXPECT_EQ(GetWindow(window, GW_OWNER), tray.handle) << "no task bar button";
  EXPECT_EQ(testing::BigIconOf(window), tray.icon);
  EXPECT_EQ(GetFocus(), Item(IDC_ABOUT_CLOSE));
  testing::ExpectCentredOnWorkArea(window);
  for (const UINT dpi : {96u, 144u}) {
    SCOPED_TRACE(dpi);
    if (dpi != 96) testing::MoveToDpi(window, dpi);
    testing::ExpectLaidOut(window);
  }
  HWND link = Item(IDC_ABOUT_LINK);
  HDC dc = GetDC(link);
  SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  ReleaseDC(link, dc);
  SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
}

TEST_F(AboutWindowTest, ClicksOpenTheirOwnAddressesAndCloseUnloads) {
  HWND window = Open();
  const std::pair<int, const char*> clicks[] = {
      {IDC_ABOUT_LINK, "https://www.velquor.example/trafimo/"},
      {IDC_ABOUT_PICTURE, "https://www.velquor.example"}};
  for (const auto& [id, address] : clicks) {
    fake.shell.calls.clear();
    SendMessageA(Item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(Item(id), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(fake.shell.calls.size(), 1u) << address;
    const auto& call = fake.shell.calls[0];
    EXPECT_EQ(call.owner, reinterpret_cast<platform::WindowHandle>(tray.handle));
    EXPECT_EQ(std::tie(call.operation, call.file, call.directory),
              std::make_tuple("", address, "c:\\"));
    EXPECT_TRUE(IsWindowVisible(window)) << "the window stays";
  }
  SendMessageA(Item(IDC_ABOUT_CLOSE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace trafimo::win
