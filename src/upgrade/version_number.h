// Version numbers as the upgrade compares them: major * 100 + minor, read the
// way C's atoi reads numbers, so "1.30" is 130, "2.05" is 205 and "1.3" is 103.
#pragma once

#include <string_view>

namespace norix::upgrade {

// Leading white space, an optional sign, then decimal digits up to the first
// other character; 0 when there are none. Values beyond the int range are
// held at its limits.
[[nodiscard]] int DecimalValue(std::string_view text);

// DecimalValue(text) * 100 + DecimalValue(text from its third character),
// held at the int range; a text of fewer than three characters adds 0.
[[nodiscard]] int FileVersionNumber(std::string_view versionText);

}  // namespace norix::upgrade
