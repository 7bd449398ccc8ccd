#include "platform/window/thread_queue.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace norix::platform::window {

namespace {

constexpr std::chrono::milliseconds kMinimumTimerInterval{10};

// The queues of the threads that have one. Like the operating system's own
// thread table it is process-wide; it is never destroyed, so threads that end
// during process exit still find it.
class QueueTable {
 public:
  std::shared_ptr<ThreadQueue> Make() {
    const std::lock_guard lock(mutex_);
    ++lastId_;
    if (lastId_ == 0) {  // 0 means no thread
      ++lastId_;
    }
    auto queue = std::make_shared<ThreadQueue>(lastId_);
    queues_[lastId_] = queue;
    return queue;
  }

  void Remove(ThreadId id) {
    const std::lock_guard lock(mutex_);
    queues_.erase(id);
  }

  std::shared_ptr<ThreadQueue> Find(ThreadId id) {
    const std::lock_guard lock(mutex_);
    const auto found = queues_.find(id);
    return found == queues_.end() ? nullptr : found->second;
  }

 private:
  std::mutex mutex_;
  ThreadId lastId_ = 0;
  std::unordered_map<ThreadId, std::shared_ptr<ThreadQueue>> queues_;
};

QueueTable& Queues() {
  static auto* const table = new QueueTable;  // deliberately never destroyed
  return *table;
}

// Owns the calling thread's queue and closes it when the thread ends.
struct QueueOwner {
  QueueOwner() = default;
  QueueOwner(const QueueOwner&) = delete;
  QueueOwner& operator=(const QueueOwner&) = delete;
  QueueOwner(QueueOwner&&) = delete;
  QueueOwner& operator=(QueueOwner&&) = delete;
  ~QueueOwner() {
    if (queue) {
      Queues().Remove(queue->Id());
      queue->Close();
    }
  }
  std::shared_ptr<ThreadQueue> queue;
};

thread_local QueueOwner currentQueue;

}  // namespace

Completion::Completion(std::shared_ptr<ThreadQueue> waiter) : waiter_(std::move(waiter)) {}

bool Completion::Complete(LRESULT value, std::optional<std::string> text) {
  const std::lock_guard lock(waiter_->mutex_);
  if (done_) {
    return false;
  }
  done_ = true;
  value_ = value;
  text_ = std::move(text);
  waiter_->wake_.notify_all();
  return true;
}

bool Completion::Done() const {
  const std::lock_guard lock(waiter_->mutex_);
  return done_;
}

LRESULT Completion::Value() const {
  const std::lock_guard lock(waiter_->mutex_);
  return value_;
}

std::optional<std::string> Completion::Text() const {
  const std::lock_guard lock(waiter_->mutex_);
  return text_;
}

ThreadQueue::ThreadQueue(ThreadId id) : id_(id) {}

bool ThreadQueue::Post(const Message& message) {
  const std::lock_guard lock(mutex_);
  if (closed_) {
    return false;
  }
  posted_.push_back(message);
  wake_.notify_all();
  return true;
}

void ThreadQueue::PutBack(const std::vector<Message>& messages) {
  const std::lock_guard lock(mutex_);
  if (closed_ || messages.empty()) {
    return;
  }
  posted_.insert(posted_.begin(), messages.begin(), messages.end());
  wake_.notify_all();
}

bool ThreadQueue::Send(HWND target, std::function<LRESULT()> handler,
                       std::shared_ptr<Completion> reply) {
  {
    const std::lock_guard lock(mutex_);
    if (!closed_) {
      sent_.push_back({target, std::move(handler), std::move(reply)});
      wake_.notify_all();
      return true;
    }
  }
  reply->Complete(0);
  return false;
}

bool ThreadQueue::RunOneSent(std::unique_lock<std::mutex>& lock) {
  if (sent_.empty()) {
    return false;
  }
  {
    SentItem item = std::move(sent_.front());
    sent_.pop_front();
    lock.unlock();
    // The reply is completed even when the handler throws, so that the sender
    // never waits for an answer that cannot come; and it is completed before
    // this queue is locked again, since completing locks the sender's queue.
    struct Answer {
      explicit Answer(Completion& c) : reply(c) {}
      Completion& reply;
      LRESULT result = 0;
      Answer(const Answer&) = delete;
      Answer& operator=(const Answer&) = delete;
      Answer(Answer&&) = delete;
      Answer& operator=(Answer&&) = delete;
      ~Answer() { reply.Complete(result); }
    } answer{*item.reply};
    answer.result = item.handler();
  }
  lock.lock();
  return true;
}

