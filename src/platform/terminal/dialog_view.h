// One dialog as the terminal shows it: the front end's copy of the model's
// state, the cells the layout gave each control, and what only the terminal
// keeps (an edit's caret, the first line a list shows). Drawing follows the
// model's state; nothing here changes it.
//
// How each control kind looks, without colour:
//   texts as they are (the header font bold), wrapped when multi-line, taking
//   free cells to their right (or below) when their own are too few
//   [ Label ]          push and big buttons    [< Back] [> Next]  arrow buttons
//   [x] Label          check box               (*) Label          radio
//   [text_____]        edit                    [Denmark      v]   drop-down list
//   [#####.....]       progress bar            [---O------]       trackbar
//   a frame with its title for group boxes, line characters for lines, and a
//   picture as its text (a flag as its country's name).
// The focused control is shown in reverse; disabled ones dim, buttons
// without their brackets. Arrow buttons share their row from the right, so
// their meanings fit beside each other.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/window/control_state.h"

namespace norix::platform::terminal {

// The text a picture resource shows as ("Denmark" for a flag, "< Back" for
// an arrow image); "" for a picture without one.
using PictureText = std::function<std::string(int picture)>;

struct ControlView {
  window::ControlState state;
  CellRect cells;  // from the layout
  CellRect drawn;  // where it was drawn last; empty when it was not
  int caret = -1;  // edits: the caret's character index, -1 at the end
  int first = 0;   // edits: the first character shown; list boxes: the first line
};

struct DialogView {
  window::WindowState window;
  std::vector<ControlView> controls;  // in template order
  CellRect frame;                     // where the dialog is, its frame included
  int hovered = 0;                    // the control last reported under the pointer

  // Owned or centred dialogs (pickers) are boxes over the page beneath.
  [[nodiscard]] bool Popup() const { return window.owner != window::kNullHwnd || window.centered; }
  [[nodiscard]] ControlView* Find(int id);
  [[nodiscard]] ControlView* Focused();
};

// Lays the dialog out: a page over the whole of `area`, a popup as a framed
// box of its natural size (at most `area`) centred in it.
void PlaceDialog(DialogView& dialog, const CellRect& area);

// Draws the dialog where PlaceDialog put it. An `active` dialog takes the
// keyboard: its focused control shows as focused, and the keyboard cursor's
// cell (on the focused control) is returned.
std::optional<CellPos> DrawDialog(Canvas& canvas, DialogView& dialog, const PictureText& pictures,
                                  bool active);

// The index of the control drawn at `cell` (the one drawn last when several
// are); -1 for none.
[[nodiscard]] int ControlAt(const DialogView& dialog, CellPos cell);

// The index of the list line shown at `cell` of a list box, -1 for none.
[[nodiscard]] int ListLineAt(const ControlView& list, CellPos cell);

// The position a trackbar shows at column `col` of its cells.
[[nodiscard]] int TrackbarPositionAt(const ControlView& trackbar, int col);

}  // namespace norix::platform::terminal
