// Locale-free ASCII for protocol text: AT commands and replies, file headers,
// device and key names. Only A-Z and a-z have a case; every other byte,
// those above 0x7F included, compares as it is. The C library's tolower and
// isalpha follow the user's locale once the front end sets it, and in a
// Turkish locale "I" is not the capital of "i": nothing that reads what a
// product or a file says may go through them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace norix::platform::ascii {

[[nodiscard]] constexpr bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
[[nodiscard]] constexpr bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
[[nodiscard]] constexpr bool IsAlpha(char c) { return IsUpper(c) || IsLower(c); }
[[nodiscard]] constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
[[nodiscard]] constexpr bool IsAlnum(char c) { return IsAlpha(c) || IsDigit(c); }

[[nodiscard]] constexpr char ToLower(char c) {
  return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}
[[nodiscard]] constexpr char ToUpper(char c) {
  return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

[[nodiscard]] inline std::string ToLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return ToLower(c); });
  return out;
}
[[nodiscard]] inline std::string ToUpper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return ToUpper(c); });
  return out;
}

[[nodiscard]] constexpr bool EqualNoCase(char a, char b) { return ToLower(a) == ToLower(b); }

[[nodiscard]] constexpr bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return EqualNoCase(x, y); });
}

[[nodiscard]] constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

// Offset of the first occurrence of `word` in `text` at or after `from`,
// ignoring case; none when there is none. As with std::string_view::find, an
// empty word is found at `from` (when `from` is within the text).
[[nodiscard]] constexpr std::optional<std::size_t> FindNoCase(std::string_view text,
                                                              std::string_view word,
                                                              std::size_t from = 0) {
  if (from > text.size() || text.size() - from < word.size()) {
    return std::nullopt;
  }
  if (word.empty()) {
    return from;
  }
  const std::size_t last = text.size() - word.size();
  const char first = word.front();
  if (!IsAlpha(first)) {
    // A first character without case (the '[' of section headers): jump
    // between its occurrences, which keeps searches over megabytes of
    // firmware fast.
    const std::string_view rest = word.substr(1);
    for (std::size_t at = text.find(first, from); at != std::string_view::npos && at <= last;
         at = text.find(first, at + 1)) {
      if (EqualNoCase(text.substr(at + 1, rest.size()), rest)) {
        return at;
      }
    }
    return std::nullopt;
  }
  for (std::size_t at = from; at <= last; ++at) {
    if (EqualNoCase(text[at], first) && EqualNoCase(text.substr(at, word.size()), word)) {
      return at;
    }
  }
  return std::nullopt;
}

[[nodiscard]] constexpr bool ContainsNoCase(std::string_view text, std::string_view word) {
  return FindNoCase(text, word).has_value();
}

}  // namespace norix::platform::ascii
