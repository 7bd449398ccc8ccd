// The keys that edit one line of text at a caret: characters typed in,
// Backspace and Delete, Left, Right, Home and End.
#pragma once

#include <optional>
#include <string>

#include "platform/terminal/key_press.h"

namespace norix::platform::terminal {

struct LineEdit {
  std::u32string text;
  int caret = 0;  // character index, 0 ... text.size()

  friend bool operator==(const LineEdit&, const LineEdit&) = default;
};

// The line after `key`, or nullopt when the key does not edit or move
// within a line (Tab, Enter, Up, ...). Control characters are not typed.
[[nodiscard]] std::optional<LineEdit> ApplyEditKey(const LineEdit& line, const KeyPress& key);

}  // namespace norix::platform::terminal
