// A transfer clock for whole-upgrade tests with simulated products: pauses
// take no time but count as passed, and still end on the page's stop. The
// simulated product sends each answer at once, so an answer is waited for at
// most 1 s and its end found after 300 ms of silence; a wait that runs out
// counts as the whole wait.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "shell/worker.h"
#include "upgrade/transfer_clock.h"

namespace norix::testing {

class QuickTransferClock final : public upgrade::TransferClock {
 public:
  explicit QuickTransferClock(shell::StopSignal* stop) : stop_(stop) {}
  bool Pause(std::chrono::milliseconds duration) override {
    paused_ += duration.count();
    return !StopRequested();
  }
  [[nodiscard]] std::chrono::milliseconds AnswerWait(
      std::chrono::milliseconds wait) const override {
    return std::min(wait, std::chrono::milliseconds(1000));
  }
  [[nodiscard]] std::chrono::milliseconds AnswerGap(
      std::chrono::milliseconds interval) const override {
    return std::min(interval, std::chrono::milliseconds(300));
  }
  void AnswerWaitRanOut(std::chrono::milliseconds wait) override {
    paused_ += (wait - AnswerWait(wait)).count();
  }
  std::int64_t NowSeconds() override { return NowMilliseconds() / 1000; }
  std::int64_t NowMilliseconds() override {
    return paused_ + std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
  }
  [[nodiscard]] bool StopRequested() const override {
    return stop_ != nullptr && stop_->Requested();
  }

 private:
  shell::StopSignal* stop_;
  std::int64_t paused_ = 0;  // only the worker that owns the clock uses it
};

}  // namespace norix::testing
