// Which model a modem in rescue mode is: its boot firmware answers "AT*"
// with the model index ("5\r\n" is a large flash Netrunner).
//
//   "AT*\r" at 115200 bit/s  ->  "AT*\r" "\r\n5\r\n" "\r\nOK\r\n"
//
// Blocks for up to four exchanges (each up to the port's read time-outs).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "platform/comm/port.h"

namespace norix::upgrade {

// The model texts by index; the product's name becomes "NORIX <text>".
// Indices 4 to 7 are the models with the large flash part.
inline constexpr std::array<std::string_view, 8> kRescueModels{
    "corvid 560 Voice", "Netrunner 560 Voice", "marlin 560 Voice", "560 V Int",
    "corvid 560 Voice", "Netrunner 560 Voice", "marlin 560 Voice", "corvid 560 Voice USB",
};
inline constexpr int kFirstLargeFlashModel = 4;

// "AT*" at the port's speed (115200 bit/s) and, until one gives OK, once
// more at 115200, then at 57600 and at 38400 bit/s. The integer at the start
// of the last answer, when it begins with a digit; none otherwise (the user
// is then asked). The port stays at the speed of the last exchange.
[[nodiscard]] std::optional<long> ProbeRescueModel(platform::comm::Port* port);

}  // namespace norix::upgrade
