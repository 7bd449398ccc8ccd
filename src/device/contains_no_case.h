// Case-insensitive search for a word in a text (ASCII letters only, so the
// result never depends on the locale).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace norix::device {

// Position of the first occurrence of `word` in `text` ignoring the case of
// ASCII letters; none when the text is shorter than the word or it does not
// occur. An empty word is found at position 0.
[[nodiscard]] std::optional<std::size_t> ContainsNoCase(std::string_view text,
                                                        std::string_view word);

// True when `a` and `b` are equal ignoring the case of ASCII letters.
[[nodiscard]] bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace norix::device
