// Modal dialogs: the loop from WM_INITDIALOG to EndDialog, placement, focus,
// nested pickers and their owner, the cancel command, two dialogs on two
// threads, and what is left after a dialog closes.
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/window/control_api.h"
#include "platform/window/user_input.h"

namespace norix::platform::window::testing {
namespace {

TEST_F(DialogTest, ModalLoopRunsFromInitToEndDialog) {
  MessageLog log;
  DialogThread page(desktop_, kPage,
                    LoggingProc(log,
                                [](HWND hwnd, UINT message, WPARAM, LPARAM lParam) -> LRESULT {
                                  if (message == WM_INITDIALOG) {
                                    PostMessage(hwnd, WM_APP, 0, lParam);
                                  }
                                  if (message == WM_APP) {
                                    EndDialog(hwnd, 42 + lParam);
                                  }
                                  return 0;
                                }),
                    kNullHwnd, 100);
  EXPECT_EQ(page.WaitResult(), 142);
  const auto all = log.All();
  ASSERT_GE(all.size(), 3U);
  EXPECT_EQ(all.front().message, WM_INITDIALOG);
  EXPECT_EQ(all.front().lParam, 100);
  EXPECT_EQ(all[1].message, WM_APP);
  EXPECT_EQ(all.back().message, WM_DESTROY);
  for (const Received& r : all) {
    EXPECT_EQ(r.thread, page.Thread()) << "every message runs on the dialog's thread";
  }
  EXPECT_FALSE(IsWindow(all.front().hwnd));
  EXPECT_FALSE(PostMessage(all.front().hwnd, WM_APP, 0, 0));
}

TEST_F(DialogTest, UnknownTemplateOrMissingProcedureFailsAtOnce) {
  EXPECT_EQ(
      DialogBox(desktop_, 999, kNullHwnd, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }),
      -1);
  EXPECT_EQ(DialogBox(desktop_, kPage, kNullHwnd, DialogProc{}), -1);
  EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(DialogTest, EndDialogDuringInitNeverShowsTheDialog) {
  const LRESULT result =
      DialogBox(desktop_, kPage, kNullHwnd, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
        if (message == WM_INITDIALOG) {
          EndDialog(hwnd, 5);
        }
        return LRESULT{0};
      });
  EXPECT_EQ(result, 5);
  EXPECT_EQ(host_.FindDialog(kPage), kNullHwnd);
}

TEST_F(DialogTest, EndDialogFromAnotherThreadWakesTheLoop) {
  DialogThread page(desktop_, kPage, {});
  const HWND hwnd = page.WaitHandle();
  ASSERT_NE(host_.WaitForDialog(kPage, kLong), kNullHwnd);
  EXPECT_TRUE(EndDialog(hwnd, 7));
  EXPECT_EQ(page.WaitResult(), 7);
  EXPECT_FALSE(EndDialog(hwnd, 8)) << "a closed dialog cannot be ended again";
}

TEST_F(DialogTest, InitialFocusPlacementAndState) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log, [](HWND, UINT message, WPARAM, LPARAM) {
                      return LRESULT{message == WM_INITDIALOG ? 1 : 0};
                    }));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  const auto init = log.WaitForMessage(WM_INITDIALOG, kLong);
  ASSERT_TRUE(init);
  EXPECT_EQ(HwndFromParam(init->wParam), GetDlgItem(hwnd, kEntry)) << "first tab stop";
  EXPECT_EQ(GetFocus(hwnd), GetDlgItem(hwnd, kEntry));

  // 302 x 201 units at 6 x 13 base units, plus frame and caption.
  const Rect rect = GetWindowRect(hwnd);
  EXPECT_EQ(rect.Width(), 453 + 6);
  EXPECT_EQ(rect.Height(), 327 + 6 + 19);
  EXPECT_EQ(GetClientRect(hwnd), (Rect{0, 0, 453, 327}));
  EXPECT_EQ(rect.TopLeft(), (Point{0, 0}));
  EXPECT_EQ(GetWindowRect(GetDlgItem(hwnd, kStatus)).TopLeft(), (Point{3 + 15, 3 + 19 + 16}));

  EXPECT_TRUE(SetWindowPosition(hwnd, {100, 50}));
  EXPECT_EQ(GetWindowRect(hwnd), RectAt(100, 50, rect.Width(), rect.Height()));

  EXPECT_EQ(GetWindowText(hwnd), "Test page");
  EXPECT_EQ(GetDlgItemText(hwnd, kStatus), "Please wait...");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, kHidden)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, kSettings)));
  EXPECT_EQ(GetDlgCtrlID(GetDlgItem(hwnd, kNext)), kNext);
  EXPECT_EQ(GetParent(GetDlgItem(hwnd, kNext)), hwnd);
  EXPECT_EQ(GetDlgItem(hwnd, 4242), kNullHwnd);
  EXPECT_EQ(GetChildWindows(hwnd).size(), PageTemplate().controls.size());
  EXPECT_EQ(GetDialogTemplateId(hwnd), kPage);
  EXPECT_EQ(GetWindowThreadId(hwnd), page.Thread());
  EXPECT_EQ(GetWindowDesktop(hwnd), &desktop_);
}

