// The lines.conf file: one [line] section per line device.
//
//   # the modems on this computer
//   [line]
//   name = Example Modem 56K USB
//   port = /dev/ttyUSB0
//   api = 1.3-1.4
//   driver-key = Modem\0003
//
// Keys are case-insensitive; values run to the end of the line with blanks
// around them removed (double quotes keep them). "name" and "port" are
// required, "api" (one version or a range, default 1.3-1.4) and "driver-key"
// are optional. Lines starting with # or ; are comments.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/telephony/line_device.h"

namespace norix::platform::telephony {

struct LinesConf {
  std::vector<LineDevice> devices;    // the good sections, in file order
  std::vector<std::string> problems;  // "<file>:<line>: what is wrong"
};

// Parses the text of a lines.conf; `fileName` names it in the problems. A
// section with any error is left out as a whole; the others still count.
[[nodiscard]] LinesConf ParseLinesConf(std::string_view text, const std::string& fileName);

// Reads and parses the file. A missing file gives no devices and no
// problems; a file that exists but cannot be read gives a problem.
[[nodiscard]] LinesConf ReadLinesConf(const std::filesystem::path& file);

}  // namespace norix::platform::telephony
