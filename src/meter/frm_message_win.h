// The floating meter window with the Now, Today and This Month totals, and the shared
// procedure that opens it.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accounting/accounting.h"
#include "meter/meter_layout.h"
#include "meter/meter_state.h"
#include "platform/handles_win.h"
#include "platform/platform.h"
#include "platform/toolkit_win.h"
#include "platform/window_win.h"
#include "startup/globals.h"

namespace trafimo::win {

inline constexpr char kMeterClassName[] = "TrafimoMeter";
// The window's name; it has no caption bar, so the name is never shown.
inline constexpr char kMeterWindowName[] = "frmMessage";
inline constexpr UINT_PTR kMeterTimer1 = 1;
inline constexpr UINT kMeterTimer1Interval = 1000;
// Child control ids: kMeterPartIdBase + the part's index in meter::Part.
inline constexpr int kMeterPartIdBase = 1000;

class MeterWindows;

class frmMessage : public Window {
 public:
  frmMessage(MeterWindows& owner, platform::Platform& platform, SharedFlags& flags);
  ~frmMessage() override;

  // Creates the hidden window and runs the creation steps: the meter counts as open, the
  // transparency is applied and the swatches coloured.
  bool Create();

  // Shows the window; one that opens by itself (`activate` false) leaves the keyboard focus
  // where it is.
  void ShowSummary(const std::string& strCostNow, const std::string& strCostToday,
                   const std::string& strCostThisMonth, const MonthStanding& standing,
                   int intSeconds, bool activate = true);
  void Set_Hold();
  void SetTransparency();
  // Rewrites the three values (the tick's refresh); This Month is drawn in amber past the early
  // warning and in red past the allowance, and its tip tells where the month stands.
  void SetValues(const std::string& costNow, const std::string& costToday,
                 const std::string& costThisMonth, const MonthStanding& standing);
  // The colour This Month is drawn in, and its tip (empty: none).
  COLORREF MonthColour() const;
  const std::string& MonthTip() const { return monthTip_; }
  // Runs the close step and destroys the window.
  void Close();

  // The close time, in milliseconds of the monotonic clock.
  std::uint64_t mlngCloseTime() const { return state_.mlngCloseTime(); }
  const char* fraActiveFrame() const { return fraActiveFrame_; }
  bool mblnHold() const { return state_.mblnHold(); }
  bool dragging() const { return mblnDragging_; }
  HWND Part(meter::Part part) const;
  // The loaded picture of a resource id (IDB_METER_*), to compare with what a button shows.
  HBITMAP Picture(int resourceId) const;

  // The close step has run.
  bool closed() const { return state_.closed(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint(HDC dc) override;
  std::optional<ControlColours> ColoursOf(HWND control) override;

 private:
  bool PositionWindow();
  // Keeps the window on the desktop when the work area changed since it was placed.
  void FollowWorkArea(bool displayChanged);
  void CreateParts();
  // Places the parts and makes their fonts and pictures for the window's present DPI.
  void ApplyDpi();
  void OnButtonDown(int x, int y, bool left);
  void OnButtonUp(int x, int y, bool left);
  void OnMouseMove(int x, int y);
  void StartDrag(int x, int y);
  void EndDrag();
  void SetExitPicture(bool underMouse);
  void SetHoldPicture(bool pinned);
  // The tip over This Month: its place follows the layout, its text the standing.
  void PlaceMonthTip();
  HBITMAP LoadPicture(int id, int width, int height, meter::Part part) const;
  void ShowPicture(meter::Part part, HBITMAP picture);

  MeterWindows& owner_;
  meter::MeterState state_;
  const char* fraActiveFrame_ = "";

  meter::WorkAreaFollower follower_;
  bool mblnDragging_ = false;
  POINT dragAnchorCursor_{};
  POINT dragAnchorWindow_{};
  int pressedPart_ = -1;  // the part a left button went down on, for clicks
  bool exitUnderMouse_ = false;
  bool trackingLeave_ = false;

  std::array<HWND, meter::kPartCount> parts_{};
  FontSet fonts_;
  std::array<UniqueBrush, meter::kSwatchCount> swatchBrushes_;
  UniqueBitmap imgNohold_;
  UniqueBitmap imgHold_;
  UniqueBitmap picExitPicture_;
  UniqueBitmap picExitPictureDown_;
  HBITMAP holdShown_ = nullptr;  // what picHold and picExit were last given
  HBITMAP exitShown_ = nullptr;
  MonthStanding::Level monthLevel_ = MonthStanding::Level::Within;
  std::string monthTip_;
  UniqueWindow tips_;
};

// The meter windows, owned here: each is freed once its window is gone.
class MeterWindows {
 public:
  MeterWindows(platform::Platform& platform, SharedFlags& flags);
  ~MeterWindows();
  MeterWindows(const MeterWindows&) = delete;
  MeterWindows& operator=(const MeterWindows&) = delete;

  // Opens a meter window with the three totals for intSeconds, pinned when `hold`; a second
  // meter of the same panel is refused. A pinned one opens by itself, at the start or at logon,
  // and leaves the keyboard focus to what the person is typing into.
  void ShowMeterSummary(const std::string& strCostNow, const std::string& strCostToday,
                        const std::string& strCostThisMonth, const MonthStanding& standing,
                        int intSeconds, bool hold);
  // Rewrites the three values of every open meter window (the tray window's tick).
  void RefreshMeterValues(const std::string& costNow, const std::string& costToday,
                          const std::string& costThisMonth, const MonthStanding& standing);
  // Every meter window that exists and has not run its close step.
  std::vector<frmMessage*> OpenWindows() const;
  void CloseAll();

 private:
  void FreeClosed();

  platform::Platform& platform_;
  SharedFlags& flags_;
  std::vector<std::unique_ptr<frmMessage>> windows_;
};

}  // namespace trafimo::win
