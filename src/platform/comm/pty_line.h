// A pseudo-terminal whose slave side a program opens as its serial port while
// the simulator sits on the master side.
#pragma once

#include <memory>
#include <string>

#include "platform/comm/device_end.h"

namespace norix::platform::comm {

struct PtyLine {
  std::unique_ptr<DeviceEnd> device;  // null on failure
  std::string slavePath;              // e.g. /dev/pts/7, to open with OpenSerialPort
  std::string message;                // why it failed
};

// Creates a pty in raw mode. The device end keeps the slave side open itself,
// so the host may open and close the slave path any number of times, and it
// reads the host's comm state from the slave's termios.
[[nodiscard]] PtyLine OpenPtyLine();

}  // namespace norix::platform::comm
