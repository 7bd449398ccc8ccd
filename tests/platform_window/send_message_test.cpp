// Sent versus posted messages across threads: a send waits until the
// dialog's thread has run it, runs before posted messages, never deadlocks
// two threads that send to each other, and is answered 0 when its dialog
// goes away. Also the navigator's hand-over between two pages.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/window/message_box.h"

namespace norix::platform::window::testing {
namespace {

constexpr UINT kSlow = WM_APP + 40;
constexpr UINT kAsk = WM_APP + 41;
constexpr UINT kRelay = WM_APP + 42;

TEST_F(DialogTest, SendWaitsUntilTheDialogThreadHasRunIt) {
  std::atomic<bool> done{false};
  std::atomic<ThreadId> ranOn{0};
  DialogThread page(desktop_, kPage, [&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message == kSlow) {
      std::this_thread::sleep_for(50ms);
      ranOn = GetCurrentThreadId();
      done = true;
      return static_cast<LRESULT>(wParam * 2);
    }
    return 0;
  });
  const HWND hwnd = page.WaitHandle();
  ASSERT_NE(hwnd, kNullHwnd);
  EXPECT_EQ(SendMessage(hwnd, kSlow, 21, 0), 42);
  EXPECT_TRUE(done.load()) << "SendMessage returned before the message ran";
  EXPECT_EQ(ranOn.load(), page.Thread());
}

TEST_F(DialogTest, SendFromTheDialogsOwnThreadIsADirectCall) {
  std::atomic<LRESULT> inner{0};
  DialogThread page(desktop_, kPage, [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == WM_INITDIALOG) {
      inner = SendMessage(hwnd, kAsk, 0, 0);  // no loop is running yet
    }
    return message == kAsk ? 77 : 0;
  });
  ASSERT_NE(host_.WaitForDialog(kPage, kLong), kNullHwnd);  // up once WM_INITDIALOG returned
  EXPECT_EQ(inner.load(), 77);
}

// Waits (on the dialog's own thread) until another thread's send is queued
// for it.
bool WaitForQueuedSend() {
  const auto deadline = std::chrono::steady_clock::now() + kLong;
  while ((GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST_F(DialogTest, SentMessagesRunBeforePostedOnes) {
  MessageLog log;
  std::thread sender;
  std::atomic<bool> queued{false};
  DialogThread page(desktop_, kPage,
                    LoggingProc(log, [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
                      if (message == kSlow) {
                        // Post first, then have another thread send, both
                        // while this thread is busy here.
                        PostMessage(hwnd, WM_APP + 50, 0, 0);
                        sender = std::thread([hwnd] { SendMessage(hwnd, WM_APP + 51, 0, 0); });
                        queued = WaitForQueuedSend();
                      }
                      return 0;
                    }));
  const HWND hwnd = page.WaitHandle();
  ASSERT_TRUE(PostMessage(hwnd, kSlow, 0, 0));
  ASSERT_TRUE(log.WaitForMessage(WM_APP + 50, kLong));
  ASSERT_TRUE(log.WaitForMessage(WM_APP + 51, kLong));
  sender.join();
  ASSERT_TRUE(queued.load());
  std::vector<UINT> order;
  for (const Received& r : log.All()) {
    if (r.message == WM_APP + 50 || r.message == WM_APP + 51) {
      order.push_back(r.message);
    }
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_APP + 51, WM_APP + 50}));
}

TEST_F(DialogTest, MutualSendsAreRunWhileWaiting) {
  // Deterministic form: the page sends to the test thread's window while the
  // test thread is blocked sending to the page.
  std::atomic<HWND> back{kNullHwnd};
  MessageLog pageLog;
  DialogThread page(desktop_, kPage,
                    LoggingProc(pageLog, [&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
                      if (message == kRelay) {
                        return SendMessage(back.load(), kAsk, wParam, 0) + 1;
                      }
                      return 0;
                    }));
  const HWND hwnd = page.WaitHandle();
  ASSERT_NE(hwnd, kNullHwnd);
  std::atomic<LRESULT> result{-1};
  std::thread client([&] {
    // A second dialog on this thread answers kAsk; SendMessage to the page
    // runs it while waiting.
    DialogBox(desktop_, kPage, kNullHwnd, [&](HWND self, UINT message, WPARAM wParam, LPARAM) {
      if (message == WM_INITDIALOG) {
        back = self;
        PostMessage(self, WM_APP + 60, 0, 0);
      }
      if (message == WM_APP + 60) {
        result = SendMessage(hwnd, kRelay, 4, 0);
        EndDialog(self, 0);
      }
      if (message == kAsk) {
        return static_cast<LRESULT>(wParam) * 100;
      }
      return LRESULT{0};
    });
  });
  client.join();
  EXPECT_EQ(result.load(), 401);
}

TEST_F(DialogTest, SendToADialogThatClosesIsAnswered0) {
  std::thread sender;
  std::atomic<LRESULT> answer{-1};
  std::atomic<bool> queued{false};
  DialogThread page(desktop_, kPage, [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == kSlow) {
      sender = std::thread([hwnd, &answer] { answer = SendMessage(hwnd, kAsk, 0, 0); });
      queued = WaitForQueuedSend();
      EndDialog(hwnd, 0);  // the loop ends before it takes the send
    }
    return message == kAsk ? 5 : 0;
  });
  const HWND hwnd = page.WaitHandle();
  ASSERT_TRUE(PostMessage(hwnd, kSlow, 0, 0));
  EXPECT_EQ(page.WaitResult(), 0);
  sender.join();
  EXPECT_TRUE(queued.load());
  EXPECT_EQ(answer.load(), 0) << "the sender is released, not left waiting";
  EXPECT_EQ(SendMessage(hwnd, kAsk, 0, 0), 0) << "a stale handle answers 0 at once";
}

