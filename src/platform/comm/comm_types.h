// Settings and time-outs of a serial port, in the terms the system uses for a
// COM port: a comm state (speed, framing, flow control) and a time-out record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace norix::platform::comm {

enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };
enum class StopBits : std::uint8_t { One, OneAndHalf, Two };
enum class RtsControl : std::uint8_t { Disable, Enable, Handshake, Toggle };

// The parts of the comm state the system reads and writes.
struct CommState {
  std::uint32_t baudRate = 9600;
  std::uint8_t byteSize = 8;
  Parity parity = Parity::None;
  StopBits stopBits = StopBits::One;
  bool outxCtsFlow = false;  // output waits for CTS
  RtsControl rtsControl = RtsControl::Enable;

  friend bool operator==(const CommState&, const CommState&) = default;
};

// Time-outs in milliseconds with the system's semantics. A read of n bytes
// ends when n bytes have come, when the gap after a received byte exceeds
// readInterval, or when readMultiplier * n + readConstant has passed, and then
// returns what has come, possibly nothing. readInterval == kMaxTimeout with
// both read totals 0 returns at once with what is already there. A zero
// interval and zero totals mean no time-out (the caller's wait limit applies).
// A write may take writeMultiplier * n + writeConstant; 0 for both means no
// limit.
struct CommTimeouts {
  std::uint32_t readInterval = 0;
  std::uint32_t readMultiplier = 0;
  std::uint32_t readConstant = 0;
  std::uint32_t writeMultiplier = 0;
  std::uint32_t writeConstant = 0;

  friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

inline constexpr std::uint32_t kMaxTimeout = 0xFFFFFFFFU;

// Purge actions; the values are the system's own.
inline constexpr std::uint32_t kPurgeTxAbort = 0x0001;
inline constexpr std::uint32_t kPurgeRxAbort = 0x0002;
inline constexpr std::uint32_t kPurgeTxClear = 0x0004;
inline constexpr std::uint32_t kPurgeRxClear = 0x0008;

enum class IoStatus : std::uint8_t {
  Completed,    // ended by count or by the port's time-outs; count may be 0
  WaitExpired,  // the caller's wait limit passed first; count is 0, no data lost
  Aborted,      // a purge with kPurgeRxAbort / kPurgeTxAbort ended it
  Failed,       // the port is closed, hung up or broken
};

struct IoResult {
  IoStatus status = IoStatus::Failed;
  std::size_t count = 0;

  [[nodiscard]] bool completed() const { return status == IoStatus::Completed; }
};

}  // namespace norix::platform::comm
