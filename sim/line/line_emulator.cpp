#include "sim/line/line_emulator.h"

#include <algorithm>
#include <array>
#include <deque>
#include <span>
#include <utility>
#include <vector>

#include <sys/prctl.h>

#include "sim/line/line_pacer.h"

namespace norix::sim::line {
namespace {

using Clock = std::chrono::steady_clock;

// How long an idle relay waits for its source before it looks at the quit
// flag again; Stop() also ends the wait at once by shutting the ends down.
constexpr std::chrono::milliseconds kIdleWait{500};

struct InFlight {
  std::uint8_t byte;
  Clock::time_point arrives;
};

}  // namespace

LineEmulator::LineEmulator(std::unique_ptr<platform::comm::DeviceEnd> a,
                           std::unique_ptr<platform::comm::DeviceEnd> b, LineOptions options)
    : a_(std::move(a)), b_(std::move(b)), options_(options) {
  aToB_.from = a_.get();
  aToB_.to = b_.get();
  bToA_.from = b_.get();
  bToA_.to = a_.get();
}

LineEmulator::~LineEmulator() { Stop(); }

void LineEmulator::Start() {
  const std::lock_guard lock(mutex_);
  if (started_ || quit_.load()) {
    return;
  }
  started_ = true;
  aToB_.thread = std::thread([this] { Relay(aToB_); });
  bToA_.thread = std::thread([this] { Relay(bToA_); });
}

void LineEmulator::Stop() {
  {
    const std::lock_guard lock(mutex_);
    quit_.store(true);
    stopping_.notify_all();
  }
  a_->Shutdown();
  b_->Shutdown();
  for (Direction* direction : {&aToB_, &bToA_}) {
    if (direction->thread.joinable()) {
      direction->thread.join();
    }
  }
}

bool LineEmulator::SleepUntil(Clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  return !stopping_.wait_until(lock, deadline, [this] { return quit_.load(); });
}

void LineEmulator::Relay(Direction& direction) {
  // A byte is handed on when its last bit has arrived, a byte time (87 us
  // at 115200 bit/s) after the one before: the default slack of the relay's
  // timed waits (50 us) would make every answer that much late.
  static_cast<void>(prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL));
  LinePacer pacer(options_.bitRate);
  const std::size_t capacity = std::max<std::size_t>(options_.bufferBytes, 1);
  std::deque<InFlight> inFlight;
  std::array<std::uint8_t, 4096> received{};
  std::vector<std::uint8_t> arrived;

  bool sourceOpen = true;
  while (!quit_.load() && (sourceOpen || !inFlight.empty())) {
    // Take what the source has sent, as long as the buffer has room; a full
    // buffer leaves the rest in the source, whose writer then waits.
    const std::size_t room = std::min(capacity - inFlight.size(), received.size());
    if (sourceOpen && room > 0) {
      const auto wait = inFlight.empty() ? kIdleWait : std::chrono::milliseconds(0);
      const std::ptrdiff_t n = direction.from->Receive(std::span(received.data(), room), wait);
      // A source that has closed (a program that wrote its last byte and
      // ended) still gets its last bytes across.
      sourceOpen = n >= 0;
      const Clock::time_point now = Clock::now();
      for (std::ptrdiff_t i = 0; i < n; ++i) {
        inFlight.push_back({received[static_cast<std::size_t>(i)], pacer.Schedule(now)});
      }
    }

    // Hand on every byte whose last bit has arrived.
    const Clock::time_point now = Clock::now();
    arrived.clear();
    while (!inFlight.empty() && inFlight.front().arrives <= now) {
      arrived.push_back(inFlight.front().byte);
      inFlight.pop_front();
    }
    if (!arrived.empty()) {
      if (!direction.to->Send(arrived)) {
        break;
      }
      direction.delivered.fetch_add(arrived.size());
    }

    if (!inFlight.empty() && !SleepUntil(inFlight.front().arrives)) {
      break;
    }
  }
}

}  // namespace norix::sim::line
