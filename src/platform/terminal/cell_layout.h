// Where a dialog's controls go on a terminal: the template's rectangles, in
// dialog units, scaled onto character cells. One cell is naturally 4 by 8
// dialog units (the dialog font's average character), so a text that fits
// its rectangle in a window fits its cells; when the dialog is larger than
// the cells available, the units per cell grow until it fits. The margins
// around the controls are left out, so a 302 x 201 page fits 78 x 22 cells.
//
// Controls of one text line (labels, edits, buttons, check boxes, closed
// drop-down lists, progress bars) take one row, placed by the middle of
// their first line, so that a label and the edit beside it (whose
// rectangles differ by a unit or two) share a row; a picture by its middle. Multi-line texts, list
// boxes, group boxes and vertical lines span the rows of their first to
// their last line.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/window/dialog_template.h"
#include "platform/window/geometry.h"

namespace norix::platform::terminal {

inline constexpr int kUnitsPerColumn = 4;
inline constexpr int kUnitsPerRow = 8;

struct LayoutControl {
  window::Rect units;
  window::ControlKind kind = window::ControlKind::kStaticText;
  std::uint32_t style = 0;
};

// Whether the control spans several rows rather than one.
[[nodiscard]] bool SpansRows(const LayoutControl& control);

// The cells the controls want at the natural scale: their bounding
// rectangle's size, at least one cell.
struct CellSize {
  int rows = 0;
  int cols = 0;

  friend bool operator==(const CellSize&, const CellSize&) = default;
};
[[nodiscard]] CellSize NaturalSize(std::span<const LayoutControl> controls);

// The controls' cells within `area`: the bounding rectangle of all controls
// (hidden ones too, so that nothing moves when they show) scaled to fit,
// centred across the area and starting at its top. Every rectangle lies
// within the area and has at least one row and one column.
[[nodiscard]] std::vector<CellRect> LayOut(std::span<const LayoutControl> controls,
                                           const CellRect& area);

}  // namespace norix::platform::terminal
