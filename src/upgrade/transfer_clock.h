// The clock of an upgrade transfer: the pauses the loader dialogue
// prescribes and the whole seconds of the remaining-time estimate. Pauses
// sleep; a stop request (the page closing) wakes them and ends the transfer
// at its next check. Tests replace the clock so that no pause waits.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/comm/port.h"
#include "shell/worker.h"

namespace norix::upgrade {

class TransferClock {
 public:
  TransferClock() = default;
  TransferClock(const TransferClock&) = delete;
  TransferClock& operator=(const TransferClock&) = delete;
  TransferClock(TransferClock&&) = delete;
  TransferClock& operator=(TransferClock&&) = delete;
  virtual ~TransferClock() = default;

  // Sleeps for `duration`; false when the transfer is to stop (at once, or
  // as soon as the stop comes).
  virtual bool Pause(std::chrono::milliseconds duration) = 0;
  // Whole seconds on a clock that only goes forward.
  [[nodiscard]] virtual std::int64_t NowSeconds() = 0;
  // Milliseconds on the same clock, for the waits measured by the adapter
  // dialogue (a restart's length). A clock whose pauses take no time counts
  // them here as if they had.
  [[nodiscard]] virtual std::int64_t NowMilliseconds() { return NowSeconds() * 1000; }
  // The transfer is to stop.
  [[nodiscard]] virtual bool StopRequested() const = 0;
  // How long to wait for an answer the loader may take `wait` to give (a
  // chunk's acknowledgement, the line after programming). The real clock
  // waits all of it; a test's clock may wait less for a product that
  // answers at once, so that a product gone silent is found out sooner.
  [[nodiscard]] virtual std::chrono::milliseconds AnswerWait(std::chrono::milliseconds wait) const {
    return wait;
  }
  // How long a read of an answer "as it comes" waits for more after its
  // last byte (the read interval `interval`). The real clock waits all of
  // it; a test's clock may wait less for a product that sends each answer
  // at once.
  [[nodiscard]] virtual std::chrono::milliseconds AnswerGap(
      std::chrono::milliseconds interval) const {
    return interval;
  }
  // An answer wait of `wait`, as AnswerWait shortened it, ran out: a clock
  // that shortens waits counts the rest as passed, so that the time the
  // dialogue measures across silence is what the real wait would take.
  virtual void AnswerWaitRanOut(std::chrono::milliseconds /*wait*/) {}
};

// AnswerWait of `wait` as a port time-out in whole milliseconds.
inline std::uint32_t AnswerTimeout(const TransferClock& clock, std::chrono::milliseconds wait) {
  return static_cast<std::uint32_t>(clock.AnswerWait(wait).count());
}

// Sets the port's read constant to what `clock` allows of the one in force:
// answers awaited with the port's usual time-out are waited for as long as
// the clock says (all of it on the real clock). The caller puts the
// time-outs back (link::TimeoutsKeeper).
void UsualWaitsByClock(platform::comm::Port* port, const TransferClock& clock);

// AnswerGap of `interval` as a port's read interval in whole milliseconds.
inline std::uint32_t AnswerGapTimeout(const TransferClock& clock,
                                      std::chrono::milliseconds interval) {
  return static_cast<std::uint32_t>(clock.AnswerGap(interval).count());
}

// The real clock: sleeps through the worker's stop signal (none: plain
// sleeps that nothing stops), seconds of the steady clock.
class SleepingClock final : public TransferClock {
 public:
  explicit SleepingClock(shell::StopSignal* stop = nullptr) : stop_(stop) {}

  bool Pause(std::chrono::milliseconds duration) override;
  [[nodiscard]] std::int64_t NowSeconds() override;
  [[nodiscard]] std::int64_t NowMilliseconds() override;
  [[nodiscard]] bool StopRequested() const override;

 private:
  shell::StopSignal* stop_;
};

}  // namespace norix::upgrade
