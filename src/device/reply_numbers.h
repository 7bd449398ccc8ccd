// Numbers in product replies. Replies are whatever the product sent, so these
// never overflow and never read past the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace norix::device {

// Value of the decimal digits at the start of `text` up to the first other
// character; 0 when it does not start with a digit. Saturates at 65535.
[[nodiscard]] std::uint32_t LeadingDecimal(std::string_view text);

// Firmware version number of a version text such as "1.10" (110) or "2.07"
// (207): the leading number * 100 + the number from the third character on
// (0 when the text is shorter than that).
[[nodiscard]] std::uint32_t VersionNumber(std::string_view versionText);

// The hexadecimal number a reply line starts with, read as "%lx" would:
// leading blanks skipped, an optional "0x", then hex digits up to the first
// other character. None when no hex digit is there; saturates at 0xFFFFFFFF.
[[nodiscard]] std::optional<std::uint32_t> LeadingHexWord(std::string_view text);

}  // namespace norix::device
