#include "platform/terminal/cell_layout.h"

#include <algorithm>
#include <cmath>

namespace norix::platform::terminal {

namespace {

namespace W = window;

// The height of one text line and of the fields (edits, closed drop-down
// lists) in dialog units: a one-row control sits on the middle of it.
constexpr int kFieldUnits = 12;
constexpr double kHalfLine = kUnitsPerRow / 2.0;

W::Rect Bounds(std::span<const LayoutControl> controls) {
  if (controls.empty()) {
    return {0, 0, kUnitsPerColumn, kUnitsPerRow};
  }
  W::Rect bounds = controls.front().units;
  for (const LayoutControl& control : controls) {
    bounds.left = std::min(bounds.left, control.units.left);
    bounds.top = std::min(bounds.top, control.units.top);
    bounds.right = std::max(bounds.right, control.units.right);
    bounds.bottom = std::max(bounds.bottom, control.units.bottom);
  }
  bounds.right = std::max(bounds.right, bounds.left + 1);
  bounds.bottom = std::max(bounds.bottom, bounds.top + 1);
  return bounds;
}

int CeilDiv(int value, int divisor) { return (value + divisor - 1) / divisor; }

}  // namespace

bool SpansRows(const LayoutControl& control) {
  namespace S = W::ControlStyle;
  switch (control.kind) {
    case W::ControlKind::kListBox:
    case W::ControlKind::kGroupBox:
      return true;
    case W::ControlKind::kLine:
    case W::ControlKind::kProgressBar:
    case W::ControlKind::kTrackbar:
      return (control.style & S::kVertical) != 0;
    case W::ControlKind::kStaticText:
    case W::ControlKind::kEdit:
      return (control.style & S::kMultiLine) != 0;
    default:
      return false;
  }
}

CellSize NaturalSize(std::span<const LayoutControl> controls) {
  const W::Rect bounds = Bounds(controls);
  return {std::max(1, CeilDiv(bounds.Height(), kUnitsPerRow)),
          std::max(1, CeilDiv(bounds.Width(), kUnitsPerColumn))};
}

std::vector<CellRect> LayOut(std::span<const LayoutControl> controls, const CellRect& area) {
  std::vector<CellRect> cells;
  cells.reserve(controls.size());
  if (area.Empty()) {
    cells.resize(controls.size());
    return cells;
  }
  const W::Rect bounds = Bounds(controls);
  const double unitsPerCol =
      std::max<double>(kUnitsPerColumn, static_cast<double>(bounds.Width()) / area.cols);
  const double unitsPerRow =
      std::max<double>(kUnitsPerRow, static_cast<double>(bounds.Height()) / area.rows);
  const int usedCols =
      std::min(area.cols, static_cast<int>(std::ceil(bounds.Width() / unitsPerCol)));
  const int left = area.col + (area.cols - usedCols) / 2;

  const auto column = [&](double x) {
    return static_cast<int>(std::floor((x - bounds.left) / unitsPerCol + 0.5));
  };
  const auto row = [&](double y) {
    return static_cast<int>(std::floor((y - bounds.top) / unitsPerRow));
  };

  for (const LayoutControl& control : controls) {
    const W::Rect& u = control.units;
    CellRect cell;
    const bool vertical = control.kind == W::ControlKind::kLine && SpansRows(control);
    cell.col = column(u.left);
    cell.cols = vertical ? 1 : std::max(1, column(u.right) - cell.col);
    if (vertical) {
      cell.row = row(u.top);
      cell.rows = std::max(1, row(u.bottom - 1) - cell.row + 1);
    } else if (SpansRows(control)) {
      // From the middle of the first line to the middle of the last one.
      cell.row = row(u.top + kHalfLine);
      const int last = row(std::max<double>(u.bottom - kHalfLine, u.top + kHalfLine));
      cell.rows = std::max(1, last - cell.row + 1);
    } else {
      // Texts start at the top of their rectangle; a picture is seen by its
      // middle.
      const int high =
          control.kind == W::ControlKind::kPicture ? u.Height() : std::min(u.Height(), kFieldUnits);
      cell.row = row(u.top + high / 2.0);
      cell.rows = 1;
    }
    // Into the area, whatever the rounding did.
    cell.row = std::clamp(cell.row, 0, area.rows - 1);
    cell.rows = std::min(cell.rows, area.rows - cell.row);
    cell.col = std::clamp(cell.col, 0, usedCols - 1);
    cell.cols = std::min(cell.cols, usedCols - cell.col);
    cell.row += area.row;
    cell.col += left;
    cells.push_back(cell);
  }
  return cells;
}

}  // namespace norix::platform::terminal
