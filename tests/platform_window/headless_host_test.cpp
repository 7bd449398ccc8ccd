// The headless host's driver acting as a user: waiting for dialogs and
// texts, clicks on buttons, check boxes and radio groups, list picks, the
// keyboard (Enter, Esc, Tab), hovering, and input that must be refused.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/window/control_api.h"

namespace norix::platform::window::testing {
namespace {

constexpr UINT kHover = WM_APP + 8;
constexpr UINT kCommandEntered = WM_APP + 5;

TEST_F(DialogTest, WaitForDialogSeesEachAppearanceOnce) {
  EXPECT_EQ(host_.WaitForDialog(kPage, kShort), kNullHwnd);
  auto first = std::make_unique<DialogThread>(desktop_, kPage, DialogProc{});
  const HWND a = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(a, kNullHwnd);
  EXPECT_EQ(host_.FindDialog(kPage), a);
  EXPECT_EQ(host_.WaitForDialog(kPage, kShort), kNullHwnd) << "already handed out";
  const auto state = GetWindowState(a);
  ASSERT_TRUE(state);
  EXPECT_TRUE(state->visible);
  EXPECT_TRUE(state->ready);

  DialogThread second(desktop_, kPage, {});
  const HWND b = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(b, kNullHwnd);
  EXPECT_NE(a, b);
  EXPECT_EQ(host_.Dialogs(), (std::vector<HWND>{a, b}));
  first.reset();
  EXPECT_TRUE(host_.WaitForDialogClosed(a, kLong));
  EXPECT_EQ(host_.Dialogs(), (std::vector<HWND>{b}));
  EXPECT_FALSE(host_.WaitForDialogClosed(b, kShort));
}

TEST_F(DialogTest, ClicksOnButtonsCheckBoxesAndRadioGroups) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);

  EXPECT_TRUE(host_.Click(hwnd, kNext));
  const auto click = log.WaitForCommand(kNext, BN_CLICKED, kLong);
  ASSERT_TRUE(click);
  EXPECT_EQ(HwndFromParam(click->lParam), GetDlgItem(hwnd, kNext));
  EXPECT_TRUE(log.WaitForCommand(kNext, BN_SETFOCUS, kLong)) << "clicking focuses the button";

  EXPECT_FALSE(host_.Click(hwnd, kSettings)) << "disabled";
  EXPECT_FALSE(host_.Click(hwnd, kHidden)) << "hidden";
  EXPECT_FALSE(host_.Click(hwnd, kStatus)) << "a text is not clickable";
  EXPECT_FALSE(host_.Click(hwnd, 4242)) << "no such control";
  EnableWindow(GetDlgItem(hwnd, kSettings), true);
  EXPECT_TRUE(host_.Click(hwnd, kSettings));
  EXPECT_TRUE(log.WaitForCommand(kSettings, BN_CLICKED, kLong));

  EXPECT_TRUE(host_.Click(hwnd, kBod));
  EXPECT_TRUE(host_.IsChecked(hwnd, kBod));
  EXPECT_TRUE(host_.Click(hwnd, kBod));
  EXPECT_FALSE(host_.IsChecked(hwnd, kBod));

  ASSERT_TRUE(CheckDlgButton(hwnd, kPlainA, BST_CHECKED));
  EXPECT_TRUE(host_.Click(hwnd, kOneChannel));
  EXPECT_TRUE(host_.Click(hwnd, kTwoChannels));
  EXPECT_FALSE(host_.IsChecked(hwnd, kOneChannel)) << "same group";
  EXPECT_TRUE(host_.IsChecked(hwnd, kTwoChannels));
  EXPECT_TRUE(host_.IsChecked(hwnd, kPlainA)) << "another group is left alone";
  EXPECT_TRUE(host_.Click(hwnd, kPlainB));
  EXPECT_FALSE(host_.IsChecked(hwnd, kPlainA));
  EXPECT_TRUE(host_.IsChecked(hwnd, kTwoChannels));
}

TEST_F(DialogTest, PickingListLinesAndMovingTrackbars) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  AddListItem(hwnd, kCountries, "Denmark (45)");
  SetListItemData(hwnd, kCountries, 0, 45);
  AddListItem(hwnd, kCountries, "U.S.A. (1)");
  SetListItemData(hwnd, kCountries, 1, 1);

  EXPECT_TRUE(host_.SelectItem(hwnd, kCountries, "U.S.A. (1)"));
  EXPECT_TRUE(log.WaitForCommand(kCountries, CBN_SELCHANGE, kLong));
  EXPECT_EQ(GetListSelection(hwnd, kCountries), 1);
  EXPECT_EQ(GetListItemData(hwnd, kCountries, GetListSelection(hwnd, kCountries)), 1);
  EXPECT_EQ(host_.Text(hwnd, kCountries), "U.S.A. (1)");
  EXPECT_FALSE(host_.SelectItem(hwnd, kCountries, "Japan (81)"));
  EXPECT_FALSE(host_.SelectItem(hwnd, kCountries, 2));
  EXPECT_FALSE(host_.SelectItem(hwnd, kEntry, 0)) << "not a list";

  AddListItem(hwnd, kLines, "one");
  EXPECT_TRUE(host_.SelectItem(hwnd, kLines, 0));
  EXPECT_TRUE(log.WaitForCommand(kLines, LBN_SELCHANGE, kLong));

  SetTrackbarRange(hwnd, kSlider, 0, 20);
  EXPECT_TRUE(host_.SetTrackbar(hwnd, kSlider, 25));
  EXPECT_EQ(GetTrackbarPos(hwnd, kSlider), 20);
  const auto scroll = log.WaitFor(
      [](const Received& r) {
        return r.message == WM_HSCROLL && LOWORD(r.wParam) == TB_THUMBPOSITION;
      },
      kLong);
  ASSERT_TRUE(scroll);
  EXPECT_EQ(HIWORD(scroll->wParam), 20U);
  EXPECT_EQ(HwndFromParam(scroll->lParam), GetDlgItem(hwnd, kSlider));
}

