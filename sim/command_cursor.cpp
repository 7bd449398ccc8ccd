#include "sim/command_cursor.h"

#include <algorithm>

namespace norix::sim {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::uint32_t> HexDigit(char c) {
  if (IsDigit(c)) {
    return static_cast<std::uint32_t>(c - '0');
  }
  const char u = Upper(c);
  if (u >= 'A' && u <= 'F') {
    return static_cast<std::uint32_t>(u - 'A' + 10);
  }
  return std::nullopt;
}

}  // namespace

void CommandCursor::Advance(std::size_t count) { pos_ = std::min(text_.size(), pos_ + count); }

bool CommandCursor::Consume(std::string_view expected) {
  if (!StartsWithNoCase(Rest(), expected)) {
    return false;
  }
  pos_ += expected.size();
  return true;
}

std::optional<std::uint32_t> CommandCursor::Number() {
  if (!IsDigit(Peek())) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  while (IsDigit(Peek())) {
    value = std::min(kNumberLimit, value * 10 + static_cast<std::uint32_t>(Peek() - '0'));
    ++pos_;
  }
  return value;
}

std::string_view CommandCursor::ExtendedArgument() {
  const std::string_view rest = Rest();
  const std::size_t end = rest.find(';');
  if (end == std::string_view::npos) {
    pos_ = text_.size();
    return rest;
  }
  pos_ += end + 1;
  return rest.substr(0, end);
}

std::string_view CommandCursor::TakeRest() {
  const std::string_view rest = Rest();
  pos_ = text_.size();
  return rest;
}

std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > std::min<std::size_t>(maxDigits, 8)) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (const char c : text) {
    const auto digit = HexDigit(c);
    if (!digit) {
      return std::nullopt;
    }
    value = value * 16 + *digit;
  }
  return value;
}

std::optional<std::uint32_t> ParseDecimal(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > std::min<std::size_t>(maxDigits, 9)) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) {
      return std::nullopt;
    }
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Upper(text[i]) != Upper(prefix[i])) {
      return false;
    }
  }
  return true;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
  return upper;
}

}  // namespace norix::sim
