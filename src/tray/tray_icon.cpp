#include "tray/tray_icon.h"

namespace trafimo {

void TrayIconLife::Show() {
  if (removed_) return;
  shown_ = area_.AddIcon() || area_.ModifyIcon();
  area_.RunRetryTimer(!shown_);
}

void TrayIconLife::Update() {
  // Before the shell took the icon, the next retry adds the record as it stands then.
  if (removed_ || !shown_) return;
  if (!area_.ModifyIcon()) Show();
}

void TrayIconLife::Remove() {
  if (removed_) return;
  removed_ = true;
  area_.RunRetryTimer(false);
  if (shown_) area_.DeleteIcon();
  shown_ = false;
}

}  // namespace trafimo
