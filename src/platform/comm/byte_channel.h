// What the time-out engine (timed_io.h) needs from a line: taking and handing
// over bytes without waiting, sleeping until that may succeed, and being woken
// from another thread. A tty backend implements it over a non-blocking fd and
// poll(), the memory line over queues and a condition variable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/comm/deadline.h"

namespace norix::platform::comm {

class ByteChannel {
 public:
  ByteChannel() = default;
  ByteChannel(const ByteChannel&) = delete;
  ByteChannel& operator=(const ByteChannel&) = delete;
  ByteChannel(ByteChannel&&) = delete;
  ByteChannel& operator=(ByteChannel&&) = delete;
  virtual ~ByteChannel() = default;

  // Takes received bytes, up to buffer.size(), without waiting. Returns the
  // count (0 when none are there), or -1 when the line is closed or broken and
  // nothing is left to take.
  [[nodiscard]] virtual std::ptrdiff_t TakeReceived(std::span<std::uint8_t> buffer) = 0;

  // Hands over as many bytes as the line accepts now, without waiting.
  // Returns the count, or -1 when the line is closed or broken.
  [[nodiscard]] virtual std::ptrdiff_t PutOutgoing(std::span<const std::uint8_t> data) = 0;

  // Sleeps until TakeReceived may find bytes, `deadline` passes or
  // WakeReader() is called; may also return early. False when the line is
  // broken, so that waiting again would not sleep.
  [[nodiscard]] virtual bool WaitReceivable(Deadline deadline) = 0;

  // As WaitReceivable, for room to send and WakeWriter().
  [[nodiscard]] virtual bool WaitSendable(Deadline deadline) = 0;

  // Ends the current or the next wait of the reader / the writer. Any thread.
  virtual void WakeReader() = 0;
  virtual void WakeWriter() = 0;

  // Throw away bytes received and not yet taken / handed over and not yet sent.
  virtual bool DiscardReceived() = 0;
  virtual bool DiscardUnsent() = 0;
};

}  // namespace norix::platform::comm
