// The worker of a page: work that runs on a thread of its own (a line test,
// an upgrade) and reports its end to the page with exactly one posted
// message. The page owns the worker; stopping it wakes the work's sleeps and
// waits for the thread, so a page that closes never leaves its work running
// on a port that is about to close. A worker never sends to its page (the
// page may be waiting for it): it only posts.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/window/messages.h"

namespace norix::shell {

// A stop request that wakes sleeping waits at once.
class StopSignal {
 public:
  void Request();
  // Clears a request; only while nobody waits on the signal.
  void Reset() { requested_.store(false); }
  [[nodiscard]] bool Requested() const { return requested_.load(); }
  // Sleeps for `duration`; false at once when a stop is (or gets) requested.
  bool Sleep(std::chrono::milliseconds duration);

 private:
  std::atomic<bool> requested_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
};

// The message a worker posts to its page when its work ends.
struct EndMessage {
  platform::window::UINT message = 0;
  platform::window::WPARAM wParam = 0;
  platform::window::LPARAM lParam = 0;
};

class Worker {
 public:
  // The work: runs on the worker's thread, sleeps through `stop` and
  // returns the end message to post.
  using Work = std::function<EndMessage(StopSignal& stop)>;

  Worker() = default;
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  Worker(Worker&&) = delete;
  Worker& operator=(Worker&&) = delete;
  ~Worker();  // Stop()

  // Starts `work` on a thread of its own unless a run was started and not
  // yet waited for (false). When the work returns, its end message is
  // posted to `page`; when it throws, `ifThrown` is. Either way exactly one.
  bool Start(platform::window::HWND page, Work work, EndMessage ifThrown);

  // Waits for the thread of the last run; returns at once when there is
  // none. Call it once the end message came (the thread then has nothing
  // left to do) or after Stop.
  void Wait();

  // Asks the work to stop, wakes its sleeps and waits for the thread: it
  // returns as soon as the work notices (at its next sleep or check).
  void Stop();

  // A run was started and not yet waited for.
  [[nodiscard]] bool Started() const { return thread_.joinable(); }

 private:
  StopSignal stop_;
  std::thread thread_;
};

}  // namespace norix::shell
