#include "meter/meter_layout.h"

#include <algorithm>
#include <cstdint>

namespace trafimo::meter {

namespace {

struct PartSpec {
  bool inStrip;
  Rect rect;  // in twips, relative to the panel or to the strip
};

constexpr std::array<PartSpec, kPartCount> kParts = {{
    {false, {kStripLeft, kStripTop, 4020, 300}},  // picTitel
    {true, {45, 45, 2550, 195}},                  // Label1
    {true, {2655 + 105 * 0, 45, 120, 195}},       // picTransparent 0..5
    {true, {2655 + 105 * 1, 45, 120, 195}},
    {true, {2655 + 105 * 2, 45, 120, 195}},
    {true, {2655 + 105 * 3, 45, 120, 195}},
    {true, {2655 + 105 * 4, 45, 120, 195}},
    {true, {2655 + 105 * 5, 45, 120, 195}},
    {true, {3360, 45, 240, 210}},  // picHold
    {true, {3690, 45, 240, 210}},  // picExit
    // The headers and values a line of their fonts high at 100 %, 125 % and 150 %.
    {false, {60, 435, 1230, 210}},  // Label2 0..2
    {false, {1335, 435, 1290, 210}},
    {false, {2655, 435, 1350, 210}},
    {false, {30, 720, 1275, 210}},  // lblCostNow
    {false, {1320, 720, 1305, 210}},
    {false, {2655, 720, 1380, 210}},
}};

}  // namespace

Rect PartTwips(Part part) {
  const PartSpec& entry = kParts[static_cast<std::size_t>(part)];
  Rect rect = entry.rect;
  if (entry.inStrip) {
    rect.left += kStripLeft;
    rect.top += kStripTop;
  }
  rect.top += kPanelTop;
  return rect;
}

int TwipsToPixels(int twips, int dpi) {
  // Rounds half away from zero, as the system's MulDiv does.
  const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = 720;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / 1440 : -((-scaled + half) / 1440));
}

Rect PartPixels(Part part, int dpiX, int dpiY) {
  const Rect twips = PartTwips(part);
  const int left = TwipsToPixels(twips.left, dpiX);
  const int top = TwipsToPixels(twips.top, dpiY);
  return {left, top, TwipsToPixels(twips.right(), dpiX) - left,
          TwipsToPixels(twips.bottom(), dpiY) - top};
}

Size PictureSize(int width, int height, int dpi, const Rect& box) {
  Size size{width * dpi / 96, height * dpi / 96};
  if (size.width > box.width || size.height > box.height) {
    // The smaller of the two shrink factors, each side rounded down so that both fit.
    if (static_cast<long long>(box.width) * height <= static_cast<long long>(box.height) * width)
      size = {box.width, box.width * height / width};
    else
      size = {box.height * width / height, box.height};
  }
  return size;
}

std::optional<Part> PartAt(int x, int y, int dpiX, int dpiY) {
  for (int i = static_cast<int>(Part::picExit); i >= static_cast<int>(Part::picTitel); --i) {
    const auto part = static_cast<Part>(i);
    if (PartPixels(part, dpiX, dpiY).Contains(x, y)) return part;
  }
  return std::nullopt;
}

Rect PlaceWindow(const WorkArea& workArea, int dpiX, int dpiY) {
  const int width = TwipsToPixels(kWindowWidth, dpiX);
  const int height = TwipsToPixels(kWindowHeight, dpiY);
  const int right = workArea.right - TwipsToPixels(kRightInset, dpiX);
  return {right - width, workArea.bottom - height, width, height};
}

namespace {

// The window shifted into the area; aligned with its top-left edges where it is the larger.
Rect MovedInside(Rect window, const WorkArea& area) {
  window.left = std::max(area.left, std::min(window.left, area.right - window.width));
  window.top = std::max(area.top, std::min(window.top, area.bottom - window.height));
  return window;
}

bool WhollyInside(const Rect& window, const WorkArea& area) {
  return window.left >= area.left && window.top >= area.top && window.right() <= area.right &&
         window.bottom() <= area.bottom;
}

}  // namespace

Rect KeepInsideWorkAreas(const Rect& window, const std::vector<WorkArea>& workAreas) {
  std::optional<Rect> best;
  long long bestDistance = 0;
  for (const WorkArea& area : workAreas) {
    if (WhollyInside(window, area)) return window;
    const Rect moved = MovedInside(window, area);
    const long long dx = moved.left - window.left, dy = moved.top - window.top;
    const long long distance = dx * dx + dy * dy;
    if (!best || distance < bestDistance) best = moved, bestDistance = distance;
  }
  return best.value_or(window);
}

std::optional<Rect> WorkAreaFollower::Follow(const Rect& window, const WorkArea& primary,
                                             const std::vector<WorkArea>& workAreas, int dpiX,
                                             int dpiY) {
  placedIn_ = primary;
  Rect wanted;
  if (!dragged_) {
    wanted = PlaceWindow(primary, dpiX, dpiY);
  } else {
    std::vector<WorkArea> areas{primary};
    areas.insert(areas.end(), workAreas.begin(), workAreas.end());
    wanted = KeepInsideWorkAreas(window, areas);
  }
  if (wanted == window) return std::nullopt;
  return wanted;
}

}  // namespace trafimo::meter
