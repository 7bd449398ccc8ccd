#include "upgrade/transfer_clock.h"

#include <thread>

#include "link/port_io.h"

namespace norix::upgrade {

void UsualWaitsByClock(platform::comm::Port* port, const TransferClock& clock) {
  const platform::comm::CommTimeouts usual = link::CurrentTimeouts(port);
  link::SetReadTotals(port, usual.readMultiplier,
                      AnswerTimeout(clock, std::chrono::milliseconds(usual.readConstant)));
}

bool SleepingClock::Pause(std::chrono::milliseconds duration) {
  if (stop_ != nullptr) {
    return stop_->Sleep(duration);
  }
  std::this_thread::sleep_for(duration);
  return true;
}

std::int64_t SleepingClock::NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int64_t SleepingClock::NowMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool SleepingClock::StopRequested() const { return stop_ != nullptr && stop_->Requested(); }

}  // namespace norix::upgrade
