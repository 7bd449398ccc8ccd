// The read and write engine every Port uses: the system's interval,
// multiplier and constant time-outs over a ByteChannel, the caller's wait
// limit, and purges from another thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "platform/comm/byte_channel.h"
#include "platform/comm/comm_types.h"

namespace norix::platform::comm {

class TimedIo {
 public:
  explicit TimedIo(ByteChannel& channel) : channel_(channel) {}

  // Blocks until the read has buffer.size() bytes, the gap after a received
  // byte exceeds the read interval, or read multiplier * n + read constant has
  // passed: IoStatus::Completed with what came (maybe nothing). An interval
  // of kMaxTimeout with both totals 0 returns at once; interval and
  // multiplier kMaxTimeout with a constant returns as soon as any byte is
  // there, waiting up to the constant for the first. When `waitLimit` passes
  // first: IoStatus::WaitExpired, count 0. A purge with kPurgeRxAbort ends it
  // with IoStatus::Aborted, count 0. In both cases the bytes the read had
  // taken are kept for the next read. IoStatus::Failed when the line is
  // closed or broken and nothing came.
  [[nodiscard]] IoResult Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds waitLimit);

  // Blocks until all bytes are handed to the line, or write multiplier * n +
  // write constant has passed (no limit when both are 0): IoStatus::Completed
  // with the count handed over. kPurgeTxAbort ends it with IoStatus::Aborted,
  // IoStatus::Failed when the line breaks; the count says what went out.
  [[nodiscard]] IoResult Write(std::span<const std::uint8_t> data);

  [[nodiscard]] CommTimeouts Timeouts() const;
  void SetTimeouts(const CommTimeouts& timeouts);

  // Any combination of the kPurge* actions; any thread. False when the line
  // could not discard its buffers.
  bool Purge(std::uint32_t actions);

 private:
  // Puts bytes a read took back in front of the received data, unless a
  // receive purge came after they were taken.
  void PushBack(std::span<const std::uint8_t> bytes, std::uint64_t clearsSeen);

  ByteChannel& channel_;
  mutable std::mutex mutex_;  // guards timeouts_, pushedBack_ and rxClears_ changes
  CommTimeouts timeouts_;
  std::vector<std::uint8_t> pushedBack_;  // handed out before anything the channel has
  std::atomic<std::uint64_t> rxAborts_{0};
  std::atomic<std::uint64_t> txAborts_{0};
  std::atomic<std::uint64_t> rxClears_{0};
};

}  // namespace norix::platform::comm
