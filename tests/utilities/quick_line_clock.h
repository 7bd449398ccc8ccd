// A line test clock for tests: waits a quarter of each pause and page rest
// and counts them in full, which is how long the program waited by its own
// clock. The products of such a test run their calls at the same pace
// (QuickCalls), so a product's "NO DIALTONE" still comes while the program
// listens.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "shell/worker.h"
#include "sim/product_options.h"
#include "utilities/line_test_clock.h"

namespace norix::utilities {

inline constexpr std::uint32_t kQuickLinePercent = 25;

class QuickLineClock final : public LineTestClock {
 public:
  bool Pause(shell::StopSignal& stop, std::chrono::milliseconds pause) override {
    paused_ += pause.count();
    return stop.Sleep(pause * kQuickLinePercent / 100);
  }
  [[nodiscard]] std::chrono::milliseconds TimerTime(std::chrono::milliseconds rest) override {
    rested_ += rest.count();
    return rest * kQuickLinePercent / 100;
  }
  // The pauses and page rests asked for so far, in full.
  [[nodiscard]] std::chrono::milliseconds Paused() const {
    return std::chrono::milliseconds(paused_.load());
  }
  [[nodiscard]] std::chrono::milliseconds Rested() const {
    return std::chrono::milliseconds(rested_.load());
  }

 private:
  std::atomic<std::int64_t> paused_{0};
  std::atomic<std::int64_t> rested_{0};
};

inline sim::ProductOptions QuickCalls(sim::ProductOptions options = {}) {
  options.callTimePercent = kQuickLinePercent;
  return options;
}

}  // namespace norix::utilities
