// Final result codes of a command line and how a product frames its answers.
//
// Verbose (ATV1), as a product sends them for "ATI3" with echo off:
//   "\r\nNORIX Netrunner 56000 Voice V1.10\r\n" "\r\nOK\r\n"
// Numeric (ATV0): "NORIX Netrunner 56000 Voice V1.10\r\n" "0\r"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/modem_settings.h"

namespace norix::sim {

enum class ResultCode : std::uint8_t {
  Ok,
  Connect,
  Ring,
  NoCarrier,
  Error,
  NoDialtone,
  Busy,
  NoAnswer,
};

[[nodiscard]] std::string_view ResultText(ResultCode code);  // "OK", "NO CARRIER", ...
[[nodiscard]] unsigned ResultNumber(ResultCode code);        // 0, 1, 2, 3, 4, 6, 7, 8

// One informational text as the product sends it, with the line characters of
// S3 and S4.
[[nodiscard]] std::string FormatInformation(std::string_view text, const ModemSettings& settings);

// The final result code as the product sends it; empty when results are off (ATQ1).
[[nodiscard]] std::string FormatResult(ResultCode code, const ModemSettings& settings);

}  // namespace norix::sim
