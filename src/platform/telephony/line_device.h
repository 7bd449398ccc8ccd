// A line device as the service knows it: the name it reports, the serial
// port behind it, the API versions it supports and its modem driver's key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/telephony/line_types.h"

namespace norix::platform::telephony {

struct LineDevice {
  std::string name;                      // reported as the line name
  std::string port;                      // the tty path the line's port is opened from
  DWORD apiLow = kApiVersion13;          // lowest API version the device supports
  DWORD apiHigh = kApiVersion14;         // highest
  std::optional<std::string> driverKey;  // reported in the device-specific part

  friend bool operator==(const LineDevice&, const LineDevice&) = default;
};

struct ApiRange {
  DWORD low = 0;
  DWORD high = 0;
};

// Parses "1.4" (exactly that version) or "1.3-1.4" (a range, low first).
// Each version is major.minor with numbers up to 65535.
[[nodiscard]] std::optional<ApiRange> ParseApiRange(std::string_view text);

// "1.4" for 0x00010004.
[[nodiscard]] std::string ApiVersionText(DWORD version);

// Why a device cannot be served, or empty when it can: a name and an
// absolute port path are needed, texts must be free of control characters,
// and the API range must not be reversed.
[[nodiscard]] std::string CheckLineDevice(const LineDevice& device);

// The file a port path finally names (links resolved), so that a by-id link
// and the /dev/ttyUSB0 it points to count as one device; the path itself when
// it cannot be resolved.
[[nodiscard]] std::string ResolvePortPath(const std::string& port);

}  // namespace norix::platform::telephony
