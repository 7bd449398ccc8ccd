// The line test: makes the product dial with its loudspeaker turned up, ends
// the call after five seconds with one byte and reads the product's final
// answer. It runs on a worker thread of its own, which owns the product's
// port from start to end and reports the outcome with one message posted to
// the page.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/comm/port.h"
#include "platform/window/messages.h"
#include "shell/worker.h"
#include "utilities/line_test_clock.h"
#include "utilities/line_test_plan.h"

namespace norix::utilities {

// Runs the test on `port` and returns kLineWorking, kLineNoDialTone or
// kLineUndetermined. Blocks for about 7 s on a product that answers, up to
// about 50 s on one that never ends its call. A stop request cuts the waits
// and the reading short (the outcome is then undetermined), but the volume,
// the hang-up and "AT&F" are still sent once the product has dialled. The
// pauses go through `clock`.
[[nodiscard]] std::uint16_t RunLineTest(platform::comm::Port* port, const LineTestProduct& product,
                                        shell::StopSignal& stop, LineTestClock& clock);

// The worker of one product information page: the page kit's worker with
// the line test as its work.
class LineTestWorker {
 public:
  LineTestWorker() = default;
  LineTestWorker(const LineTestWorker&) = delete;
  LineTestWorker& operator=(const LineTestWorker&) = delete;
  LineTestWorker(LineTestWorker&&) = delete;
  LineTestWorker& operator=(LineTestWorker&&) = delete;
  ~LineTestWorker();  // Stop()

  // Starts the test on a thread of its own unless one was started and not
  // yet joined (false). When it ends, `message` is posted to `page` with
  // the outcome in the low 16 bits of wParam. The test pauses through
  // `clock`; null: the real clock.
  bool Start(platform::comm::Port* port, const LineTestProduct& product,
             platform::window::HWND page, platform::window::UINT message,
             std::shared_ptr<LineTestClock> clock = nullptr);

  // Waits for a thread that has posted its outcome; returns at once when
  // none was started. Blocks only for the thread's last instructions.
  void Join();

  // Asks a running test to stop, wakes it and joins it: returns within about
  // one read time-out (1 s) plus the clean-up commands.
  void Stop();

 private:
  shell::Worker worker_;
};

}  // namespace norix::utilities
