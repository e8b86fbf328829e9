// The about window (frmAbout): product name and version, and two links to the vendor's site.
// One shared instance, shown modeless.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles_win.h"
#include "platform/window_win.h"
#include "startup/app_context_win.h"

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
  explicit FrmAbout(AppContext& context);
  ~FrmAbout() override;

  // Creates the window and runs the steps on load, or brings the open window forward.
  void Show();
  bool PreTranslate(MSG& msg);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Create();
  void CreateControls();
  void Layout();  // places the controls at the window's DPI, with fonts to match
  void Load();
  void Paint();
  void DrawBanner(const DRAWITEMSTRUCT& item);
  void Link2Net(const std::string& address);

  AppContext& context_;
  UniqueFont windowFont_;
  UniqueFont visitFont_;
  UniqueFont linkFont_;
  UniqueFont buttonFont_;
  UniqueBitmap banner_;
};

// Shows the one about window (wire to AppContext::showAbout).
void ShowAbout(AppContext& context);
// The open about window, or null.
HWND AboutWindow();
// For the message loop: true when the message was a keyboard-navigation message of the open
// about window and has been handled.
bool AboutDialogMessage(MSG& msg);

}  // namespace trafimo::win
