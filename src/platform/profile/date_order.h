#pragma once

// Date orders in the letters the program reads from the profile: "d" day,
// "M" month, "y" year, runs of them ("dd", "MMMM", "yyyy") with separators
// between, as in "dd/MM/yyyy" or "d. MMMM yyyy".

#include <string>
#include <string_view>

namespace norix::platform::profile {

// Used when a locale's date format holds no day, month or year field.
inline constexpr std::string_view kDefaultShortDate = "dd/MM/yyyy";

// Translates a strftime date format (a locale's d_fmt, e.g. "%d.%m.%Y") into
// a date order ("dd.MM.yyyy"). Day, month and year conversions (with glibc's
// "-", "_", "0", "^", "#" flags, widths and the E and O modifiers) become
// letters; %D and %F expand; other conversions (weekday names included) and
// literal ASCII letters are dropped, since the reader would take a literal d,
// m or y for a field. Blanks are single and never at either end. Without any
// field the result is kDefaultShortDate.
[[nodiscard]] std::string DateOrderFromStrftime(std::string_view d_fmt);

// A long date order with the same field order as a short one, month by name:
// day first "d MMMM yyyy" ("d. MMMM yyyy" when the short order separates with
// "."), month first "MMMM d, yyyy", year first "yyyy MMMM d".
[[nodiscard]] std::string LongDateOrderFor(std::string_view short_order);

}  // namespace norix::platform::profile
