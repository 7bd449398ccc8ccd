#include "shell/navigator.h"

#include <thread>
#include <utility>

#include "platform/window/desktop.h"
#include "platform/window/dialog_box.h"
#include "platform/window/message_loop.h"
#include "platform/window/thread_queue.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/page_chrome.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

namespace norix::shell {

namespace W = platform::window;

W::HWND NavigatorState::CurrentWindow() const {
  const std::lock_guard lock(mutex_);
  return currentWindow_;
}

W::HWND NavigatorState::PendingPage() const {
  const std::lock_guard lock(mutex_);
  return pending_;
}

W::Rect NavigatorState::SavedRect() const {
  const std::lock_guard lock(mutex_);
  return savedRect_;
}

bool NavigatorState::Quitting() const {
  const std::lock_guard lock(mutex_);
  return quitting_;
}

bool NavigatorState::WaitUntilNoPendingPage(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return pendingCleared_.wait_for(lock, timeout, [this] { return pending_ == W::kNullHwnd; });
}

W::Point NavigatorState::PlacePage(W::HWND page, W::Size size, const W::Rect& screen) {
  const std::lock_guard lock(mutex_);
  currentWindow_ = page;
  if (firstPage_) {
    firstPage_ = false;
    return {screen.left + (screen.Width() - size.width) / 2,
            screen.top + (screen.Height() - size.height) / 2};
  }
  return savedRect_.TopLeft();
}

void GoToPage(W::HWND page, int next) {
  Frame* frame = FindFrame(page);
  if (frame == nullptr) {
    return;
  }
  NavigatorState& nav = frame->navigator;
  const W::Rect rect = W::GetWindowRect(page);
  std::unique_lock lock(nav.mutex_);
  nav.savedRect_ = rect;
  if (nav.pending_ == page) {
    return;  // it is leaving already (a second click on the way out)
  }
  while (nav.pending_ != W::kNullHwnd && !nav.quitting_) {
    const auto done = std::make_shared<W::Completion>(W::CurrentThreadQueue());
    nav.waiters_.push_back(done);
    lock.unlock();
    W::CurrentThreadQueue()->WaitFor(*done);
    lock.lock();
  }
  if (nav.quitting_ || !W::IsWindow(page)) {
    return;  // the run ends, or the page was closed (restarted) while it waited
  }
  nav.pending_ = page;
  W::PostThreadMessage(nav.mainThread_.load(), kPageRequest, 0, next);
}

// The main thread's side of the navigator: the page threads it started and
// the handling of the messages the pages post to it.
class NavigatorLoop {
 public:
  NavigatorLoop(Frame& program, const std::function<void(link::ModemContext&)>& closeDevicePort)
      : program_(program), nav_(program.navigator), closeDevicePort_(closeDevicePort) {}
  NavigatorLoop(const NavigatorLoop&) = delete;
  NavigatorLoop& operator=(const NavigatorLoop&) = delete;
  NavigatorLoop(NavigatorLoop&&) = delete;
  NavigatorLoop& operator=(NavigatorLoop&&) = delete;
  ~NavigatorLoop() { JoinAll(); }

  void Run() {
    nav_.mainThread_.store(W::GetCurrentThreadId());
    if (program_.desktop != nullptr) {
      program_.desktop->SetHoverMessage(kControlHover);
    }
    const bool several = program_.context && program_.context->ProductCount() >= 2;
    const int first = several ? resources::kProductListPage : resources::kMainMenuPage;
    nav_.currentIndex_.store(first);
    StartPage(first);

    W::Message msg;
    while (W::GetMessage(msg)) {
      if (msg.hwnd != W::kNullHwnd) {
        W::DispatchMessage(msg);
      } else if (msg.message == kPageRequest) {
        const int next = static_cast<int>(msg.lParam);
        nav_.currentIndex_.store(next);
        if (next == resources::kQuitPage) {
          break;
        }
        StartPage(next);
      } else if (msg.message == kNewPageUp) {
        NewPageUp(W::HwndFromParam(msg.wParam));
      } else if (msg.message == kDisplayChanged) {
        DisplayChanged();
      } else if (msg.message == kPageEnded) {
        RestartWhenClosed();
      }
      JoinFinished();
    }
    Quit();
  }

 private:
  struct PageThread {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
    std::shared_ptr<std::atomic<W::HWND>> window;
    // Completed as the thread ends; the main thread waits for it while it
    // still runs the line callbacks sent to it.
    std::shared_ptr<W::Completion> ended;
  };

  void StartPage(int index) {
    const PageRow* row = program_.pages.Row(index);
    const W::ThreadId mainThread = nav_.mainThread_.load();
    if (row == nullptr || program_.desktop == nullptr) {
      W::PostThreadMessage(mainThread, kPageRequest, 0, resources::kQuitPage);
      return;
    }
    PageThread page{{},
                    std::make_shared<std::atomic<bool>>(false),
                    std::make_shared<std::atomic<W::HWND>>(W::kNullHwnd),
                    std::make_shared<W::Completion>(W::CurrentThreadQueue())};
    page.thread = std::thread([&program = program_, row, mainThread, done = page.done,
                               window = page.window, ended = page.ended] {
      // The page's record lives as long as its thread: the page object
      // the kit makes is deleted at the latest here.
      OpenPage open;
      open.frame = &program;
      const W::DialogProc procedure = row->procedure;
      const W::DialogProc wrapped = [&program, &open, procedure, window](
                                        W::HWND hwnd, W::UINT message, W::WPARAM wParam,
                                        W::LPARAM lParam) -> W::LRESULT {
        if (message == W::WM_INITDIALOG) {
          AttachOpenPage(hwnd, open);
          window->store(hwnd);
          if (program.navigator.Quitting()) {
            W::EndDialog(hwnd, 0);
            return 0;
          }
        }
        return procedure(hwnd, message, wParam, lParam);
      };
      const W::LRESULT result =
          W::DialogBox(*program.desktop, row->templateId, W::kNullHwnd, wrapped);
      if (result == -1 && window->load() == W::kNullHwnd) {
        // The page could not be made: end the run instead of leaving the
        // old page waiting for a page that never comes.
        W::PostThreadMessage(mainThread, kPageRequest, 0, resources::kQuitPage);
      }
      done->store(true);
      ended->Complete(0);
      W::PostThreadMessage(mainThread, kPageEnded, 0, 0);
    });
    pages_.push_back(std::move(page));
  }

