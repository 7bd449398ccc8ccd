// A thread that runs a message loop the way the program's main thread does,
// for tests of callbacks that must arrive on the thread that set them up.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "platform/window/message_loop.h"

namespace norix::testing {

class MessageLoopThread {
 public:
  MessageLoopThread() : thread_([this] { Loop(); }) { id_ = ready_.get_future().get(); }
  MessageLoopThread(const MessageLoopThread&) = delete;
  MessageLoopThread& operator=(const MessageLoopThread&) = delete;
  MessageLoopThread(MessageLoopThread&&) = delete;
  MessageLoopThread& operator=(MessageLoopThread&&) = delete;
  ~MessageLoopThread() {
    platform::window::PostThreadMessage(id_, kStop, 0, 0);
    thread_.join();
  }

  // Runs `task` on the loop's thread between two messages and waits for it.
  void Run(std::function<void()> task) {
    std::packaged_task<void()> packaged(std::move(task));
    auto done = packaged.get_future();
    {
      const std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(packaged));
    }
    platform::window::PostThreadMessage(id_, kTask, 0, 0);
    done.get();
  }

  [[nodiscard]] std::thread::id Id() const { return thread_.get_id(); }

 private:
  static constexpr platform::window::UINT kTask = platform::window::WM_APP + 100;
  static constexpr platform::window::UINT kStop = platform::window::WM_APP + 101;

  void Loop() {
    ready_.set_value(platform::window::GetCurrentThreadId());
    platform::window::Message message;
    while (platform::window::GetMessage(message) && message.message != kStop) {
      if (message.message == kTask) {
        std::packaged_task<void()> task;
        {
          const std::lock_guard lock(mutex_);
          task = std::move(tasks_.front());
          tasks_.pop_front();
        }
        task();
      }
    }
  }

  std::promise<platform::window::ThreadId> ready_;
  std::mutex mutex_;
  std::deque<std::packaged_task<void()>> tasks_;
  std::thread thread_;
  platform::window::ThreadId id_ = 0;
};

}  // namespace norix::testing
