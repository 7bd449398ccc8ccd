// The file name pattern the upgrade file dialog starts with for a product: a
// family code, a speed class and "V???.LFU", so that the dialog lists every
// version of the family, e.g. "C560V???.LFU" for "NORIX corvid 560 Voice".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norix::upgrade {

inline constexpr std::string_view kFileNameTail = "V???.LFU";

// From the product's identification text. For a solano 1280 adapter the ISDN
// part gets "1280V???.LFU" and its modem component "S336V???.LFU". None when
// the text names no known family or speed class (the dialog's name field then
// keeps what it held).
[[nodiscard]] std::optional<std::string> BuildDefaultFileName(std::string_view identificationText,
                                                              bool isdnTarget);

}  // namespace norix::upgrade
