#include "upgrade/ascii_text.h"

#include <algorithm>

namespace norix::upgrade {

char ToLowerAscii(char c) {
  if (c >= 'A' && c <= 'Z') {
    return static_cast<char>(c - 'A' + 'a');
  }
  return c;
}

std::string ToLowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return ToLowerAscii(c); });
  return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ToLowerAscii(x) == ToLowerAscii(y);
         });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::optional<std::size_t> FindNoCase(std::string_view text, std::string_view word,
                                      std::size_t from) {
  if (word.empty() || from > text.size() || text.size() - from < word.size()) {
    return std::nullopt;
  }
  const char first = word.front();
  if (ToLowerAscii(first) == first && (first < 'a' || first > 'z')) {
    // A first character without case (the '[' of section headers): jump
    // between its occurrences, which keeps searches over megabytes of
    // firmware fast.
    const auto rest = word.substr(1);
    const std::size_t last = text.size() - word.size();
    for (auto at = text.find(first, from); at != std::string_view::npos && at <= last;
         at = text.find(first, at + 1)) {
      if (EqualsNoCase(text.substr(at + 1, rest.size()), rest)) {
        return at;
      }
    }
    return std::nullopt;
  }
  const auto found =
      std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), word.begin(),
                  word.end(), [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
  if (found == text.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - text.begin());
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
  return FindNoCase(text, word).has_value();
}

std::string FillIn(std::string_view format, std::string_view value) {
  std::string text;
  bool filled = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        text.push_back('%');
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !filled) {
        text.append(value);
        filled = true;
        ++i;
        continue;
      }
    }
    text.push_back(format[i]);
  }
  return text;
}

}  // namespace norix::upgrade