TakeResult ThreadQueue::Take(Message& out, MessageFilter filter, bool remove,
                             std::optional<Clock::time_point> deadline) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (RunOneSent(lock)) {
      continue;
    }
    const auto posted = std::find_if(posted_.begin(), posted_.end(), [filter](const Message& m) {
      return filter == MessageFilter::kAll || m.hwnd != kNullHwnd;
    });
    if (posted != posted_.end()) {
      out = *posted;
      if (remove) {
        posted_.erase(posted);
      }
      return TakeResult::kMessage;
    }
    if (quitPosted_ && filter == MessageFilter::kAll) {
      out = Message{kNullHwnd, WM_QUIT, static_cast<WPARAM>(quitCode_), 0};
      if (remove) {
        quitPosted_ = false;
      }
      return TakeResult::kQuit;
    }
    const auto now = Clock::now();
    const auto firstDue =
        std::min_element(timers_.begin(), timers_.end(),
                         [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (firstDue != timers_.end() && firstDue->due <= now) {
      out = Message{firstDue->hwnd, WM_TIMER, firstDue->id, 0};
      if (remove) {
        firstDue->due = now + firstDue->interval;
      }
      return TakeResult::kMessage;
    }
    std::optional<Clock::time_point> wakeAt = deadline;
    if (firstDue != timers_.end() && (!wakeAt || firstDue->due < *wakeAt)) {
      wakeAt = firstDue->due;
    }
    if (deadline && now >= *deadline) {
      return TakeResult::kTimeout;
    }
    if (wakeAt) {
      wake_.wait_until(lock, *wakeAt);
    } else {
      wake_.wait(lock);
    }
  }
}

bool ThreadQueue::WaitFor(const Completion& completion, std::optional<Clock::time_point> deadline) {
  if (completion.waiter_.get() != this) {
    // Only the queue named as the waiter is woken by the completion.
    return completion.Done();
  }
  std::unique_lock lock(mutex_);
  for (;;) {
    if (completion.done_) {
      return true;
    }
    if (RunOneSent(lock)) {
      continue;
    }
    if (deadline) {
      if (Clock::now() >= *deadline) {
        return false;
      }
      wake_.wait_until(lock, *deadline);
    } else {
      wake_.wait(lock);
    }
  }
}

bool ThreadQueue::SetTimer(HWND hwnd, WPARAM id, std::chrono::milliseconds interval) {
  interval = std::max(interval, kMinimumTimerInterval);
  const std::lock_guard lock(mutex_);
  if (closed_) {
    return false;
  }
  const auto due = Clock::now() + interval;
  const auto existing = std::find_if(timers_.begin(), timers_.end(),
                                     [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (existing != timers_.end()) {
    existing->interval = interval;
    existing->due = due;
  } else {
    timers_.push_back({hwnd, id, interval, due});
  }
  wake_.notify_all();
  return true;
}

bool ThreadQueue::KillTimer(HWND hwnd, WPARAM id) {
  const std::lock_guard lock(mutex_);
  const auto before = timers_.size();
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  return timers_.size() != before;
}

void ThreadQueue::ForgetWindow(HWND hwnd) {
  std::vector<std::shared_ptr<Completion>> unanswered;
  {
    const std::lock_guard lock(mutex_);
    std::erase_if(posted_, [hwnd](const Message& m) { return m.hwnd == hwnd; });
    std::erase_if(timers_, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    for (auto it = sent_.begin(); it != sent_.end();) {
      if (it->target == hwnd) {
        unanswered.push_back(std::move(it->reply));
        it = sent_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const auto& reply : unanswered) {
    reply->Complete(0);
  }
}

void ThreadQueue::PostQuit(int exitCode) {
  const std::lock_guard lock(mutex_);
  quitPosted_ = true;
  quitCode_ = exitCode;
  wake_.notify_all();
}

void ThreadQueue::Close() {
  std::deque<SentItem> unanswered;
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    unanswered.swap(sent_);
    posted_.clear();
    timers_.clear();
  }
  for (const SentItem& item : unanswered) {
    item.reply->Complete(0);
  }
}

bool ThreadQueue::Closed() const {
  const std::lock_guard lock(mutex_);
  return closed_;
}

UINT ThreadQueue::Status() const {
  const std::lock_guard lock(mutex_);
  UINT status = 0;
  if (!posted_.empty()) {
    status |= QS_POSTMESSAGE;
  }
  if (!sent_.empty()) {
    status |= QS_SENDMESSAGE;
  }
  const auto now = Clock::now();
  if (std::any_of(timers_.begin(), timers_.end(), [now](const Timer& t) { return t.due <= now; })) {
    status |= QS_TIMER;
  }
  return status;
}

std::shared_ptr<ThreadQueue> CurrentThreadQueue() {
  if (!currentQueue.queue) {
    currentQueue.queue = Queues().Make();
  }
  return currentQueue.queue;
}

std::shared_ptr<ThreadQueue> FindThreadQueue(ThreadId id) { return Queues().Find(id); }

}  // namespace norix::platform::window
