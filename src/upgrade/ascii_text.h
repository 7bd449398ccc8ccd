// Case-insensitive text search over plain ASCII, the way the upgrade code
// compares product names, keys and section headers. Bytes outside A-Z/a-z
// compare as they are, so arbitrary binary data is safe to search.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace norix::upgrade {

[[nodiscard]] char ToLowerAscii(char c);
[[nodiscard]] std::string ToLowerAscii(std::string_view text);

[[nodiscard]] bool EqualsNoCase(std::string_view a, std::string_view b);

// True when `text` begins with `prefix`, case-insensitively.
[[nodiscard]] bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Offset of the first case-insensitive occurrence of `word` in `text` at or
// after `from`; none when there is none or `word` is empty.
[[nodiscard]] std::optional<std::size_t> FindNoCase(std::string_view text, std::string_view word,
                                                    std::size_t from = 0);

[[nodiscard]] bool ContainsNoCase(std::string_view text, std::string_view word);

// A text with one "%s" (the catalogues' way to leave room for a value)
// with `value` in its place; "%%" gives "%". Any other "%" is kept as it is,
// so no text of a catalogue can read what is not there.
[[nodiscard]] std::string FillIn(std::string_view format, std::string_view value);

}  // namespace norix::upgrade
