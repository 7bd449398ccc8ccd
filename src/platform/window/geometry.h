// Points, sizes and rectangles in pixels or dialog units, the screen metrics a
// renderer reports, and the dialog unit conversion.
#pragma once

#include <cstdint>

namespace norix::platform::window {

struct Point {
  int x = 0;
  int y = 0;

  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;

  friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom are exclusive, as in the window system.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  [[nodiscard]] constexpr int Width() const { return right - left; }
  [[nodiscard]] constexpr int Height() const { return bottom - top; }
  [[nodiscard]] constexpr Point TopLeft() const { return {left, top}; }
  [[nodiscard]] constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }

  friend bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect RectAt(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

// What the renderer knows about the screen. The headless host reports the
// defaults below; a widget renderer measures them.
struct ScreenMetrics {
  Rect screen{0, 0, 1024, 768};  // the desktop work area
  int bitsPerPixel = 24;
  // Dialog base units: average character width and height of the dialog
  // font. One horizontal dialog unit is baseUnitX / 4 pixels, one vertical
  // unit baseUnitY / 8 pixels.
  int baseUnitX = 6;
  int baseUnitY = 13;
  int frameX = 3;  // dialog frame width on the left and on the right
  int frameY = 3;  // dialog frame height at the top and at the bottom
  int captionHeight = 19;

  friend bool operator==(const ScreenMetrics&, const ScreenMetrics&) = default;
};

namespace detail {
// Rounds value * numerator / denominator to the nearest integer, halves away
// from zero, as the window system's dialog unit conversion does.
constexpr int MulDivRound(int value, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(rounded);
}
}  // namespace detail

// Dialog units to pixels.
constexpr Rect MapDialogRect(const Rect& units, const ScreenMetrics& m) {
  return {detail::MulDivRound(units.left, m.baseUnitX, 4),
          detail::MulDivRound(units.top, m.baseUnitY, 8),
          detail::MulDivRound(units.right, m.baseUnitX, 4),
          detail::MulDivRound(units.bottom, m.baseUnitY, 8)};
}

}  // namespace norix::platform::window
