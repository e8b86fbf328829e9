#include "about/frm_about_win.h"

#include <gtest/gtest.h>

#include <string>

#include "about/about_ids.h"
#include "support/fakes.h"

namespace trafimo::win {
namespace {

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

LOGFONTA FontOf(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
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
    if (HWND about = AboutWindow()) DestroyWindow(about);
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

TEST(VersionRecord, IsReadFromTheProgramsOwnRecord) {
  const VersionRecord record = ReadVersionRecord();
  EXPECT_EQ(record.productName, "Velquor Trafimo");
  EXPECT_EQ(record.major, 1u);
  EXPECT_EQ(record.minor, 3u);
}

TEST(AboutBanner, IsThePictureOfItsSize) {
  HBITMAP banner = static_cast<HBITMAP>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT_BANNER), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(banner, nullptr);
  BITMAP info{};
  GetObjectA(banner, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 242);
  EXPECT_EQ(info.bmHeight, 67);
  DeleteObject(banner);
}

TEST_F(AboutWindowTest, IsAFixedDialogOwnedByTheTrayWindow) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(window), "About Velquor Trafimo");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetWindow(window, GW_OWNER), tray);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Px(3810));
  EXPECT_EQ(client.bottom, Px(2670));
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)),
            context.appIcon);
}

TEST_F(AboutWindowTest, HoldsItsControlsInTabOrder) {
  ASSERT_NE(Open(), nullptr);
  struct Expected {
    int id;
    const char* text;
    int left, top, width, height;
  };
  const Expected controls[] = {
      {IDC_ABOUT_CLOSE, "&Close", 1215, 2085, 1395, 435},
      {IDC_ABOUT_PICTURE, "", 105, 105, 3630, 975},
      {IDC_ABOUT_APP, "Velquor Trafimo 1.3", 135, 1200, 3570, 345},
      {IDC_ABOUT_LINK, "www.velquor.example/trafimo/", 120, 1740, 3585, 255},
      {IDC_ABOUT_VISIT, "For more information visit :", 105, 1500, 3630, 195},
  };
  HWND child = GetWindow(window, GW_CHILD);
  for (const Expected& expected : controls) {
    SCOPED_TRACE(expected.id);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), expected.id);
    EXPECT_EQ(TextOf(child), expected.text);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, Px(expected.left));
    EXPECT_EQ(rect.top, Px(expected.top));
    EXPECT_EQ(rect.right - rect.left, Px(expected.width));
    EXPECT_EQ(rect.bottom - rect.top, Px(expected.height));
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(GetFocus(), Item(IDC_ABOUT_CLOSE));

  const LOGFONTA app = FontOf(Item(IDC_ABOUT_APP));
  EXPECT_GE(app.lfWeight, FW_BOLD);
  EXPECT_EQ(app.lfHeight, -MulDiv(12, static_cast<int>(dpi), 72));
  const LOGFONTA visit = FontOf(Item(IDC_ABOUT_VISIT));
  EXPECT_STREQ(visit.lfFaceName, "Arial");
  EXPECT_TRUE(visit.lfItalic);
  EXPECT_FALSE(FontOf(Item(IDC_ABOUT_CLOSE)).lfWeight >= FW_BOLD);
}

TEST_F(AboutWindowTest, TheLinkLabelLooksLikeALink) {
  ASSERT_NE(Open(), nullptr);
  HWND link = Item(IDC_ABOUT_LINK);
  const LOGFONTA font = FontOf(link);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_GE(font.lfWeight, FW_BOLD);

  HDC dc = GetDC(link);
  SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(Item(IDC_ABOUT_APP)));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  ReleaseDC(link, dc);

  const HCURSOR hand = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
  EXPECT_TRUE(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), hand);
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(IDC_ABOUT_APP)),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), hand);
}

struct LinkCase {
  const char* name;
  int id;
  const char* address;
};
void PrintTo(const LinkCase& c, std::ostream* os) {
  *os << c.name;
}

class AboutLinkTest : public AboutWindowTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(AboutLinkTest, AClickAsksTheShellToOpenItsAddressAndTheWindowStays) {
  ASSERT_NE(Open(), nullptr);
  HWND control = Item(GetParam().id);
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));

  ASSERT_EQ(fake.shell.calls.size(), 1u);
  const auto& call = fake.shell.calls[0];
  EXPECT_EQ(call.owner, reinterpret_cast<platform::WindowHandle>(tray));
  EXPECT_EQ(call.operation, "");
  EXPECT_EQ(call.file, GetParam().address);
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.directory, "c:\\");
  EXPECT_EQ(call.show, 1);
  EXPECT_EQ(AboutWindow(), window);
  EXPECT_TRUE(IsWindowVisible(window));
}

INSTANTIATE_TEST_SUITE_P(About, AboutLinkTest,
                         ::testing::Values(LinkCase{"LinkLabelOpensTheProductPage", IDC_ABOUT_LINK,
                                                    "https://www.velquor.example/trafimo/"},
                                           LinkCase{"BannerOpensTheSiteRoot", IDC_ABOUT_PICTURE,
                                                    "https://www.velquor.example"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AboutWindowTest, IsOneWindowThatCloseUnloads) {
  ASSERT_NE(Open(), nullptr);
  const HWND first = window;
  ShowAbout(context);
  EXPECT_EQ(AboutWindow(), first);

  SendMessageA(Item(IDC_ABOUT_CLOSE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(AboutWindow(), nullptr);
  EXPECT_TRUE(fake.shell.calls.empty());

  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(Item(IDC_ABOUT_APP)), "Velquor Trafimo 1.3");
}

}  // namespace
}  // namespace trafimo::win
