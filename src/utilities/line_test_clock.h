// The pauses of the line test: the user listening to the line after the dial
// command, and the rests around the product's final answer. The real clock
// sleeps each pause in full through the worker's stop signal. Tests hand in a
// clock that sleeps less, with products whose own call times are sped up
// alike, so that the order of what the product and the program do stays.
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
};

}  // namespace norix::utilities