TEST_F(DialogTest, PickerIsCentredOnItsOwnerWhichIsDisabledMeanwhile) {
  std::atomic<LRESULT> pickerResult{-5};
  std::atomic<WPARAM> rounds{0};
  MessageLog pageLog;
  DialogThread page(
      desktop_, kPage,
      LoggingProc(
          pageLog,
          [this, &pickerResult, &rounds](HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM) -> LRESULT {
            if (message == WM_COMMAND && LOWORD(wParam) == kNext && HIWORD(wParam) == BN_CLICKED) {
              pickerResult = DialogBox(desktop_, kPicker, hwnd,
                                       [](HWND picker, UINT m, WPARAM w, LPARAM) -> LRESULT {
                                         if (m == WM_INITDIALOG) {
                                           AddListItem(picker, kPickerList, "corvid");
                                           AddListItem(picker, kPickerList, "Netrunner");
                                           SetListSelection(picker, kPickerList, 0);
                                         }
                                         if (m == WM_COMMAND && LOWORD(w) == IDOK) {
                                           EndDialog(picker, GetListSelection(picker, kPickerList));
                                         }
                                         if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) {
                                           EndDialog(picker, -1);
                                         }
                                         return 0;
                                       });
              // Tells the test that the picker's answer is in.
              PostMessage(hwnd, WM_APP + 10, ++rounds, 0);
            }
            return 0;
          }));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  ASSERT_TRUE(SetWindowPosition(hwnd, {200, 100}));
  ASSERT_TRUE(host_.Click(hwnd, kNext));
  const HWND picker = host_.WaitForDialog(kPicker, kLong);
  ASSERT_NE(picker, kNullHwnd);

  const Rect owner = GetWindowRect(hwnd);
  const Rect box = GetWindowRect(picker);
  EXPECT_EQ(box.left, owner.left + (owner.Width() - box.Width()) / 2);
  EXPECT_EQ(box.top, owner.top + (owner.Height() - box.Height()) / 2);
  EXPECT_EQ(GetWindowThreadId(picker), page.Thread()) << "nested on the page's thread";

  EXPECT_FALSE(IsWindowEnabled(hwnd));
  EXPECT_FALSE(host_.Click(hwnd, kBack)) << "the owner takes no input while the picker is open";
  // Messages to the page still run while the picker's loop is going.
  ASSERT_TRUE(PostMessage(hwnd, WM_APP + 9, 0, 0));
  EXPECT_TRUE(pageLog.WaitForMessage(WM_APP + 9, kLong));

  ASSERT_TRUE(host_.SelectItem(picker, kPickerList, "Netrunner"));
  ASSERT_TRUE(host_.PressEnter(picker)) << "Enter presses OK";
  EXPECT_TRUE(host_.WaitForDialogClosed(picker, kLong));
  ASSERT_TRUE(pageLog.WaitFor([](const Received& r) { return r.message == WM_APP + 10; }, kLong));
  EXPECT_EQ(pickerResult.load(), 1);
  EXPECT_TRUE(IsWindowEnabled(hwnd));

  // Esc on the picker is Cancel.
  ASSERT_TRUE(host_.Click(hwnd, kNext));
  const HWND again = host_.WaitForDialog(kPicker, kLong);
  ASSERT_NE(again, kNullHwnd);
  ASSERT_TRUE(host_.PressEscape(again));
  EXPECT_TRUE(host_.WaitForDialogClosed(again, kLong));
  ASSERT_TRUE(pageLog.WaitFor(
      [](const Received& r) { return r.message == WM_APP + 10 && r.wParam == 2; }, kLong));
  EXPECT_EQ(pickerResult.load(), -1);
}

TEST_F(DialogTest, ClosingTheWindowIsTheCancelCommand) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  ASSERT_TRUE(host_.Close(hwnd));
  EXPECT_TRUE(log.WaitForMessage(WM_CLOSE, kLong));
  const auto cancel = log.WaitForCommand(IDCANCEL, BN_CLICKED, kLong);
  ASSERT_TRUE(cancel);
  ASSERT_TRUE(host_.PressEscape(hwnd));
  EXPECT_TRUE(log.WaitFor(
      [](const Received& r) { return r.message == WM_COMMAND && LOWORD(r.wParam) == IDCANCEL; },
      kLong));
}

TEST_F(DialogTest, ModalLoopLeavesThreadMessagesQueued) {
  ThreadId pageThread = 0;
  std::promise<std::vector<UINT>> leftOver;
  std::thread thread([&] {
    pageThread = GetCurrentThreadId();
    PostThreadMessage(pageThread, WM_APP + 20, 0, 0);
    DialogBox(desktop_, kPage, kNullHwnd, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
      if (message == WM_INITDIALOG) {
        PostMessage(hwnd, WM_APP + 21, 0, 0);
      }
      if (message == WM_APP + 21) {
        EndDialog(hwnd, 0);
      }
      return LRESULT{0};
    });
    std::vector<UINT> messages;
    Message msg;
    while (PeekMessage(msg, PM_REMOVE)) {
      messages.push_back(msg.message);
    }
    leftOver.set_value(messages);
  });
  thread.join();
  EXPECT_EQ(leftOver.get_future().get(), (std::vector<UINT>{WM_APP + 20}));
}

