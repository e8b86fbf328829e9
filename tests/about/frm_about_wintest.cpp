#include "about/frm_about_win.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

#include "about/about_ids.h"
#include "support/fakes.h"

namespace trafimo::win {
namespace {

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A control's font as "bold", "plain", "bold italic", "bold underlined"...
std::string LookOf(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return std::string(font.lfWeight >= FW_BOLD ? "bold" : "plain") +
         (font.lfItalic ? " italic" : "") + (font.lfUnderline ? " underlined" : "");
}

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tray = CreateWindowExA(0, "STATIC", "tray", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    context.trayWindow = tray;
    context.appIcon = LoadIconA(nullptr, IDI_APPLICATION);
  }
  void TearDown() override {
    DestroyWindow(AboutWindow());  // none open: nothing happens
    DestroyWindow(tray);
  }
  HWND Open() {
    ShowAbout(context);
    window = AboutWindow();
    dpi = GetDpiForWindow(window);
    return window;
  }
  HWND Item(int id) const { return GetDlgItem(window, id); }
  int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi), 1440); }

  testing::FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  // Every member named, so that the aggregate is complete without the hooks.
  AppContext context{
      fake.platform, settings, flags, nullptr, nullptr, nullptr, {}, {}, {}, {}, {}, {}};
  HWND tray = nullptr;
  HWND window = nullptr;
  UINT dpi = 96;
};

TEST_F(AboutWindowTest, IsAFixedDialogWithItsControlsInTabOrder) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(window), "About Velquor Trafimo");
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) &
               (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetWindow(window, GW_OWNER), tray);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ((std::array{client.right, client.bottom}), (std::array<LONG, 2>{Px(3810), Px(2670)}));
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)),
            context.appIcon);

  struct Expected {
    int id;
    const char* text;
    std::array<int, 4> place;  // left, top, width, height in twips
    const char* look;
  };
  const Expected controls[] = {
      {IDC_ABOUT_CLOSE, "&Close", {1215, 2085, 1395, 435}, "plain"},
      {IDC_ABOUT_PICTURE, "", {105, 105, 3630, 975}, "bold"},
      {IDC_ABOUT_APP, "Velquor Trafimo 1.3", {135, 1200, 3570, 345}, "bold"},
      {IDC_ABOUT_LINK, "www.velquor.example/trafimo/", {120, 1740, 3585, 255}, "bold underlined"},
      {IDC_ABOUT_VISIT, "For more information visit :", {105, 1500, 3630, 195}, "bold italic"},
  };
  HWND child = GetWindow(window, GW_CHILD);
  for (const Expected& expected : controls) {
    SCOPED_TRACE(expected.text);
    EXPECT_EQ(GetDlgCtrlID(child), expected.id);
    EXPECT_EQ(TextOf(child), expected.text);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    const auto [left, top, width, height] = expected.place;
    EXPECT_EQ((std::array{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
              (std::array<LONG, 4>{Px(left), Px(top), Px(width), Px(height)}));
    EXPECT_EQ(LookOf(child), expected.look);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(GetFocus(), Item(IDC_ABOUT_CLOSE));

  // The link label is blue and shows a hand pointer.
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

TEST_F(AboutWindowTest, ClicksOpenTheirOwnAddressesAndTheWindowStays) {
  ASSERT_NE(Open(), nullptr);
  // The link label opens the product page, the banner the site's root.
  const std::pair<int, const char*> clicks[] = {
      {IDC_ABOUT_LINK, "https://www.velquor.example/trafimo/"},
      {IDC_ABOUT_PICTURE, "https://www.velquor.example"}};
  for (const auto& [id, address] : clicks) {
    SCOPED_TRACE(address);
    fake.shell.calls.clear();
    SendMessageA(Item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(Item(id), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_EQ(fake.shell.calls.size(), 1u);
    const auto& call = fake.shell.calls[0];
    EXPECT_EQ(call.owner, reinterpret_cast<platform::WindowHandle>(tray));
    EXPECT_EQ(std::tie(call.operation, call.file, call.parameters, call.directory, call.show),
              std::make_tuple("", address, "", "c:\\", 1));
    EXPECT_EQ(AboutWindow(), window);
    EXPECT_TRUE(IsWindowVisible(window));
  }

  // Shown again it is the same window; "&Close" unloads it and the next show builds a new one.
  ShowAbout(context);
  EXPECT_EQ(AboutWindow(), window);
  SendMessageA(Item(IDC_ABOUT_CLOSE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(AboutWindow(), nullptr);
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(Item(IDC_ABOUT_APP)), "Velquor Trafimo 1.3");
}

}  // namespace
}  // namespace trafimo::win
