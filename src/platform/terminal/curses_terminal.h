// The terminal itself, through curses: opened on the standard input and
// output with keys one at a time, no echo, the keypad's keys and the mouse
// where the terminal has one; shows a canvas and reads what the user typed.
// Works on a plain VT100-class terminal without colour (attributes only,
// ASCII stand-ins when the locale is not UTF-8). Process main thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/terminal/cell_layout.h"
#include "platform/terminal/key_press.h"

namespace norix::platform::terminal {

struct InputEvent {
  enum class Kind : std::uint8_t {
    kKey,
    kClick,      // `cell` was clicked
    kInterrupt,  // Ctrl+C
    kRedraw,     // Ctrl+L, or the terminal was resized
  };
  Kind kind = Kind::kKey;
  KeyPress key;
  CellPos cell;
};

class CursesTerminal {
 public:
  CursesTerminal() = default;
  CursesTerminal(const CursesTerminal&) = delete;
  CursesTerminal& operator=(const CursesTerminal&) = delete;
  CursesTerminal(CursesTerminal&&) = delete;
  CursesTerminal& operator=(CursesTerminal&&) = delete;
  ~CursesTerminal();  // Close()

  // Takes over the terminal; "" on success, else why it cannot (no
  // terminal, unknown TERM). Call once.
  [[nodiscard]] std::string Open();
  // Gives the terminal back as it was. Idempotent.
  void Close();

  [[nodiscard]] CellSize Size() const;
  // Takes the terminal's size anew (after SIGWINCH).
  void Resized();
  // Puts the canvas on the screen, the cursor on `cursor` (hidden when none),
  // marked as one frame for terminals with synchronized output.
  void Show(const Canvas& canvas, std::optional<CellPos> cursor);
  // What the user typed since the last call, without waiting.
  [[nodiscard]] std::vector<InputEvent> Read();

  // Whether the terminal takes UTF-8 (the locale's character set).
  [[nodiscard]] bool Utf8() const { return utf8_; }

 private:
  void* screen_ = nullptr;  // the curses SCREEN
  bool utf8_ = false;
  bool open_ = false;
};

}  // namespace norix::platform::terminal