TEST_F(DialogTest, MessagesForAClosedDialogAreDropped) {
  std::promise<std::vector<UINT>> leftOver;
  std::thread thread([&] {
    DialogBox(desktop_, kPage, kNullHwnd, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
      if (message == WM_INITDIALOG) {
        SetTimer(hwnd, 1, 10);
        EndDialog(hwnd, 0);
        PostMessage(hwnd, WM_APP + 30, 0, 0);
      }
      return LRESULT{0};
    });
    std::vector<UINT> messages;
    Message msg;
    while (MsgWaitForMessage(std::chrono::steady_clock::now() + 40ms) &&
           PeekMessage(msg, PM_REMOVE)) {
      messages.push_back(msg.message);
    }
    leftOver.set_value(messages);
  });
  thread.join();
  EXPECT_TRUE(leftOver.get_future().get().empty()) << "no stray posts or timers survive";
}

TEST_F(DialogTest, TwoDialogsOnTwoThreadsRunIndependently) {
  MessageLog logA;
  MessageLog logB;
  DialogThread a(desktop_, kPage, LoggingProc(logA));
  DialogThread b(desktop_, kPage, LoggingProc(logB));
  const HWND first = host_.WaitForDialog(kPage, kLong);
  const HWND second = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(first, kNullHwnd);
  ASSERT_NE(second, kNullHwnd);
  EXPECT_NE(first, second);
  EXPECT_NE(GetWindowThreadId(first), GetWindowThreadId(second));
  EXPECT_EQ(desktop_.Windows().size(), 2U);

  const HWND ha = a.WaitHandle();
  const HWND hb = b.WaitHandle();
  ASSERT_TRUE(host_.Click(ha, kNext));
  ASSERT_TRUE(host_.Click(hb, kBack));
  const auto inA = logA.WaitForCommand(kNext, BN_CLICKED, kLong);
  const auto inB = logB.WaitForCommand(kBack, BN_CLICKED, kLong);
  ASSERT_TRUE(inA);
  ASSERT_TRUE(inB);
  EXPECT_EQ(inA->thread, a.Thread());
  EXPECT_EQ(inB->thread, b.Thread());
  EXPECT_FALSE(logA.WaitForCommand(kBack, BN_CLICKED, kShort)) << "no cross-talk";

  EXPECT_TRUE(EndDialog(hb, 2));
  EXPECT_EQ(b.WaitResult(), 2);
  EXPECT_TRUE(IsWindow(ha)) << "the other dialog stays open";
  EXPECT_TRUE(EndDialog(ha, 1));
  EXPECT_EQ(a.WaitResult(), 1);
}

TEST_F(DialogTest, DisplayChangeReachesEveryOpenDialog) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  ASSERT_NE(host_.WaitForDialog(kPage, kLong), kNullHwnd);
  ScreenMetrics wide;
  wide.screen = {0, 0, 1920, 1080};
  wide.bitsPerPixel = 32;
  desktop_.DisplayChanged(wide);
  const auto changed = log.WaitForMessage(WM_DISPLAYCHANGE, kLong);
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->wParam, 32U);
  EXPECT_EQ(LOWORD(changed->lParam), 1920U);
  EXPECT_EQ(HIWORD(changed->lParam), 1080U);
  EXPECT_EQ(desktop_.ScreenRect(), wide.screen);
}

TEST(TemplateRegistry, RefusesMalformedTemplatesAndKeepsTheRest) {
  TemplateRegistry registry;
  DialogTemplate bad = PageTemplate(600);
  bad.controls.push_back({kEntry, ControlKind::kEdit, "", RectAt(0, 0, 10, 10), 0});
  EXPECT_NE(registry.Add(bad), "");
  DialogTemplate empty = PageTemplate(601);
  empty.width = 0;
  EXPECT_NE(registry.Add(empty), "");
  DialogTemplate zero = PageTemplate(602);
  zero.controls.push_back({0, ControlKind::kEdit, "", RectAt(0, 0, 10, 10), 0});
  EXPECT_NE(registry.Add(zero), "");
  DialogTemplate statics = PageTemplate(603);
  statics.controls.push_back({IDC_STATIC, ControlKind::kLine, "", RectAt(0, 0, 10, 0), 0});
  statics.controls.push_back({IDC_STATIC, ControlKind::kLine, "", RectAt(0, 5, 10, 0), 0});
  EXPECT_EQ(registry.Add(statics), "");
  EXPECT_EQ(registry.Ids(), (std::vector<int>{603}));
  EXPECT_EQ(registry.Find(600), nullptr);
  ASSERT_NE(registry.Find(603), nullptr);
  EXPECT_EQ(registry.Find(603)->controls.size(), PageTemplate().controls.size() + 2);
}

}  // namespace
}  // namespace norix::platform::window::testing
