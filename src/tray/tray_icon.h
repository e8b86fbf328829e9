// The tray icon's life with the shell. At logon the program may start before the shell is ready
// to take an icon, and a restarted shell has forgotten every icon: without one the program has
// no menu and no way to end it, so the icon is added again until the shell takes it.
#pragma once

namespace trafimo {

// The shell's notification area as the icon's owner reaches it: Shell_NotifyIcon with the icon's
// record, and a short timer that calls TrayIconLife::Show while it runs.
class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  virtual bool AddIcon() = 0;
  virtual bool ModifyIcon() = 0;
  virtual bool DeleteIcon() = 0;
  virtual void RunRetryTimer(bool running) = 0;
};

class TrayIconLife {
 public:
  explicit TrayIconLife(NotifyArea& area) : area_(area) {}

  // Puts the icon in the notification area: at load, when the shell (re)started and on each
  // retry. An icon the shell still holds (TaskbarCreated is also sent when the scale changes) is
  // only modified. While the shell takes neither, the retry timer runs.
  void Show();
  // The record changed (tip, picture). An icon the shell has lost is added again.
  void Update();
  // The program ends: the icon goes and is not added again.
  void Remove();

  bool shown() const { return shown_; }

 private:
  NotifyArea& area_;
  bool shown_ = false;
  bool removed_ = false;
};

}  // namespace trafimo
