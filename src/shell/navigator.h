// The page navigator: runs each page of the wizard as a modal dialog on a
// thread of its own and hands over from one page to the next so that the
// old page stays on screen until the new one is up.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/window/geometry.h"
#include "platform/window/messages.h"

namespace norix::platform::window {
class Completion;
}
namespace norix::link {
struct ModemContext;
}

namespace norix::shell {

struct Frame;

// What the main thread and the page threads share about the page change in
// progress. Every field is guarded by the mutex or atomic.
class NavigatorState {
 public:
  [[nodiscard]] platform::window::ThreadId MainThread() const { return mainThread_.load(); }
  [[nodiscard]] int CurrentIndex() const { return currentIndex_.load(); }
  [[nodiscard]] platform::window::HWND CurrentWindow() const;
  [[nodiscard]] platform::window::HWND PendingPage() const;
  [[nodiscard]] platform::window::Rect SavedRect() const;
  [[nodiscard]] bool Quitting() const;

  // Blocks the calling thread until no page change is pending (the main
  // thread has closed the page that asked to leave) or `timeout` passes;
  // false on time-out. For observers such as tests; pages use GoToPage.
  bool WaitUntilNoPendingPage(std::chrono::milliseconds timeout) const;

  // For InitPage: records the page as the current page window and returns
  // where to put its top-left corner: centred on `screen` for the first page
  // of the run, else at the saved rectangle's corner.
  platform::window::Point PlacePage(platform::window::HWND page, platform::window::Size size,
                                    const platform::window::Rect& screen);

 private:
  friend void GoToPage(platform::window::HWND page, int next);
  friend void RunNavigator(Frame& program,
                           const std::function<void(link::ModemContext&)>& closeDevicePort);
  friend class NavigatorLoop;

  mutable std::mutex mutex_;
  mutable std::condition_variable pendingCleared_;
  platform::window::HWND pending_{};
  platform::window::HWND currentWindow_{};
  platform::window::Rect savedRect_;
  bool firstPage_ = true;
  bool quitting_ = false;
  // Page threads waiting in GoToPage for the pending page to clear; they run
  // messages sent to them meanwhile, so the main thread can close them.
  std::vector<std::shared_ptr<platform::window::Completion>> waiters_;
  std::atomic<platform::window::ThreadId> mainThread_{0};
  std::atomic<int> currentIndex_{0};
};

// Runs the wizard on the calling thread (the main thread), whose message
// loop also runs the telephony callbacks, until a page asks to quit. The
// first page is the product list (index 0) with two or more devices in the
// frame's context, else the main menu (1). On quit it closes the pages
// still open, waits until their threads have ended (a page in the middle of
// its port work finishes it), then calls `closeDevicePort` with the context
// (when there is one). A display change restarts the current page once the
// closed one's thread has ended. A page that cannot be
// shown (no template, no procedure, an index outside the table) ends the run
// in the same orderly way rather than leaving the old page waiting.
void RunNavigator(Frame& program, const std::function<void(link::ModemContext&)>& closeDevicePort);

// Called by a page procedure to leave the page for page `next` (-1 quits).
// Stores the page's rectangle for the next page. While another page change
// is still in progress, waits (running messages sent to this thread) until
// the main thread completes it. The page stays open; the main thread closes
// it once the next page is up. A page that already asked to leave cannot
// ask again, and a page closed while it waited asks nothing.
void GoToPage(platform::window::HWND page, int next);

}  // namespace norix::shell
