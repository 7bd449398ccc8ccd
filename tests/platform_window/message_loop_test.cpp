// Thread queues: thread ids, posted thread messages, peeking, waiting with a
// deadline, quitting, and a thread that has ended.
#include "platform/window/message_loop.h"

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/window/thread_queue.h"

namespace norix::platform::window::testing {
namespace {

TEST(MessageLoop, ThreadIdsAreOwnStableAndDistinct) {
  const ThreadId mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0U);
  EXPECT_EQ(GetCurrentThreadId(), mine);
  ThreadId other = 0;
  std::thread([&other] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, 0U);
  EXPECT_NE(other, mine);
}

TEST(MessageLoop, PostedThreadMessagesArriveInOrderFromOtherThreads) {
  const ThreadId main = GetCurrentThreadId();
  std::thread sender([main] {
    for (unsigned i = 0; i < 100; ++i) {
      EXPECT_TRUE(PostThreadMessage(main, WM_APP + 1, i, -static_cast<LPARAM>(i)));
    }
  });
  for (unsigned i = 0; i < 100; ++i) {
    Message msg;
    ASSERT_TRUE(GetMessage(msg));
    EXPECT_EQ(msg.hwnd, kNullHwnd);
    EXPECT_EQ(msg.message, WM_APP + 1);
    EXPECT_EQ(msg.wParam, i);
    EXPECT_EQ(msg.lParam, -static_cast<LPARAM>(i));
  }
  sender.join();
}

TEST(MessageLoop, PeekLeavesOrTakesTheMessage) {
  Message msg;
  EXPECT_FALSE(PeekMessage(msg, PM_REMOVE));
  ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_APP + 2, 7, 8));
  ASSERT_TRUE(PeekMessage(msg, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_APP + 2);
  ASSERT_TRUE(PeekMessage(msg, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7U);
  EXPECT_FALSE(PeekMessage(msg, PM_REMOVE));
}

// What a wait took and kept goes back in front of what was posted since.
TEST(MessageLoop, MessagesPutBackComeBeforeLaterPostsInTheirOrder) {
  const ThreadId self = GetCurrentThreadId();
  ASSERT_TRUE(PostThreadMessage(self, WM_APP + 1, 0, 0));
  ASSERT_TRUE(PostThreadMessage(self, WM_APP + 2, 0, 0));
  Message first;
  Message second;
  ASSERT_TRUE(PeekMessage(first, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(second, PM_REMOVE));
  ASSERT_TRUE(PostThreadMessage(self, WM_APP + 3, 0, 0));
  CurrentThreadQueue()->PutBack({first, second});
  for (const UINT expected : {WM_APP + 1, WM_APP + 2, WM_APP + 3}) {
    Message msg;
    ASSERT_TRUE(PeekMessage(msg, PM_REMOVE));
    EXPECT_EQ(msg.message, expected);
  }
}

TEST(MessageLoop, WaitWithDeadlineTimesOutThenWakesForAPost) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(MsgWaitForMessage(start + kShort));
  EXPECT_GE(std::chrono::steady_clock::now() - start, kShort);

  const ThreadId main = GetCurrentThreadId();
  std::thread late([main] {
    std::this_thread::sleep_for(20ms);
    PostThreadMessage(main, WM_APP + 3, 0, 0);
  });
  EXPECT_TRUE(MsgWaitForMessage(std::chrono::steady_clock::now() + kLong));
  Message msg;
  ASSERT_TRUE(PeekMessage(msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_APP + 3);
  late.join();
}

TEST(MessageLoop, QuitComesAfterThePostedMessages) {
  std::promise<std::vector<UINT>> seen;
  std::thread loop([&seen] {
    std::vector<UINT> messages;
    const ThreadId self = GetCurrentThreadId();
    PostThreadMessage(self, WM_APP + 4, 0, 0);
    PostQuitMessage(3);
    PostThreadMessage(self, WM_APP + 5, 0, 0);
    Message msg;
    while (GetMessage(msg)) {
      messages.push_back(msg.message);
    }
    messages.push_back(msg.message);
    messages.push_back(static_cast<UINT>(msg.wParam));
    seen.set_value(messages);
  });
  loop.join();
  EXPECT_EQ(seen.get_future().get(), (std::vector<UINT>{WM_APP + 4, WM_APP + 5, WM_QUIT, 3}));
}

TEST(MessageLoop, PostingToAnEndedOrUnknownThreadFails) {
  ThreadId ended = 0;
  std::thread([&ended] { ended = GetCurrentThreadId(); }).join();
  EXPECT_FALSE(PostThreadMessage(ended, WM_APP, 0, 0));
  EXPECT_FALSE(PostThreadMessage(0, WM_APP, 0, 0));
}

TEST(MessageLoop, ThreadMessageDispatchesToNothing) {
  EXPECT_EQ(DispatchMessage(Message{kNullHwnd, WM_APP, 1, 2}), 0);
}

}  // namespace
}  // namespace norix::platform::window::testing
