// Host bit rates that the maker's desktop modems understand.
#pragma once

#include <cstdint>
#include <vector>

namespace norix::sim::models {

// 300 to 115200 bit/s at the usual steps; 14400 and 28800 are line rates, not
// port speeds, and the modems do not recognise them on the port.
[[nodiscard]] inline std::vector<std::uint32_t> StandardSpeeds() {
  return {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
}

}  // namespace norix::sim::models
