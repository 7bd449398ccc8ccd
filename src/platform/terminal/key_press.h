// A key the user pressed, as the terminal front end hands it on: a
// character typed, or one of the keys that move, choose and confirm.
#pragma once

#include <cstdint>

namespace norix::platform::terminal {

enum class Key : std::uint8_t {
  kCharacter,  // `character` holds what was typed
  kTab,
  kBackTab,  // Shift+Tab
  kEnter,
  kEscape,
  kUp,
  kDown,
  kLeft,
  kRight,
  kHome,
  kEnd,
  kPageUp,
  kPageDown,
  kBackspace,
  kDelete,
};

struct KeyPress {
  Key key = Key::kCharacter;
  char32_t character = 0;

  friend bool operator==(const KeyPress&, const KeyPress&) = default;
};

}  // namespace norix::platform::terminal
