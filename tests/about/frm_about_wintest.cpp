#include "about/frm_about_win.h"

#include <gtest/gtest.h>

#include <utility>

#include "about/about_ids.h"
#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

TEST(AboutWindow, IsLaidOutAt100125And150PercentOwnedByTheTrayAndItsClicksOpenTheirAddresses) {
  testing::FakePlatform fake;
  testing::FakeTray tray;
  tray.handle =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  FrmAbout about(fake.shell, tray);
  about.Show();
  HWND window = about.hwnd();
  ASSERT_NE(window, nullptr);
  const auto item = [&](int id) { return GetDlgItem(window, id); };
  EXPECT_EQ(GetWindow(window, GW_OWNER), tray.handle) << "no task bar button";
  EXPECT_EQ(GetFocus(), item(IDC_ABOUT_CLOSE));
  testing::ExpectProgramsWindow(window, tray.icon);
  testing::AtEachDpi(window, [&] { testing::ExpectLaidOut(window); });
  const std::pair<int, const char*> clicks[] = {
      {IDC_ABOUT_LINK, "https://www.velquor.example/trafimo/"},
      {IDC_ABOUT_PICTURE, "https://www.velquor.example"}};
  for (const auto& [id, address] : clicks) {
    fake.shell.calls.clear();
    SendMessageA(item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(item(id), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(fake.shell.calls.size(), 1u) << address;
    EXPECT_EQ(fake.shell.calls[0].owner, reinterpret_cast<platform::WindowHandle>(tray.handle));
    EXPECT_EQ(fake.shell.calls[0].file, address);
  }
  SendMessageA(item(IDC_ABOUT_CLOSE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  DestroyWindow(tray.handle);
}

}  // namespace
}  // namespace trafimo::win