TEST_F(DialogTest, SendReachesAThreadWaitingForAMessageBox) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
                      if (message == WM_APP + 70) {
                        MessageBox(hwnd, "Busy", "NORIX message", MB_OK | MB_TASKMODAL);
                      }
                      return LRESULT{message == kAsk ? 9 : 0};
                    }));
  const HWND hwnd = page.WaitHandle();
  ASSERT_TRUE(PostMessage(hwnd, WM_APP + 70, 0, 0));
  ASSERT_TRUE(host_.WaitForMessageBox(kLong));
  EXPECT_EQ(SendMessage(hwnd, kAsk, 0, 0), 9) << "the box's wait runs sent messages";
  ASSERT_TRUE(host_.AnswerMessageBox(IDOK, kLong));
}

// The navigator's hand-over: the old page stays open until the new one says
// it is up; then the main thread sends the old one "close page", which ends
// it synchronously.
TEST_F(DialogTest, NavigatorHandOverClosesTheOldPageAfterTheNewOneIsUp) {
  constexpr UINT kPageReady = WM_APP + 0;
  constexpr UINT kNewPageUp = WM_APP + 2;
  constexpr UINT kClosePage = WM_APP + 3;
  const ThreadId main = GetCurrentThreadId();
  const auto pageProc = [main](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
    switch (message) {
      case WM_INITDIALOG:
        PostMessage(hwnd, kPageReady, 0, 0);
        return 0;
      case kPageReady:
        PostThreadMessage(main, kNewPageUp, HwndToWParam(hwnd), 0);
        return 0;
      case kClosePage:
        EndDialog(hwnd, 0);
        return 1;
      default:
        return 0;
    }
  };
  DialogThread first(desktop_, kPage, pageProc);
  Message msg;
  ASSERT_TRUE(GetMessage(msg));
  ASSERT_EQ(msg.message, kNewPageUp);
  const HWND old = HwndFromParam(msg.wParam);

  DialogThread second(desktop_, kPage, pageProc);
  ASSERT_TRUE(GetMessage(msg));
  ASSERT_EQ(msg.message, kNewPageUp);
  const HWND next = HwndFromParam(msg.wParam);
  EXPECT_NE(next, old);
  EXPECT_TRUE(IsWindow(old)) << "the old page is still there when the new one is up";
  EXPECT_EQ(SendMessage(old, kClosePage, 0, 0), 1);
  EXPECT_EQ(first.WaitResult(), 0);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(SendMessage(old, kClosePage, 0, 0), 0) << "closing a closed page has no effect";
  EXPECT_EQ(SendMessage(next, kClosePage, 0, 0), 1);
  EXPECT_EQ(second.WaitResult(), 0);
}

}  // namespace
}  // namespace norix::platform::window::testing
