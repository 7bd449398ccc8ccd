// The pauses of the line test: the user listening to the line after the dial
// command, the rests around the product's final answer, and the page's rest
// after the outcome before "Test line" can be used again. The real clock
// sleeps each pause in full through the worker's stop signal and sets the
// page's timer to the full rest. Tests hand in a clock that waits less, with
// products whose own call times are sped up alike, so that the order of what
// the product and the program do stays.
#pragma once

#include <chrono>

#include "shell/worker.h"

namespace norix::utilities {

class LineTestClock {
 public:
  LineTestClock() = default;
  LineTestClock(const LineTestClock&) = delete;
  LineTestClock& operator=(const LineTestClock&) = delete;
  LineTestClock(LineTestClock&&) = delete;
  LineTestClock& operator=(LineTestClock&&) = delete;
  virtual ~LineTestClock() = default;

  // Sleeps for `pause`; false at once when a stop is (or gets) requested.
  virtual bool Pause(shell::StopSignal& stop, std::chrono::milliseconds pause) {
    return stop.Sleep(pause);
  }
  // The time to set a page timer to for a rest of `rest`.
  [[nodiscard]] virtual std::chrono::milliseconds TimerTime(std::chrono::milliseconds rest) {
    return rest;
  }
};

}  // namespace norix::utilities
