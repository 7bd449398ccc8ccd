#include "platform/terminal/line_edit.h"

#include <algorithm>

namespace norix::platform::terminal {

std::optional<LineEdit> ApplyEditKey(const LineEdit& line, const KeyPress& key) {
  LineEdit out = line;
  const int size = static_cast<int>(out.text.size());
  out.caret = std::clamp(out.caret, 0, size);
  const auto at = static_cast<std::size_t>(out.caret);
  switch (key.key) {
    case Key::kCharacter:
      if (key.character < 0x20 || key.character == 0x7F) {
        return std::nullopt;
      }
      out.text.insert(at, 1, key.character);
      ++out.caret;
      return out;
    case Key::kBackspace:
      if (out.caret > 0) {
        out.text.erase(at - 1, 1);
        --out.caret;
      }
      return out;
    case Key::kDelete:
      if (out.caret < size) {
        out.text.erase(at, 1);
      }
      return out;
    case Key::kLeft:
      out.caret = std::max(out.caret - 1, 0);
      return out;
    case Key::kRight:
      out.caret = std::min(out.caret + 1, size);
      return out;
    case Key::kHome:
      out.caret = 0;
      return out;
    case Key::kEnd:
      out.caret = size;
      return out;
    default:
      return std::nullopt;
  }
}

}  // namespace norix::platform::terminal
