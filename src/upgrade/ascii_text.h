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

}  // namespace norix::upgrade
