// The about window (frmAbout): product name and version, and two links to the vendor's site.
// One shared instance, shown modeless.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/shell.h"
#include "platform/toolkit_win.h"
#include "platform/window_win.h"
#include "startup/window_links_win.h"

namespace trafimo::win {

// What the running program's version record says.
struct VersionRecord {
  std::string productName;
  unsigned major = 0;
  unsigned minor = 0;
};
// Read from the running module's version resource; empty name and zeros when it has none.
VersionRecord ReadVersionRecord();

class FrmAbout : public Window {
 public:
  FrmAbout(platform::Shell& shell, TrayWindowLink& tray);
  ~FrmAbout() override;

  // Creates the window and runs the steps on load, or brings the open window forward.
  void Show();
  bool PreTranslate(MSG& msg);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc) override;
  std::optional<ControlColours> ColoursOf(HWND control) override;

 private:
  void Create();
  void Layout();  // places the controls at the window's DPI, with fonts to match
  void Load();
  void DrawBanner(const DRAWITEMSTRUCT& item);
  void Link2Net(const std::string& address);

  platform::Shell& shell_;
  TrayWindowLink& tray_;
  FontSet fonts_;
  UniqueBitmap banner_;
};

}  // namespace trafimo::win
