// The terminal front end's screen and keyboard, without the terminal: the
// copies of the open dialogs (kept up to date with the model's changes, in
// the model's order), the message boxes and file dialogs waiting for an
// answer, and the user's keys and clicks turned into user input of the
// dialog manager (user_input.h). Draws the whole screen into a canvas:
//
//   row 0          the title line: the caption of the page on top
//   rows 1 ... -2  the page, its controls laid out from its template;
//                  pickers as boxes over it, message boxes over everything
//   last row       the status line: the hover help of the focused control,
//                  or what the keys do on it when it has none
//
// Keys go to the newest message box or file dialog, else to the dialog on
// top: Tab and Shift+Tab move the focus (the model's tab order), arrows move
// it too or change the focused list, edit or trackbar, Enter is the
// dialog's Enter (the focused button, an edit's Enter message or the default
// command), Space presses or ticks, Esc is the cancel command 2. A focus
// moved to a control is reported as the pointer entering it, so the pages'
// hover help follows the keyboard.
//
// Used on one thread only (the process main thread), never under a lock of
// the model; it calls into the model (user input) from there.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/terminal/dialog_view.h"
#include "platform/terminal/file_chooser.h"
#include "platform/terminal/key_press.h"
#include "platform/terminal/modal_boxes.h"
#include "platform/terminal/terminal_words.h"
#include "platform/window/control_state.h"
#include "platform/window/modal_request.h"

namespace norix::platform::terminal {

class TerminalUi {
 public:
  // `pictures` names the pictures; `paths` is where the file dialog's
  // relative paths start; `words` are the front end's own words.
  TerminalUi(PictureText pictures, PathContext paths, TerminalWords words = {});
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;
  TerminalUi(TerminalUi&&) = delete;
  TerminalUi& operator=(TerminalUi&&) = delete;
  // Boxes still open are answered 0 / cancelled.
  ~TerminalUi();

  // --- The model's changes, in its order --------------------------------------
  void WindowCreated(const window::WindowSnapshot& snapshot);
  void WindowChanged(const window::WindowState& window, unsigned changes);
  void ControlChanged(window::HWND window, const window::ControlState& control, unsigned changes);
  void WindowDestroyed(window::HWND window);
  void OpenMessageBox(window::MessageBoxRequest request, window::MessageBoxAnswer answer);
  void OpenFileDialog(window::OpenFileName request, window::FileDialogAnswer answer);

  // --- The user -----------------------------------------------------------
  void Key(const KeyPress& key);
  void Click(CellPos cell);

  // --- The screen -----------------------------------------------------------
  // Draws everything into `canvas`, at the canvas's size.
  void Draw(Canvas& canvas);
  // Where the keyboard cursor goes after the last Draw; none: hide it.
  [[nodiscard]] std::optional<CellPos> Cursor() const { return cursor_; }
  // The text of the status line after the last Draw.
  [[nodiscard]] const std::string& Status() const { return status_; }

  // Whether anything open waits for the user (tests).
  [[nodiscard]] bool HasModalBox() const { return !boxes_.empty(); }

 private:
  struct OpenList {
    window::HWND dialog{};
    int id = 0;
    int highlight = 0;
    int first = 0;
    CellRect drawn;
  };

  DialogView* Find(window::HWND handle);
  // The dialog that takes the keyboard: the newest visible one on top.
  DialogView* Active();
  // The page beneath the popups: the newest visible dialog that is no popup.
  DialogView* Page();
  void Raise(window::HWND handle);
  void ReportHover(DialogView& dialog);

  void DialogKey(DialogView& dialog, const KeyPress& key);
  void EditKey(DialogView& dialog, ControlView& edit, const KeyPress& key);
  // The next line of a list whose text starts with `c`, after `from`; -1 none.
  static int LineStartingWith(const ControlView& list, char32_t c, int from);
  void ListKey(const KeyPress& key);
  void DrawOpenList(Canvas& canvas, const CellRect& screen);
  void Select(window::HWND dialog, int id, int line);
  [[nodiscard]] std::string Hints(DialogView* dialog);

  PictureText pictures_;
  PathContext paths_;
  TerminalWords words_;
  std::vector<std::unique_ptr<DialogView>> dialogs_;  // bottom to top
  std::vector<std::unique_ptr<ModalBox>> boxes_;      // oldest first; the newest takes the keys
  std::optional<OpenList> list_;                      // an open drop-down list
  std::optional<CellPos> cursor_;
  std::string status_;
};

}  // namespace norix::platform::terminal
