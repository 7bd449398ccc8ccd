#include "upgrade/version_number.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace norix::upgrade {
namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

std::int64_t Clamp(std::int64_t value) { return std::clamp(value, kIntMin, kIntMax); }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int DecimalValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    // Held just past the int range so the sign can still be applied.
    value = std::min(value * 10 + (text[i] - '0'), kIntMax + 1);
  }
  return static_cast<int>(Clamp(negative ? -value : value));
}

int FileVersionNumber(std::string_view versionText) {
  const std::int64_t major = DecimalValue(versionText);
  const std::int64_t minor = versionText.size() > 2 ? DecimalValue(versionText.substr(2)) : 0;
  return static_cast<int>(Clamp(major * 100 + minor));
}

}  // namespace norix::upgrade
