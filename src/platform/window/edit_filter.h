// What the user may type into an edit: digits only, a given set of allowed
// characters, capitals only, one line or several, and at most so many
// characters. Texts are UTF-8; limits count characters, not bytes, and a
// character is never cut in half. The program itself may set any text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/window/control_state.h"

namespace norix::platform::window {

struct EditRules {
  bool digitsOnly = false;
  bool uppercase = false;    // a-z become A-Z as they are typed
  bool multiLine = false;    // line feeds may be typed
  std::string allowedChars;  // empty: any character
  int limit = kDefaultEditLimit;
};

[[nodiscard]] EditRules EditRulesOf(const ControlState& edit);

// The edit's text after the user typed `typed` at its end: characters the
// rules refuse are dropped (as are control characters and bytes that are not
// UTF-8), letters are upper-cased first when the rules say so, and typing
// stops at the limit.
[[nodiscard]] std::string AppendTyped(std::string_view current, std::string_view typed,
                                      const EditRules& rules);

// The text after the user replaced the whole text with `proposed`.
[[nodiscard]] std::string FilterTyped(std::string_view proposed, const EditRules& rules);

// Characters (UTF-8 sequences) in a text; a broken byte counts as one.
[[nodiscard]] std::size_t CountCharacters(std::string_view text);

}  // namespace norix::platform::window
