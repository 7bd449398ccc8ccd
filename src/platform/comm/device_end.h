// The far end of a line: what a product attached to the port sees. The
// simulator's models talk through it, on an in-memory line or a pty master.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/comm/comm_types.h"

namespace norix::platform::comm {

class DeviceEnd {
 public:
  DeviceEnd() = default;
  DeviceEnd(const DeviceEnd&) = delete;
  DeviceEnd& operator=(const DeviceEnd&) = delete;
  DeviceEnd(DeviceEnd&&) = delete;
  DeviceEnd& operator=(DeviceEnd&&) = delete;
  virtual ~DeviceEnd() = default;

  // Waits up to `timeout` for bytes the host sent and takes what is there,
  // up to buffer.size(). Returns the count (0 when nothing came in time), or
  // -1 once the line is shut down (Shutdown(), or the pty is gone).
  [[nodiscard]] virtual std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                                               std::chrono::milliseconds timeout) = 0;

  // Sends bytes to the host as they are (no pacing here). False once the
  // line is shut down.
  virtual bool Send(std::span<const std::uint8_t> data) = 0;

  // The comm state the host set on its side of the line: a product answers
  // only when the host talks at a speed it understands.
  [[nodiscard]] virtual CommState HostState() const = 0;

  // Ends the line from the device side: a pending Receive returns -1 at once.
  // Safe to call from any thread.
  virtual void Shutdown() = 0;
};

}  // namespace norix::platform::comm
