// When bytes handed to a serial line arrive at its far end: each byte takes
// ten bit times (start bit, 8 data bits, stop bit) and bytes follow each
// other back to back while the line is busy.
#pragma once

#include <chrono>
#include <cstdint>

namespace norix::sim::line {

class LinePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // bitRate 0: no pacing, every byte arrives when it is handed over.
  explicit LinePacer(std::uint32_t bitRate) : bitRate_(bitRate) {}

  // The arrival time of one byte handed over at `now`: one byte time after
  // `now` when the line is idle, else one byte time after the byte before.
  // Times are counted from the start of each busy stretch, so that they do
  // not drift however long the line stays busy.
  [[nodiscard]] Clock::time_point Schedule(Clock::time_point now);

  [[nodiscard]] std::uint32_t BitRate() const { return bitRate_; }

  // The time `bytes` bytes take on a line of `bitRate` bit/s, rounded down to
  // whole nanoseconds.
  [[nodiscard]] static std::chrono::nanoseconds Duration(std::uint64_t bytes,
                                                         std::uint32_t bitRate);

 private:
  std::uint32_t bitRate_;
  Clock::time_point origin_{};
  Clock::time_point busyUntil_{};
  std::uint64_t sinceOrigin_ = 0;
};

}  // namespace norix::sim::line
