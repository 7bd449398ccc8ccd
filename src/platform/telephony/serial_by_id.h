// USB serial devices as udev names them under /dev/serial/by-id, e.g.
// "usb-Example_Modem_56K_USB_0123456789-if00-port0" -> /dev/ttyUSB0.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/telephony/line_device.h"

namespace norix::platform::telephony {

// A readable line name from a by-id link name: the bus prefix, the interface
// and port suffixes and the serial number are dropped, udev's \xNN escapes
// decoded and the underscores turned into blanks:
// "usb-Example_Modem_56K_USB_0123456789-if00-port0" -> "Example Modem 56K USB".
// The last word counts as a serial number when it has at least 6 letters and
// digits with a digit among them.
[[nodiscard]] std::string ReadableNameFromById(std::string_view linkName);

// Where the driver keys of USB devices live, below HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kUsbDriverKeyPath =
    "System\\CurrentControlSet\\Services\\Class\\Modem\\USB";

// The character devices in `dir` whose link name contains `word`
// (case-insensitive), in name order, with their readable names; the port is
// the link's path, the driver key kUsbDriverKeyPath and the link's name
// (backslashes made underscores), which start-up seeds from the kernel's
// driver of the tty. A missing folder gives none.
[[nodiscard]] std::vector<LineDevice> ScanSerialById(const std::filesystem::path& dir,
                                                     std::string_view word);

}  // namespace norix::platform::telephony