  // Clears the pending page when it is still `closed` (the page the main
  // thread has just closed; kNullHwnd at quit takes whatever is pending) and
  // wakes the pages waiting to ask.
  void ClearPending(W::HWND closed) {
    std::vector<std::shared_ptr<W::Completion>> waiters;
    {
      const std::lock_guard lock(nav_.mutex_);
      if (closed != W::kNullHwnd && nav_.pending_ != closed) {
        return;
      }
      nav_.pending_ = W::kNullHwnd;
      waiters.swap(nav_.waiters_);
    }
    nav_.pendingCleared_.notify_all();
    for (const auto& waiter : waiters) {
      waiter->Complete(0);
    }
  }

  // `reporter` is the page that is up. A page that asked to leave before its
  // own page ready came round reports itself: its successor is not up yet,
  // so it must stay until that one reports. Only the page read here is
  // cleared: a page may ask to leave at any moment, and its request must not
  // be lost to an earlier page ready.
  void NewPageUp(W::HWND reporter) {
    const W::HWND old = nav_.PendingPage();
    if (old == W::kNullHwnd || old == reporter) {
      return;
    }
    W::SendMessage(old, kClosePage, 0, 0);
    ClearPending(old);
    if (std::exchange(displayChangeDeferred_, false)) {
      DisplayChanged();
    }
  }

  void DisplayChanged() {
    W::HWND current{};
    {
      const std::lock_guard lock(nav_.mutex_);
      if (nav_.pending_ != W::kNullHwnd) {
        // A page change is under way: restart once it is complete, so that
        // neither page of the change is lost.
        displayChangeDeferred_ = true;
        return;
      }
      current = nav_.currentWindow_;
      if (W::IsWindow(current)) {
        nav_.savedRect_ = W::GetWindowRect(current);
      }
      nav_.pending_ = current;
    }
    if (current != W::kNullHwnd) {
      W::SendMessage(current, kClosePage, 0, 0);
    }
    restartAfter_ = current;
    restartPending_ = true;
    RestartWhenClosed();
  }

  // The restart of a display change waits until the closed page's thread
  // has ended: a page closed in the middle of its port work finishes it
  // first, so the new page neither finds the devices still held by the old
  // one nor shares the port with it, and the graphics are rebuilt when no
  // page draws with them.
  void RestartWhenClosed() {
    if (!restartPending_) {
      return;
    }
    for (const PageThread& page : pages_) {
      if (restartAfter_ != W::kNullHwnd && page.window->load() == restartAfter_ &&
          !page.done->load()) {
        return;
      }
    }
    restartPending_ = false;
    ReleaseGraphics(program_.chrome);
    BuildGraphics(program_.chrome, program_.texts);
    StartPage(nav_.currentIndex_.load());
  }

  void Quit() {
    {
      const std::lock_guard lock(nav_.mutex_);
      nav_.quitting_ = true;
    }
    const W::HWND old = nav_.PendingPage();
    if (old != W::kNullHwnd) {
      W::SendMessage(old, kClosePage, 0, 0);
    }
    ClearPending(W::kNullHwnd);
    // Any other page still open (one restarted while the run ended) goes too.
    for (const PageThread& page : pages_) {
      const W::HWND window = page.window->load();
      if (!page.done->load() && W::IsWindow(window)) {
        W::SendMessage(window, kClosePage, 0, 0);
      }
    }
    // Every page finishes the port work it is in before the port is closed
    // under it. The wait still runs the line callbacks that work waits for.
    const auto queue = W::CurrentThreadQueue();
    for (const PageThread& page : pages_) {
      queue->WaitFor(*page.ended);
    }
    if (program_.context && closeDevicePort_) {
      closeDevicePort_(*program_.context);
    }
    JoinAll();
  }

  void JoinFinished() {
    for (auto it = pages_.begin(); it != pages_.end();) {
      if (it->done->load()) {
        it->thread.join();
        it = pages_.erase(it);
      } else {
        ++it;
      }
    }
  }

  void JoinAll() {
    for (PageThread& page : pages_) {
      if (page.thread.joinable()) {
        page.thread.join();
      }
    }
    pages_.clear();
  }

  Frame& program_;
  NavigatorState& nav_;
  const std::function<void(link::ModemContext&)>& closeDevicePort_;
  std::vector<PageThread> pages_;
  bool displayChangeDeferred_ = false;
  bool restartPending_ = false;
  W::HWND restartAfter_{};
};

void RunNavigator(Frame& program, const std::function<void(link::ModemContext&)>& closeDevicePort) {
  NavigatorLoop loop(program, closeDevicePort);
  loop.Run();
}

}  // namespace norix::shell
