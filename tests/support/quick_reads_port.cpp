#include "support/quick_reads_port.h"

#include <utility>

namespace norix::testing {

namespace comm = platform::comm;

QuickReadsPort::QuickReadsPort(std::unique_ptr<comm::Port> inner, std::chrono::milliseconds limit,
                               std::chrono::milliseconds gap,
                               std::shared_ptr<std::atomic<std::int64_t>> silence)
    : inner_(std::move(inner)),
      limit_(static_cast<std::uint64_t>(limit.count())),
      gap_(static_cast<std::uint32_t>(gap.count())),
      silence_(std::move(silence)) {
  (void)inner_->GetTimeouts(asked_);
}

comm::IoResult QuickReadsPort::Read(std::span<std::uint8_t> buffer,
                                    std::chrono::milliseconds waitLimit) {
  comm::CommTimeouts asked;
  {
    const std::lock_guard lock(mutex_);
    asked = asked_;
  }
  // The read's whole time-out as the program set it; a read that returns at
  // once or waits without a total is left alone.
  const std::uint64_t total =
      std::uint64_t{asked.readMultiplier} * buffer.size() + asked.readConstant;
  const bool immediate = asked.readInterval == comm::kMaxTimeout && total == 0;
  comm::CommTimeouts quick = asked;
  if (!immediate && total > limit_) {
    quick.readMultiplier = 0;
    quick.readConstant = static_cast<std::uint32_t>(limit_);
  }
  if (!immediate && gap_ > 0 && asked.readInterval > gap_) {
    quick.readInterval = gap_;
  }
  const bool changed = quick != asked;
  if (changed) {
    (void)inner_->SetTimeouts(quick);
  }
  const comm::IoResult result = inner_->Read(buffer, waitLimit);
  if (changed) {
    (void)inner_->SetTimeouts(asked);
  }
  if (result.completed() && result.count == 0 && total > 0) {
    *silence_ += static_cast<std::int64_t>(total);
  }
  return result;
}

bool QuickReadsPort::GetTimeouts(comm::CommTimeouts& timeouts) const {
  const std::lock_guard lock(mutex_);
  timeouts = asked_;
  return true;
}

bool QuickReadsPort::SetTimeouts(const comm::CommTimeouts& timeouts) {
  if (!inner_->SetTimeouts(timeouts)) {
    return false;
  }
  const std::lock_guard lock(mutex_);
  asked_ = timeouts;
  return true;
}

}  // namespace norix::testing
