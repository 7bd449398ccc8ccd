// Finding out what answers on the product's port: the product's "ATI3" text,
// the flash loader of a product in rescue mode, a foreign modem, or nothing.
#pragma once

#include <string>

#include "platform/comm/port.h"

namespace norix::products {

// Asks the product on `port` (open and configured) who it is and returns the
// identification text, at most kIdentTextCapacity characters and never empty:
// the product's own line (e.g. "NORIX Netrunner 56000 Voice V1.10"), one of
// the rescue mode texts, kUnknownModem or kNoModemDetected (also for a null
// port). Talks at 9600 bit/s with CTS flow control off, then probes for a
// flash loader at 57600 and 115200 bit/s. Blocks for the port's read
// time-outs of up to five block reads (a silent product with the default
// time-outs: about five seconds). CTS flow control is on afterwards and the
// port keeps the speed last set.
[[nodiscard]] std::string IdentifyProduct(platform::comm::Port* port);

}  // namespace norix::products