TEST_F(DialogTest, EnterInACommandEntryIsReportedToThePage) {
  // The shape of a command console: Enter sends the typed line, empties the
  // entry, and the page shows the reply on the entry's EN_CHANGE.
  std::string reply;
  bool replyReady = false;  // page thread only
  DialogThread page(desktop_, kPage, [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
      SetEditEnterMessage(hwnd, kEntry, kCommandEntered);
    }
    if (message == kCommandEntered && static_cast<int>(wParam) == kEntry) {
      reply = "reply to " + GetDlgItemText(hwnd, kEntry);
      replyReady = true;
      SetDlgItemText(hwnd, kEntry, "");
    }
    if (message == WM_COMMAND && LOWORD(wParam) == kEntry && HIWORD(wParam) == EN_CHANGE &&
        replyReady) {
      replyReady = false;
      SetDlgItemText(hwnd, kStatus, reply);
    }
    return LRESULT{0};
  });
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  ASSERT_TRUE(host_.Type(hwnd, kEntry, "ATI3"));
  ASSERT_TRUE(host_.PressEnter(hwnd));
  EXPECT_TRUE(host_.WaitForText(hwnd, kStatus, "reply to ATI3", kLong));
  EXPECT_EQ(host_.Text(hwnd, kEntry), "");
  ASSERT_TRUE(host_.PressEnter(hwnd)) << "Enter on the empty entry";
  EXPECT_TRUE(host_.WaitForText(hwnd, kStatus, "reply to ", kLong));
}

TEST_F(DialogTest, EnterPressesAFocusedArrowButtonElseIsTheDefaultCommand) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  ASSERT_TRUE(host_.Focus(hwnd, kNext));
  ASSERT_TRUE(host_.PressEnter(hwnd));
  EXPECT_TRUE(log.WaitForCommand(kNext, BN_CLICKED, kLong));
  ASSERT_TRUE(host_.Focus(hwnd, kBod));
  ASSERT_TRUE(host_.PressEnter(hwnd));
  EXPECT_TRUE(log.WaitForCommand(IDOK, BN_CLICKED, kLong));
  EXPECT_FALSE(host_.IsChecked(hwnd, kBod)) << "Enter does not toggle a check box";
  ASSERT_TRUE(host_.PressEscape(hwnd));
  EXPECT_TRUE(log.WaitForCommand(IDCANCEL, BN_CLICKED, kLong));
}

TEST_F(DialogTest, TabVisitsEnabledVisibleTabStopsInOrder) {
  DialogThread page(desktop_, kPage, {});
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  EnableWindow(GetDlgItem(hwnd, kBod), false);
  ShowWindow(GetDlgItem(hwnd, kLines), SW_HIDE);
  const std::vector<int> expected = {kEntry,      kDigits, kUpper, kCountries,
                                     kOneChannel, kBack,   kNext,  kEntry};
  std::vector<int> visited;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_TRUE(host_.PressTab(hwnd));
    visited.push_back(GetDlgCtrlID(GetFocus(hwnd)));
  }
  EXPECT_EQ(visited, expected);
  ASSERT_TRUE(host_.PressTab(hwnd, false));
  EXPECT_EQ(GetDlgCtrlID(GetFocus(hwnd)), kNext);
}

TEST_F(DialogTest, HoverPostsTheDesktopsHoverMessage) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  EXPECT_FALSE(host_.Hover(hwnd, kBod)) << "no hover message set";
  desktop_.SetHoverMessage(kHover);
  EXPECT_TRUE(host_.Hover(hwnd, kSettings)) << "disabled controls are reported too";
  const auto hover = log.WaitForMessage(kHover, kLong);
  ASSERT_TRUE(hover);
  EXPECT_EQ(HwndFromParam(hover->wParam), GetDlgItem(hwnd, kSettings));
  EXPECT_EQ(hover->lParam, kSettings);
  EXPECT_FALSE(host_.Hover(hwnd, kHidden)) << "a hidden control cannot be pointed at";
}

TEST_F(DialogTest, WaitsFollowChangesMadeOnTheDialogThread) {
  DialogThread page(desktop_, kPage, [](HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
      SetTimer(hwnd, 1, 30);
    }
    if (message == WM_TIMER) {
      KillTimer(hwnd, 1);
      ShowWindow(GetDlgItem(hwnd, kHidden), SW_SHOW);
      EnableWindow(GetDlgItem(hwnd, kSettings), true);
      SetDlgItemText(hwnd, kStatus, "done");
    }
    return LRESULT{0};
  });
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);
  EXPECT_TRUE(host_.WaitForText(hwnd, kStatus, "done", kLong));
  EXPECT_TRUE(host_.WaitForVisible(hwnd, kHidden, true, kLong));
  EXPECT_TRUE(host_.WaitForEnabled(hwnd, kSettings, true, kLong));
  EXPECT_FALSE(host_.WaitForText(hwnd, kStatus, "never", kShort));

  // State the renderer never hears of is seen long before the deadline.
  std::atomic<bool> flag{false};
  std::thread setter([&flag] {
    std::this_thread::sleep_for(kShort);
    flag = true;
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(host_.WaitUntil([&flag] { return flag.load(); }, 10 * kLong));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kLong);
  setter.join();
}

}  // namespace
}  // namespace norix::platform::window::testing
