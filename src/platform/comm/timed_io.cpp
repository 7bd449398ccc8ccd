#include "platform/comm/timed_io.h"

#include <algorithm>

#include "platform/comm/deadline.h"

namespace norix::platform::comm {
namespace {

constexpr std::uint32_t kAllPurgeActions =
    kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear;

// multiplier * count + constant in milliseconds, kNoDeadline when that is too
// far off to matter.
Deadline TotalDeadline(Deadline start, std::uint32_t multiplier, std::size_t count,
                       std::uint32_t constant) {
  if (multiplier != 0 && count > kLongestDeadlineMs / multiplier) {
    return kNoDeadline;
  }
  return DeadlineAfter(start, std::uint64_t{multiplier} * count + constant);
}

Deadline WaitLimitDeadline(Deadline start, std::chrono::milliseconds waitLimit) {
  if (waitLimit.count() <= 0) {
    return start;
  }
  return DeadlineAfter(start, static_cast<std::uint64_t>(waitLimit.count()));
}

}  // namespace

IoResult TimedIo::Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds waitLimit) {
  const std::size_t n = buffer.size();
  if (n == 0) {
    return {IoStatus::Completed, 0};
  }
  const Deadline start = Clock::now();
  const std::uint64_t abortsAtStart = rxAborts_.load();
  CommTimeouts t;
  std::uint64_t clearsSeen = 0;
  std::size_t got = 0;
  {
    const std::lock_guard lock(mutex_);
    t = timeouts_;
    clearsSeen = rxClears_.load();
    got = std::min(n, pushedBack_.size());
    const auto taken = pushedBack_.begin() + static_cast<std::ptrdiff_t>(got);
    std::copy(pushedBack_.begin(), taken, buffer.begin());
    pushedBack_.erase(pushedBack_.begin(), taken);
  }

  const bool returnAtOnce =
      t.readInterval == kMaxTimeout && t.readMultiplier == 0 && t.readConstant == 0;
  const bool returnOnFirstByte = t.readInterval == kMaxTimeout && t.readMultiplier == kMaxTimeout &&
                                 t.readConstant != 0 && t.readConstant != kMaxTimeout;
  Deadline total = kNoDeadline;
  if (returnOnFirstByte) {
    total = DeadlineAfter(start, t.readConstant);
  } else if (t.readMultiplier != 0 || t.readConstant != 0) {
    total = TotalDeadline(start, t.readMultiplier, n, t.readConstant);
  }
  const bool useInterval = t.readInterval != 0 && !returnAtOnce && !returnOnFirstByte;
  const Deadline limit = WaitLimitDeadline(start, waitLimit);

  // Bytes before keepFrom were taken before a receive purge and are not kept
  // when the read does not complete. Pushed-back bytes count as received now.
  std::size_t keepFrom = 0;
  Deadline lastByte = start;
  bool broken = false;
  for (;;) {
    if (const std::uint64_t clears = rxClears_.load(); clears != clearsSeen) {
      clearsSeen = clears;
      keepFrom = got;
    }
    const std::ptrdiff_t taken = channel_.TakeReceived(buffer.subspan(got));
    const Deadline now = Clock::now();
    if (taken > 0) {
      got += static_cast<std::size_t>(taken);
      lastByte = now;
    }
    if (got == n || returnAtOnce || (returnOnFirstByte && got > 0)) {
      return {IoStatus::Completed, got};
    }
    if (taken < 0 || broken) {
      // What came before the line broke is the caller's; the next read fails.
      return {got > 0 ? IoStatus::Completed : IoStatus::Failed, got};
    }
    if (rxAborts_.load() != abortsAtStart) {
      PushBack(buffer.subspan(keepFrom, got - keepFrom), clearsSeen);
      return {IoStatus::Aborted, 0};
    }
    Deadline ends = total;
    if (useInterval && got > 0) {
      ends = std::min(ends, DeadlineAfter(lastByte, t.readInterval));
    }
    if (now >= ends) {
      return {IoStatus::Completed, got};
    }
    if (now >= limit) {
      PushBack(buffer.subspan(keepFrom, got - keepFrom), clearsSeen);
      return {IoStatus::WaitExpired, 0};
    }
    broken = !channel_.WaitReceivable(std::min(ends, limit));
  }
}

IoResult TimedIo::Write(std::span<const std::uint8_t> data) {
  const std::size_t n = data.size();
  if (n == 0) {
    return {IoStatus::Completed, 0};
  }
  const Deadline start = Clock::now();
  const std::uint64_t abortsAtStart = txAborts_.load();
  const CommTimeouts t = Timeouts();
  const Deadline total = (t.writeMultiplier != 0 || t.writeConstant != 0)
                             ? TotalDeadline(start, t.writeMultiplier, n, t.writeConstant)
                             : kNoDeadline;
  std::size_t sent = 0;
  bool broken = false;
  for (;;) {
    const std::ptrdiff_t put = channel_.PutOutgoing(data.subspan(sent));
    if (put < 0) {
      return {IoStatus::Failed, sent};
    }
    sent += static_cast<std::size_t>(put);
    if (sent == n) {
      return {IoStatus::Completed, sent};
    }
    if (broken) {
      return {IoStatus::Failed, sent};
    }
    if (txAborts_.load() != abortsAtStart) {
      return {IoStatus::Aborted, sent};
    }
    if (Clock::now() >= total) {
      return {IoStatus::Completed, sent};
    }
    broken = !channel_.WaitSendable(total);
  }
}

CommTimeouts TimedIo::Timeouts() const {
  const std::lock_guard lock(mutex_);
  return timeouts_;
}

void TimedIo::SetTimeouts(const CommTimeouts& timeouts) {
  const std::lock_guard lock(mutex_);
  timeouts_ = timeouts;
}

bool TimedIo::Purge(std::uint32_t actions) {
  if ((actions & ~kAllPurgeActions) != 0) {
    return false;
  }
  bool ok = true;
  if ((actions & kPurgeRxClear) != 0) {
    const std::lock_guard lock(mutex_);
    pushedBack_.clear();
    rxClears_.fetch_add(1);
    ok = channel_.DiscardReceived() && ok;
  }
  if ((actions & kPurgeTxClear) != 0) {
    ok = channel_.DiscardUnsent() && ok;
  }
  // Aborts after the clears: an aborted read that pushes its bytes back then
  // sees the clear and drops them.
  if ((actions & kPurgeRxAbort) != 0) {
    rxAborts_.fetch_add(1);
    channel_.WakeReader();
  }
  if ((actions & kPurgeTxAbort) != 0) {
    txAborts_.fetch_add(1);
    channel_.WakeWriter();
  }
  return ok;
}

void TimedIo::PushBack(std::span<const std::uint8_t> bytes, std::uint64_t clearsSeen) {
  const std::lock_guard lock(mutex_);
  if (bytes.empty() || rxClears_.load() != clearsSeen) {
    return;
  }
  pushedBack_.insert(pushedBack_.begin(), bytes.begin(), bytes.end());
}

}  // namespace norix::platform::comm
