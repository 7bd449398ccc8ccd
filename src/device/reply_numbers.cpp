#include "device/reply_numbers.h"

#include <algorithm>
#include <cstddef>

namespace norix::device {

namespace {

constexpr std::uint32_t kDecimalLimit = 65535;
constexpr std::uint64_t kHexLimit = 0xFFFFFFFFU;

std::optional<std::uint32_t> HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<std::uint32_t>(c - '0');
  }
  if (c >= 'a' && c <= 'f') {
    return static_cast<std::uint32_t>(c - 'a' + 10);
  }
  if (c >= 'A' && c <= 'F') {
    return static_cast<std::uint32_t>(c - 'A' + 10);
  }
  return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::uint32_t LeadingDecimal(std::string_view text) {
  std::uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      break;
    }
    value = std::min(value * 10 + static_cast<std::uint32_t>(c - '0'), kDecimalLimit);
  }
  return value;
}

std::uint32_t VersionNumber(std::string_view versionText) {
  const std::uint32_t minor = versionText.size() > 2 ? LeadingDecimal(versionText.substr(2)) : 0;
  return LeadingDecimal(versionText) * 100 + minor;
}

std::optional<std::uint32_t> LeadingHexWord(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  // "0x" is a prefix only when a hex digit follows it; "0xZ" reads as 0.
  if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
      HexDigit(text[pos + 2])) {
    pos += 2;
  }
  std::optional<std::uint32_t> value;
  for (; pos < text.size(); ++pos) {
    const auto digit = HexDigit(text[pos]);
    if (!digit) {
      break;
    }
    const std::uint64_t next = std::uint64_t{value.value_or(0)} * 16 + *digit;
    value = static_cast<std::uint32_t>(std::min(next, kHexLimit));
  }
  return value;
}

}  // namespace norix::device
