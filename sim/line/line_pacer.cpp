#include "sim/line/line_pacer.h"

namespace norix::sim::line {

std::chrono::nanoseconds LinePacer::Duration(std::uint64_t bytes, std::uint32_t bitRate) {
  if (bitRate == 0) {
    return std::chrono::nanoseconds(0);
  }
  // bytes * 10 bits * 1e9 ns / bitRate, split so that it cannot overflow.
  constexpr std::uint64_t kNsPerByteAtOneBitPerSecond = 10'000'000'000ULL;
  const std::uint64_t whole = bytes / bitRate;
  const std::uint64_t part = bytes % bitRate;
  const std::uint64_t ns =
      whole * kNsPerByteAtOneBitPerSecond + part * kNsPerByteAtOneBitPerSecond / bitRate;
  return std::chrono::nanoseconds(static_cast<std::int64_t>(ns));
}

LinePacer::Clock::time_point LinePacer::Schedule(Clock::time_point now) {
  if (bitRate_ == 0) {
    return now;
  }
  if (now >= busyUntil_) {
    origin_ = now;
    sinceOrigin_ = 0;
  }
  ++sinceOrigin_;
  busyUntil_ = origin_ + Duration(sinceOrigin_, bitRate_);
  return busyUntil_;
}

}  // namespace norix::sim::line
