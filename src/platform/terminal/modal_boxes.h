// Message boxes and the open-file dialog of the terminal front end: framed
// boxes over the pages that take every key until they are answered (the
// whole program waits for them). Each answers its request exactly once; one
// dropped unanswered answers 0 / "cancelled" through its answer object.
//
// A message box shows its caption in the frame, the meaning of its icon
// ("(!) Warning"), its text and its buttons; Tab and the arrows move between
// the buttons, Enter or Space presses one, a button's first letter presses
// it, and Esc presses Cancel (or the only button).
//
// The open-file dialog is a path entry over the entries of the folder it
// names (subfolders and the files of its filter): Tab completes the path,
// Up and Down pick an entry, Enter opens a folder or takes a file, Esc
// cancels.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/terminal/canvas.h"
#include "platform/terminal/file_chooser.h"
#include "platform/terminal/key_press.h"
#include "platform/terminal/terminal_words.h"
#include "platform/window/modal_request.h"

namespace norix::platform::terminal {

class ModalBox {
 public:
  ModalBox() = default;
  ModalBox(const ModalBox&) = delete;
  ModalBox& operator=(const ModalBox&) = delete;
  ModalBox(ModalBox&&) = delete;
  ModalBox& operator=(ModalBox&&) = delete;
  virtual ~ModalBox() = default;

  // Draws the box centred on `screen`; returns the keyboard cursor's cell.
  virtual std::optional<CellPos> Draw(Canvas& canvas, const CellRect& screen) = 0;
  // True once the key answered the box: it closes.
  virtual bool Key(const KeyPress& key) = 0;
  // A mouse click on the screen; true once it answered the box.
  virtual bool Click(CellPos cell) = 0;
  // What the keys do here, for the status line.
  [[nodiscard]] virtual std::string Hints() const = 0;
};

// The label of a message box button ("OK", "Cancel", "Yes", ...).
[[nodiscard]] std::string ButtonLabel(int button, const TerminalWords& words);
// The meaning of a message box's icon ("(!) Warning"); "" for none.
[[nodiscard]] std::string IconMeaning(window::UINT style, const TerminalWords& words);

// The boxes keep a reference to `words`, which must outlive them.
[[nodiscard]] std::unique_ptr<ModalBox> MakeMessageBox(window::MessageBoxRequest request,
                                                       window::MessageBoxAnswer answer,
                                                       const TerminalWords& words);
[[nodiscard]] std::unique_ptr<ModalBox> MakeFileDialog(window::OpenFileName request,
                                                       window::FileDialogAnswer answer,
                                                       PathContext paths,
                                                       const TerminalWords& words);

}  // namespace norix::platform::terminal
