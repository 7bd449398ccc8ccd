// Texts as terminal cells: UTF-8 decoded into characters, the columns each
// character takes, cutting a text to a width and wrapping it at word breaks.
// Bytes that are not UTF-8 show as U+FFFD rather than vanishing, so a garbled
// reply of a product stays visible as garbled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::terminal {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

[[nodiscard]] std::u32string DecodeUtf8(std::string_view text);
[[nodiscard]] std::string EncodeUtf8(std::u32string_view text);

// Columns a character takes: 0 for control characters and combining marks,
// 2 for wide (East Asian) characters, 1 for the rest.
[[nodiscard]] int CellWidth(char32_t c);
[[nodiscard]] int TextWidth(std::u32string_view text);

// The longest beginning of `text` that fits in `width` columns.
[[nodiscard]] std::u32string FitWidth(std::u32string_view text, int width);

// `text` in lines of at most `width` columns: a line feed (or CR LF, or CR)
// always breaks; otherwise lines break at blanks, and inside a word only
// when the word is longer than a whole line. Blanks at a break are dropped.
// An empty text is one empty line.
[[nodiscard]] std::vector<std::u32string> WrapText(std::u32string_view text, int width);

// A letter in lower case, for matching a typed letter against a text's
// first one: ASCII and the Latin-1 letters ("Ö" as "ö"); others as they are.
[[nodiscard]] char32_t FoldCase(char32_t c);

// What a terminal without UTF-8 shows for a character: ASCII as it is,
// Latin letters without their accents ("ae" and the like become their
// first letter), typographic quotes and dashes as their ASCII kin, and '?'
// for everything else.
[[nodiscard]] char AsciiStandIn(char32_t c);

}  // namespace norix::platform::terminal
