// An in-memory serial line for fast tests: the host side is a Port with exactly
// the time-out engine of the tty backend, the far side a DeviceEnd.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/comm/device_end.h"
#include "platform/comm/port.h"
#include "platform/comm/serial_port.h"

namespace norix::platform::comm {

struct MemoryLine {
  std::unique_ptr<Port> host;
  std::unique_ptr<DeviceEnd> device;
};

// Both ends may be destroyed in either order. Destroying the host end makes
// the device's Receive return -1, and the device's Shutdown makes host reads
// and writes fail.
[[nodiscard]] MemoryLine MakeMemoryLine(const std::string& name = "memory");

// A memory line whose host side is opened and closed like a tty while the
// device end stays: `open` makes a host end (named `name`) whenever none is
// open and fails with EBUSY while one is. Between two opens the device hears
// nothing and what it sends is lost; each open starts with both directions
// empty. Once the device end is shut down (or gone) the host side still
// opens and works but hears nothing, as a port whose product is switched
// off. `open` may be called from any thread and outlive the device end.
struct ReopenableMemoryLine {
  std::unique_ptr<DeviceEnd> device;
  std::function<OpenPortResult()> open;
};

[[nodiscard]] ReopenableMemoryLine MakeReopenableMemoryLine(const std::string& name);

}  // namespace norix::platform::comm
