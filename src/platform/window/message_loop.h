// Thread messages and message loops in the window system's terms. Every
// thread that calls one of these gets a queue and a thread id on first use.
// Whenever a call here waits, messages sent to the calling thread's windows
// from other threads are run meanwhile, so two threads that send to each
// other never deadlock.
#pragma once

#include <chrono>

#include "platform/window/messages.h"

namespace norix::platform::window {

// The calling thread's id (never 0).
ThreadId GetCurrentThreadId();

// Queues a thread message (hwnd kNullHwnd). False when no thread with this id
// has a queue or the thread has ended.
bool PostThreadMessage(ThreadId thread, UINT message, WPARAM wParam, LPARAM lParam);

// Waits, without limit, for the calling thread's next message: posted
// messages first, then WM_QUIT, then due timers. False when the message is
// WM_QUIT (msg.wParam holds the exit code), true otherwise.
bool GetMessage(Message& msg);

// As GetMessage without waiting: false when nothing is there. With PM_REMOVE
// the message is taken, with PM_NOREMOVE it stays.
bool PeekMessage(Message& msg, UINT removeFlag);

// Waits until the calling thread has a message to take (true) or `deadline`
// passes (false). For code that must keep the thread's queue going while it
// waits for something else, e.g. a reply that arrives as a message.
bool MsgWaitForMessage(std::chrono::steady_clock::time_point deadline);

// Which kinds of message wait in the calling thread's queue now, among
// `flags`: QS_POSTMESSAGE, QS_TIMER (a timer is due), QS_SENDMESSAGE.
[[nodiscard]] UINT GetQueueStatus(UINT flags);

// Asks the calling thread's GetMessage to return false once its posted
// messages are taken.
void PostQuitMessage(int exitCode);

// Hands a window message to its dialog's procedure (on the calling thread,
// which must be the window's) and returns the procedure's result; a thread
// message, or a message for a window that is gone, returns 0.
LRESULT DispatchMessage(const Message& msg);

}  // namespace norix::platform::window
