// A serial port as the system uses it: blocking reads and writes bounded by
// the port's time-outs, comm state, purge. Implementations: the POSIX tty
// backend (serial_port_posix.cpp) and the in-memory line (memory_line.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "platform/comm/comm_types.h"

namespace norix::platform::comm {

class Port {
 public:
  Port() = default;
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;
  Port(Port&&) = delete;
  Port& operator=(Port&&) = delete;
  virtual ~Port() = default;

  // Reads up to buffer.size() bytes; blocks until the time-outs end the read
  // (IoStatus::Completed, count possibly 0) or `waitLimit` passes first
  // (IoStatus::WaitExpired: bytes already taken stay queued for the next read,
  // nothing is lost and nothing arrives in `buffer` afterwards). A purge with
  // kPurgeRxAbort from another thread ends it with IoStatus::Aborted.
  [[nodiscard]] virtual IoResult Read(std::span<std::uint8_t> buffer,
                                      std::chrono::milliseconds waitLimit) = 0;

  // Writes the bytes; blocks at most writeMultiplier * n + writeConstant.
  // A write that times out completes with the count written so far.
  [[nodiscard]] virtual IoResult Write(std::span<const std::uint8_t> data) = 0;

  [[nodiscard]] virtual bool GetState(CommState& state) const = 0;
  [[nodiscard]] virtual bool SetState(const CommState& state) = 0;
  [[nodiscard]] virtual bool GetTimeouts(CommTimeouts& timeouts) const = 0;
  [[nodiscard]] virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;

  // Any combination of the kPurge* actions. Safe to call from another thread
  // while a read or write is pending.
  virtual bool Purge(std::uint32_t actions) = 0;

  // The name the port was opened by (a tty path, or a label for memory lines).
  [[nodiscard]] virtual std::string Name() const = 0;
};

}  // namespace norix::platform::comm
