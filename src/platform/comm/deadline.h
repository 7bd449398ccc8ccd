// Deadlines of the blocking port calls, on the monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace norix::platform::comm {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;

// A wait that only a wake-up or the data it waits for can end.
inline constexpr Deadline kNoDeadline = Deadline::max();

// Time-outs beyond this many milliseconds (about 31 years) count as none, so
// that a product of the system's 32-bit values cannot overflow the clock.
inline constexpr std::uint64_t kLongestDeadlineMs = 1'000'000'000'000ULL;

// The deadline `ms` milliseconds after `from`; kNoDeadline when too far off.
inline Deadline DeadlineAfter(Deadline from, std::uint64_t ms) {
  if (ms > kLongestDeadlineMs) {
    return kNoDeadline;
  }
  return from + std::chrono::milliseconds(static_cast<std::int64_t>(ms));
}

}  // namespace norix::platform::comm
