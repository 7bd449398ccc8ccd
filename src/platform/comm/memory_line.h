// An in-memory serial line for fast tests: the host side is a Port with exactly
// the time-out engine of the tty backend, the far side a DeviceEnd.
#pragma once

#include <memory>
#include <string>

#include "platform/comm/device_end.h"
#include "platform/comm/port.h"

namespace norix::platform::comm {

struct MemoryLine {
  std::unique_ptr<Port> host;
  std::unique_ptr<DeviceEnd> device;
};

// Both ends may be destroyed in either order. Destroying the host end makes
// the device's Receive return -1, and the device's Shutdown makes host reads
// and writes fail.
[[nodiscard]] MemoryLine MakeMemoryLine(const std::string& name = "memory");

}  // namespace norix::platform::comm
