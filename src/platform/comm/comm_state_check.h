// Which comm states a port accepts, the same for every backend.
#pragma once

#include "platform/comm/comm_types.h"

namespace norix::platform::comm {

// False for a zero speed, a byte size outside 5..8, RTS toggle mode (no Linux
// driver offers it), 1.5 stop bits with other than 5 data bits, and 2 stop
// bits with 5 data bits; those pairs the system's serial drivers refuse too.
[[nodiscard]] bool IsSupportedCommState(const CommState& state);

}  // namespace norix::platform::comm
