#include "device/contains_no_case.h"

namespace norix::device {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

std::optional<std::size_t> ContainsNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) {
    return std::nullopt;
  }
  for (std::size_t pos = 0; pos + word.size() <= text.size(); ++pos) {
    if (EqualNoCase(text.substr(pos, word.size()), word)) {
      return pos;
    }
  }
  return std::nullopt;
}

}  // namespace norix::device
