// The two questions the upgrade file checks ask the product. Each is one AT
// exchange on the port and blocks for as long as SendAtCommand does (the
// port's time-outs); silence or a broken port answers false.
#pragma once

#include "platform/comm/port.h"

namespace norix::upgrade {

// "ATI7" answered with OK and a reply holding "Added Internal Analog
// Interface" (case-insensitive): a solano 1280i a/b.
//   "ATI7\r" "\r\n" "Added Internal Analog Interface\r\n" "\r\n" "OK\r\n" -> true
[[nodiscard]] bool QueryAddedAnalogInterface(platform::comm::Port* port);

// "ATI4" answered with OK and a reply holding "_2M_": a modem with the large
// flash part.
[[nodiscard]] bool QueryLargeFlash(platform::comm::Port* port);

}  // namespace norix::upgrade
