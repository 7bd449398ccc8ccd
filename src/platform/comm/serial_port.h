// Opening a real serial device (a tty path) as a Port.
#pragma once

#include <memory>
#include <string>

#include "platform/comm/open_failure.h"
#include "platform/comm/port.h"

namespace norix::platform::comm {

struct OpenPortResult {
  std::unique_ptr<Port> port;  // null on failure
  int error = 0;               // errno of the failure; EBUSY when another open holds the port
  // "cannot open /dev/ttyUSB0: Device or resource busy (in use by minicom, ...)":
  // DescribeOpenFailure with the facts looked up at the failure.
  std::string message;
  OpenFailure failure = OpenFailure::None;
};

// Opens `path` for exclusive use: raw mode, 8N1, no flow control, the time-outs
// all zero. A second open of a port that is held, by this process or another,
// fails with EBUSY, also for root. Closing the Port releases it.
[[nodiscard]] OpenPortResult OpenSerialPort(const std::string& path);

}  // namespace norix::platform::comm
