// The message queue of one thread: posted messages, messages sent from other
// threads (which the owning thread runs before any posted message, and
// whenever it waits in this layer), and the timers of its windows. The
// Win32-style calls on top of it are in message_loop.h; this header is the
// machinery the dialog manager builds on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/messages.h"

namespace norix::platform::window {

class ThreadQueue;

using Clock = std::chrono::steady_clock;

// The answer to a request that a thread waits for in its queue: the reply of
// a sent message, the button of a message box, the path of a file dialog.
// Any thread completes it; the first completion wins.
class Completion {
 public:
  explicit Completion(std::shared_ptr<ThreadQueue> waiter);

  // Returns false when it was already complete.
  bool Complete(LRESULT value, std::optional<std::string> text = std::nullopt);

  [[nodiscard]] bool Done() const;
  [[nodiscard]] LRESULT Value() const;
  [[nodiscard]] std::optional<std::string> Text() const;

 private:
  friend class ThreadQueue;
  std::shared_ptr<ThreadQueue> waiter_;
  // Guarded by the waiter's queue mutex, so that its wait sees them.
  bool done_ = false;
  LRESULT value_ = 0;
  std::optional<std::string> text_;
};

// Which messages a wait takes. A modal loop takes only window messages and
// leaves thread messages queued for the thread's own loop.
enum class MessageFilter { kAll, kWindowsOnly };

enum class TakeResult { kMessage, kQuit, kTimeout };

class ThreadQueue {
 public:
  explicit ThreadQueue(ThreadId id);
  ThreadQueue(const ThreadQueue&) = delete;
  ThreadQueue& operator=(const ThreadQueue&) = delete;
  ThreadQueue(ThreadQueue&&) = delete;
  ThreadQueue& operator=(ThreadQueue&&) = delete;
  ~ThreadQueue() = default;

  [[nodiscard]] ThreadId Id() const { return id_; }

  // Any thread. False when the thread has ended.
  bool Post(const Message& message);

  // Owning thread only: puts messages it took (and kept for later) back in
  // front of everything still queued, in their order, so that a wait which
  // holds the thread's input back does not reorder it.
  void PutBack(const std::vector<Message>& messages);

  // Any thread: queues `handler` to run on the owning thread; `reply` gets
  // its result, or 0 when the thread ends (or the target window closes)
  // before running it. False (and `reply` completed with 0) when the thread
  // has ended.
  bool Send(HWND target, std::function<LRESULT()> handler, std::shared_ptr<Completion> reply);

  // Owning thread only. Runs sent messages as they come and returns the next
  // message that passes the filter, in this order: posted messages, then
  // WM_QUIT (filter kAll only), then the timer that is due first. Waits until
  // `deadline` (none: no limit) and returns kTimeout when it passes. With
  // `remove` false the message stays queued (a due timer stays due).
  TakeResult Take(Message& out, MessageFilter filter, bool remove,
                  std::optional<Clock::time_point> deadline);

  // Owning thread only, for a completion made with this queue as its
  // waiter. Runs sent messages until `completion` is complete or `deadline`
  // passes; true when it is complete.
  bool WaitFor(const Completion& completion,
               std::optional<Clock::time_point> deadline = std::nullopt);

  // Any thread. Starts or restarts the timer (hwnd, id); a due timer gives
  // one WM_TIMER however late it is taken. Intervals below 10 ms count as
  // 10 ms. False when the thread has ended.
  bool SetTimer(HWND hwnd, WPARAM id, std::chrono::milliseconds interval);
  bool KillTimer(HWND hwnd, WPARAM id);

  // Any thread: drops the posted messages and timers of a closed window and
  // answers its pending sent messages with 0.
  void ForgetWindow(HWND hwnd);

  // Any thread: WM_QUIT with the code once no posted message is left.
  void PostQuit(int exitCode);

  // Called when the owning thread ends: answers every pending sent message
  // with 0 and refuses further posts.
  void Close();

  [[nodiscard]] bool Closed() const;

  // QS_POSTMESSAGE, QS_TIMER and QS_SENDMESSAGE for what waits now.
  [[nodiscard]] UINT Status() const;

 private:
  friend class Completion;

  struct SentItem {
    HWND target{};
    std::function<LRESULT()> handler;
    std::shared_ptr<Completion> reply;
  };
  struct Timer {
    HWND hwnd{};
    WPARAM id = 0;
    std::chrono::milliseconds interval{};
    Clock::time_point due;
  };

  // Runs the oldest sent message with the lock released; false when none.
  bool RunOneSent(std::unique_lock<std::mutex>& lock);

  const ThreadId id_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Message> posted_;
  std::deque<SentItem> sent_;
  std::vector<Timer> timers_;
  bool quitPosted_ = false;
  int quitCode_ = 0;
  bool closed_ = false;
};

// The calling thread's queue, made (and given a thread id) on first use and
// closed when the thread ends.
std::shared_ptr<ThreadQueue> CurrentThreadQueue();

// The queue of a thread that has one and has not ended, or null.
std::shared_ptr<ThreadQueue> FindThreadQueue(ThreadId id);

}  // namespace norix::platform::window
