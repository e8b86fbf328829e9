// frmSettings: the one shared settings dialog, shown modeless.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "controls/neb_win.h"
#include "platform/handles_win.h"
#include "platform/toolkit_win.h"
#include "platform/window_win.h"
#include "settings/settings_form.h"
#include "settings/settings_ids.h"
#include "startup/window_links_win.h"

namespace trafimo::win {

inline constexpr char kSettingsClassName[] = "TrafimoSettings";
inline constexpr char kSettingsCaption[] = "Settings";
inline constexpr int kSettingsClientWidthTwips = 7290;
inline constexpr int kSettingsClientHeightTwips = 4965;

// The numeric boxes, in the order of settings::kNebInstances.
enum SettingsBox {
  kBoxMonthStartDay,
  kBoxFromHH,
  kBoxFromMM,
  kBoxFromSS,
  kBoxToHH,
  kBoxToMM,
  kBoxToSS,
  kBoxAllowance,
  kBoxWarnAt,
  kBoxCount
};

class frmSettings : public Window {
 public:
  // Everything given must outlive the dialog.
  frmSettings(platform::Platform& platform, Settings& settings, TrayWindowLink& tray);

  // Loads and shows the dialog, or brings it forward when it is already open.
  void Show();
  // Brings the dialog to the front when it is visible; false when it is not.
  bool BringForwardIfVisible();
  // Gives the dialog's keyboard handling (Tab, Enter, Esc, access keys) a message of the loop.
  bool PreTranslateMessage(MSG& message);
  // Closes the dialog without saving, as Cancel does.
  void Close();

  NebControl* Box(SettingsBox box) const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override;

 private:
  bool CreateWindowAndControls();
  void PutInTabOrder();
  void Layout();
  void FocusFirstControl();
  void Load();
  void EnableFreeTimes(bool enabled);
  settings::SettingsForm ReadForm() const;
  void OnOk();
  void OnClearLog();
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }

  platform::Platform& platform_;
  Settings& settings_;
  TrayWindowLink& tray_;
  std::vector<std::unique_ptr<NebControl>> boxes_;
  FontSet fonts_;
  KeyboardFocus focus_;
};

}  // namespace trafimo::win
