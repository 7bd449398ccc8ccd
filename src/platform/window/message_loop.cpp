#include "platform/window/message_loop.h"

#include "platform/window/thread_queue.h"
#include "platform/window/window.h"
#include "platform/window/window_handles.h"

namespace norix::platform::window {

ThreadId GetCurrentThreadId() { return CurrentThreadQueue()->Id(); }

bool PostThreadMessage(ThreadId thread, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto queue = FindThreadQueue(thread);
  return queue && queue->Post({kNullHwnd, message, wParam, lParam});
}

bool GetMessage(Message& msg) {
  return CurrentThreadQueue()->Take(msg, MessageFilter::kAll, true, std::nullopt) ==
         TakeResult::kMessage;
}

bool PeekMessage(Message& msg, UINT removeFlag) {
  const TakeResult result = CurrentThreadQueue()->Take(msg, MessageFilter::kAll,
                                                       (removeFlag & PM_REMOVE) != 0, Clock::now());
  return result != TakeResult::kTimeout;
}

bool MsgWaitForMessage(std::chrono::steady_clock::time_point deadline) {
  Message ignored;
  return CurrentThreadQueue()->Take(ignored, MessageFilter::kAll, false, deadline) !=
         TakeResult::kTimeout;
}

UINT GetQueueStatus(UINT flags) { return CurrentThreadQueue()->Status() & flags; }

void PostQuitMessage(int exitCode) { CurrentThreadQueue()->PostQuit(exitCode); }

LRESULT DispatchMessage(const Message& msg) {
  const auto window = LookupDialog(msg.hwnd);
  if (!window || window->Queue().Id() != GetCurrentThreadId()) {
    return 0;
  }
  return CallWindowProcedure(window, msg.message, msg.wParam, msg.lParam);
}

}  // namespace norix::platform::window
