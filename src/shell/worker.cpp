#include "shell/worker.h"

#include <utility>

#include "platform/window/window_api.h"

namespace norix::shell {

void StopSignal::Request() {
  {
    const std::lock_guard lock(mutex_);
    requested_.store(true);
  }
  wake_.notify_all();
}

bool StopSignal::Sleep(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, duration, [this] { return requested_.load(); });
}

Worker::~Worker() { Stop(); }

bool Worker::Start(platform::window::HWND page, Work work, EndMessage ifThrown) {
  if (thread_.joinable()) {
    return false;
  }
  stop_.Reset();
  thread_ = std::thread([this, page, work = std::move(work), ifThrown] {
    EndMessage end = ifThrown;
    try {
      end = work(stop_);
    } catch (...) {
      // Reported as `ifThrown`: the page must hear of the end.
      end = ifThrown;
    }
    static_cast<void>(platform::window::PostMessage(page, end.message, end.wParam, end.lParam));
  });
  return true;
}

void Worker::Wait() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

void Worker::Stop() {
  stop_.Request();
  Wait();
}

}  // namespace norix::shell
