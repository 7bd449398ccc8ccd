// Timers: WM_TIMER through the dialog's queue, repeating, restarting,
// stopping, never piling up behind a busy thread, and the timer id 0 that
// the line test uses.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "dialog_fixture.h"

namespace norix::platform::window::testing {
namespace {

TEST_F(DialogTest, TimerRepeatsOnTheDialogsThreadUntilKilled) {
  MessageLog log;
  std::atomic<int> ticks{0};
  Event third;
  DialogThread page(
      desktop_, kPage,
      LoggingProc(log, [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_INITDIALOG) {
          SetTimer(hwnd, 0, 15);
        }
        if (message == WM_TIMER && wParam == 0 && ++ticks == 3) {
          KillTimer(hwnd, 0);
          third.Set();
        }
        return LRESULT{0};
      }));
  ASSERT_NE(page.WaitHandle(), kNullHwnd);
  ASSERT_TRUE(third.Wait());
  std::this_thread::sleep_for(80ms);
  EXPECT_EQ(ticks.load(), 3) << "no tick after KillTimer";
  for (const Received& r : log.All()) {
    EXPECT_EQ(r.thread, page.Thread());
  }
}

TEST_F(DialogTest, ABusyThreadGetsOneTickNotABacklog) {
  using Clock = std::chrono::steady_clock;
  std::atomic<int> ticksRightAfterBusy{0};
  Event finished;
  Clock::time_point busyEnd;  // written and read on the dialog's thread only
  DialogThread page(desktop_, kPage, [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
      SetTimer(hwnd, 7, 10);
      PostMessage(hwnd, WM_APP, 0, 0);
    }
    if (message == WM_APP) {
      std::this_thread::sleep_for(100ms);  // ten intervals late
      busyEnd = Clock::now();
    }
    if (message == WM_TIMER && wParam == 7) {
      if (Clock::now() < busyEnd + 5ms) {
        ++ticksRightAfterBusy;
      } else {
        KillTimer(hwnd, 7);
        finished.Set();
      }
    }
    return LRESULT{0};
  });
  ASSERT_NE(page.WaitHandle(), kNullHwnd);
  ASSERT_TRUE(finished.Wait());
  EXPECT_EQ(ticksRightAfterBusy.load(), 1);
}

TEST_F(DialogTest, TimerTickWaitsBehindPostedMessagesAndRestartResets) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
                      if (message == WM_INITDIALOG) {
                        SetTimer(hwnd, 1, 10);
                        std::this_thread::sleep_for(30ms);  // the timer is due now
                        PostMessage(hwnd, WM_APP + 2, 0, 0);
                      }
                      if (message == WM_TIMER) {
                        KillTimer(hwnd, 1);
                      }
                      return LRESULT{0};
                    }));
  ASSERT_TRUE(log.WaitForMessage(WM_TIMER, kLong));
  std::vector<UINT> order;
  for (const Received& r : log.All()) {
    if (r.message == WM_TIMER || r.message == WM_APP + 2) {
      order.push_back(r.message);
    }
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_APP + 2, WM_TIMER}));
}

TEST_F(DialogTest, TimersBelongToOpenDialogsOnly) {
  DialogThread page(desktop_, kPage, {});
  const HWND hwnd = page.WaitHandle();
  EXPECT_FALSE(KillTimer(hwnd, 3)) << "no such timer";
  EXPECT_TRUE(SetTimer(hwnd, 3, 1000));
  EXPECT_TRUE(KillTimer(hwnd, 3));
  EXPECT_TRUE(SetTimer(hwnd, 3, 1000));
  EndDialog(hwnd, 0);
  EXPECT_EQ(page.WaitResult(), 0);
  EXPECT_FALSE(SetTimer(hwnd, 3, 10));
  EXPECT_FALSE(KillTimer(hwnd, 3));
}

}  // namespace
}  // namespace norix::platform::window::testing
