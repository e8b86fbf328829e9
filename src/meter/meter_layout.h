// Where the meter window sits and where its parts lie, in twips and in pixels at a given DPI.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace trafimo::meter {

// The panel the window shows (fraSummaryConnected) and the window cut from it.
inline constexpr int kPanelWidth = 4050;
inline constexpr int kPanelHeight = 975;
inline constexpr int kPanelTop = -90;  // the frame's top edge lies above the window
inline constexpr int kWindowWidth = kPanelWidth;
inline constexpr int kWindowHeight = kPanelHeight + kPanelTop;  // 885
inline constexpr int kRightInset = 250;  // gap between the window and the work area's right edge

// The title strip's position in the panel; the strip's parts are placed relative to it.
inline constexpr int kStripLeft = 15;
inline constexpr int kStripTop = 105;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool Contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
  bool operator==(const Rect&) const = default;
};

// The parts of the meter window.
enum class Part : std::uint8_t {
  picTitel,
  Label1,
  picTransparent0,
  picTransparent1,
  picTransparent2,
  picTransparent3,
  picTransparent4,
  picTransparent5,
  picHold,
  picExit,
  Label2Now,
  Label2Today,
  Label2ThisMonth,
  lblCostNow,
  lblCostToday,
  lblCostThisMonth,
};
inline constexpr int kPartCount = 16;
inline constexpr int kSwatchCount = 6;

inline constexpr Part SwatchPart(int level) {
  return static_cast<Part>(static_cast<int>(Part::picTransparent0) + level);
}

// The part's rectangle in twips relative to the window's client area (the panel shifted by
// kPanelTop, strip parts shifted by the strip's position).
Rect PartTwips(Part part);

// Twips to pixels at `dpi`, to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

// The part's rectangle in pixels at `dpi`. Both edges are converted, so neighbours stay apart.
Rect PartPixels(Part part, int dpiX, int dpiY);

// The pixel size a picture drawn at `width` x `height` for 96 DPI takes at `dpi`: scaled, and
// shrunk with its shape kept where it would stick out of `box`.
struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};
Size PictureSize(int width, int height, int dpi, const Rect& box);

// The part under the point (pixels, client area) that reacts to the mouse: Label1, a swatch, the
// pin or the close button; the title strip when the point is elsewhere in it; the panel
// (returned as nullopt) otherwise. Of two overlapping swatches the later one lies on top.
std::optional<Part> PartAt(int x, int y, int dpiX, int dpiY);

// The work area of the desktop in pixels, as the system reports it (right and bottom exclusive).
struct WorkArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const WorkArea&) const = default;
};

// The window's rectangle in pixels: 4050 x 885 twips, its bottom on the work area's bottom and
// its right edge 250 twips in from the work area's right edge.
Rect PlaceWindow(const WorkArea& workArea, int dpiX, int dpiY);

// The window moved the least distance that puts it wholly inside the nearest of the work areas
// (the primary one first among equals); unchanged when it already is inside one.
Rect KeepInsideWorkAreas(const Rect& window, const std::vector<WorkArea>& workAreas);

// Keeps a meter on the desktop while the work area changes under it (the task bar appears late,
// moves or is resized; the resolution, the scale or the monitors change).
class WorkAreaFollower {
 public:
  // The window was placed at its corner of the primary monitor's `workArea`.
  void Placed(const WorkArea& workArea) {
    placedIn_ = workArea;
    dragged_ = false;
  }
  // The user moved the window somewhere of their own.
  void Dragged() { dragged_ = true; }

  // Whether the primary monitor's work area is no longer the one the window was placed in.
  bool Changed(const WorkArea& primary) const { return !(primary == placedIn_); }
  // The window's new place now that the primary monitor's work area is `primary` and the
  // monitors' are `workAreas`: its corner again, or for a dragged window the least move back
  // inside the nearest one; nothing when it stays.
  std::optional<Rect> Follow(const Rect& window, const WorkArea& primary,
                             const std::vector<WorkArea>& workAreas, int dpiX, int dpiY);

 private:
  WorkArea placedIn_;
  bool dragged_ = false;
};

}  // namespace trafimo::meter
