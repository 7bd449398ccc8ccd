#pragma once

// The program's own string table, compiled in from norix.en.txt.

#include <span>
#include <string_view>

namespace norix::resources::strings {

struct BuiltinText {
  int id;
  std::string_view text;
};

// Every text of the program's own table, ordered by string number.
[[nodiscard]] std::span<const BuiltinText> BuiltinTexts() noexcept;

}  // namespace norix::resources::strings
