// The navigator's hand-over from page to page: which page comes first, the
// new page up before the old one closes, a second request waiting for the
// first, the page placement, quitting, a display change, and a page that
// cannot be shown.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/window/thread_queue.h"
#include "platform/window/user_input.h"
#include "resources/resource_ids.h"
#include "shell_fixture.h"

namespace norix::shell::testing {
namespace {

TEST_F(NavigatorTest, OneDeviceStartsAtTheMainMenuAndEscQuitsClosingThePort) {
  program_.pages.Register(resources::kMainMenuPage, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host_.FindDialog(102), W::kNullHwnd);

  ASSERT_TRUE(host_.PressEscape(menu));
  ASSERT_TRUE(WaitReturned());
  EXPECT_TRUE(host_.Dialogs().empty());
  EXPECT_EQ(ClosedPorts(), std::vector<link::ModemContext*>{program_.context.get()});
  EXPECT_EQ(program_.navigator.CurrentIndex(), resources::kQuitPage);
}

TEST_F(NavigatorTest, TwoDevicesStartAtTheProductList) {
  program_.context->devices.push_back({"solano 1280", 1});
  program_.pages.Register(resources::kProductListPage, TestPage(log_, {}));
  Start();
  const W::HWND list = host_.WaitForDialog(102, kLong);
  ASSERT_NE(list, W::kNullHwnd);
  EXPECT_EQ(host_.FindDialog(101), W::kNullHwnd);
  ASSERT_TRUE(host_.PressEscape(list));
  ASSERT_TRUE(WaitReturned());
}

TEST_F(NavigatorTest, TheNewPageIsUpBeforeTheOldOneClosesAndTakesItsPlace) {
  program_.pages.Register(resources::kMainMenuPage, TestPage(log_, {.next = 6}));
  program_.pages.Register(6, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);

  // The first page is centred on the desktop.
  const W::Rect first = W::GetWindowRect(menu);
  const W::Rect screen = desktop_.ScreenRect();
  EXPECT_EQ(first.left, (screen.Width() - first.Width()) / 2);
  EXPECT_EQ(first.top, (screen.Height() - first.Height()) / 2);

  // The user moved it; the next page comes up where it was left.
  ASSERT_TRUE(W::UserMovedWindow(menu, {37, 21}));
  ASSERT_TRUE(host_.Click(menu, resources::kNextArrowId));
  const W::HWND settings = host_.WaitForDialog(109, kLong);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(host_.WaitForDialogClosed(menu, kLong));
  EXPECT_EQ(W::GetWindowRect(settings).TopLeft(), (W::Point{37, 21}));

  ASSERT_TRUE(program_.navigator.WaitUntilNoPendingPage(kLong));
  ASSERT_GE(log_.Find("109 ready"), 0);
  EXPECT_LT(log_.Find("109 ready"), log_.Find("101 closed"))
      << "the old page stays until the new one has reported that it is up";
  EXPECT_EQ(program_.navigator.CurrentIndex(), 6);

  ASSERT_TRUE(host_.PressEscape(settings));
  ASSERT_TRUE(WaitReturned());
}

TEST_F(NavigatorTest, APageThatLeavesBeforeItsOwnPageReadyStaysUntilTheNextIsUp) {
  // The menu asks for the next page during its set-up, so its own page
  // ready reaches the main thread after its request: that must not close it.
  program_.pages.Register(resources::kMainMenuPage,
                          TestPage(log_, {.onInit = [](W::HWND page) { GoToPage(page, 6); }}));
  program_.pages.Register(6, TestPage(log_, {}));
  Start();
  const W::HWND settings = host_.WaitForDialog(109, kLong);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(program_.navigator.WaitUntilNoPendingPage(kLong));
  EXPECT_TRUE(log_.WaitFor("101 closed", kLong));
  ASSERT_GE(log_.Find("109 ready"), 0);
  EXPECT_LT(log_.Find("109 ready"), log_.Find("101 closed"));
  ASSERT_TRUE(host_.PressEscape(settings));
  ASSERT_TRUE(WaitReturned());
}

TEST_F(NavigatorTest, ASecondRequestWaitsUntilTheFirstIsComplete) {
  // The menu is slow to close, so the settings page asks for the next page
  // while the menu is still the pending page. The menu's close waits until
  // the settings page is about to ask, then takes a while longer.
  std::atomic<W::HWND> menuHandle{W::kNullHwnd};
  std::atomic<bool> menuClosed{false};
  std::atomic<bool> pendingWhenAsked{false};
  std::atomic<bool> menuClosedWhenGoToPageReturned{false};
  Signal asking;
  program_.pages.Register(resources::kMainMenuPage,
                          TestPage(log_, {.next = 6, .onClose = [&](W::HWND) {
                                            asking.Wait(kLong);
                                            std::this_thread::sleep_for(60ms);
                                            menuClosed = true;
                                          }}));
  program_.pages.Register(6, TestPage(log_, {.onReady = [&](W::HWND page) {
                                        pendingWhenAsked =
                                            program_.navigator.PendingPage() == menuHandle.load();
                                        asking.Set();
                                        GoToPage(page, 7);
                                        menuClosedWhenGoToPageReturned = menuClosed.load();
                                      }}));
  program_.pages.Register(7, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  menuHandle = menu;
  ASSERT_TRUE(host_.Click(menu, resources::kNextArrowId));

  const W::HWND solano = host_.WaitForDialog(126, kLong);
  ASSERT_NE(solano, W::kNullHwnd);
  EXPECT_TRUE(pendingWhenAsked.load());
  EXPECT_TRUE(menuClosedWhenGoToPageReturned.load())
      << "GoToPage returned before the first change was complete";
  EXPECT_TRUE(host_.WaitUntil([&] { return host_.Dialogs().size() == 1; }, kLong));
  EXPECT_EQ(host_.Dialogs(), std::vector<W::HWND>{solano});

  ASSERT_TRUE(host_.PressEscape(solano));
  ASSERT_TRUE(WaitReturned());
  EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(NavigatorTest, APageAsksToLeaveOnlyOnce) {
  // Two quick clicks on '>': the second must neither start a second page nor
  // leave the page waiting for itself.
  program_.pages.Register(resources::kMainMenuPage, TestPage(log_, {.next = 6}));
  program_.pages.Register(6, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(host_.Click(menu, resources::kNextArrowId));
  host_.Click(menu, resources::kNextArrowId);  // may be refused once the menu is gone
  const W::HWND settings = host_.WaitForDialog(109, kLong);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(host_.WaitForDialogClosed(menu, kLong));
  EXPECT_EQ(host_.WaitForDialog(109, kShort), W::kNullHwnd) << "one settings page only";

  ASSERT_TRUE(host_.PressEscape(settings));
  ASSERT_TRUE(WaitReturned());
}

TEST_F(NavigatorTest, ADisplayChangeRestartsThePageInPlace) {
  program_.pages.Register(resources::kMainMenuPage, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(W::UserMovedWindow(menu, {60, 45}));
  const int builds = program_.chrome.BuildCount();

  W::ScreenMetrics bigger;
  bigger.screen = {0, 0, 1600, 1200};
  desktop_.DisplayChanged(bigger);

  const W::HWND again = host_.WaitForDialog(101, kLong);
  ASSERT_NE(again, W::kNullHwnd);
  EXPECT_NE(again, menu);
  ASSERT_TRUE(host_.WaitForDialogClosed(menu, kLong));
  EXPECT_EQ(W::GetWindowRect(again).TopLeft(), (W::Point{60, 45}));
  EXPECT_EQ(program_.chrome.BuildCount(), builds + 1);
  EXPECT_EQ(CountryName(program_.chrome, 0), "Australia (61)") << "rebuilt, not only released";
  EXPECT_EQ(program_.navigator.CurrentIndex(), resources::kMainMenuPage);
  EXPECT_EQ(host_.WaitForDialog(101, kShort), W::kNullHwnd) << "restarted once";

  ASSERT_TRUE(host_.PressEscape(again));
  ASSERT_TRUE(WaitReturned());
  EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(NavigatorTest, ADisplayChangeDuringAPageChangeLosesNeitherPage) {
  // The settings page reports ready while the slow menu is still pending;
  // the display change meanwhile must restart the settings page once the
  // menu is closed, and leave no page behind.
  program_.pages.Register(
      resources::kMainMenuPage,
      TestPage(log_, {.next = 6, .onClose = [](W::HWND) { std::this_thread::sleep_for(100ms); }}));
  program_.pages.Register(6, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(host_.Click(menu, resources::kNextArrowId));
  const W::HWND settings = host_.WaitForDialog(109, kLong);
  ASSERT_NE(settings, W::kNullHwnd);
  desktop_.DisplayChanged({});

  ASSERT_TRUE(host_.WaitForDialogClosed(menu, kLong));
  EXPECT_TRUE(host_.WaitUntil(
      [&] {
        const auto open = host_.Dialogs();
        return open.size() == 1 && open.front() != settings &&
               W::GetDialogTemplateId(open.front()) == 109;
      },
      kLong));
  const auto open = host_.Dialogs();
  ASSERT_EQ(open.size(), 1U);
  ASSERT_TRUE(host_.WaitUntil([&] { return W::GetWindowState(open.front())->ready; }, kLong));
  ASSERT_TRUE(host_.PressEscape(open.front()));
  ASSERT_TRUE(WaitReturned());
  EXPECT_TRUE(host_.Dialogs().empty());
}

// A page closed while it waits in the middle of its port work (a display
// change, the end of the run) finishes that work before the navigator
// starts the page again or closes the port under it.
class PortWorkTest : public NavigatorTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PortWorkTest, APageFinishesItsPortWorkBeforeTheRestartOrThePortClose) {
  const bool displayChange = GetParam();
  {
    PageLog log;
    Signal working;
    Signal closed;
    std::mutex mutex;
    std::shared_ptr<W::Completion> release;
    std::atomic<int> openings{0};
    program_.pages.Register(
        resources::kMainMenuPage,
        TestPage(log, {.onInit = [&](W::HWND) { log.Add("init " + std::to_string(++openings)); },
                       .onReady =
                           [&](W::HWND) {
                             if (openings.load() != 1) {
                               return;
                             }
                             // Waits as the port work waits for a line reply:
                             // messages sent to the thread still run.
                             const auto done =
                                 std::make_shared<W::Completion>(W::CurrentThreadQueue());
                             {
                               const std::lock_guard lock(mutex);
                               release = done;
                             }
                             working.Set();
                             W::CurrentThreadQueue()->WaitFor(*done);
                             log.Add("work done");
                           },
                       .onClose =
                           [&](W::HWND) {
                             log.Add("close");
                             closed.Set();
                           }}));
    const auto releaseWork = [&] {
      const std::lock_guard lock(mutex);
      if (release) {
        release->Complete(0);
      }
    };
    // A failed check leaves no page waiting for ever.
    const std::unique_ptr<void, std::function<void(void*)>> releaseAtEnd(
        &mutex, [&](void*) { releaseWork(); });
    Start();
    ASSERT_TRUE(working.Wait(kLong));
    // As a display change or a quit reaches the navigator from elsewhere (the
    // busy page itself takes its posted messages only after its work).
    W::PostThreadMessage(program_.navigator.MainThread(),
                         displayChange ? kDisplayChanged : kPageRequest, 0,
                         displayChange ? 0 : resources::kQuitPage);
    ASSERT_TRUE(closed.Wait(kLong));
    // Room for a navigator that does not wait to go ahead.
    std::this_thread::sleep_for(kShort);
    EXPECT_EQ(log.Find("init 2"), -1) << "restarted during the work";
    EXPECT_TRUE(ClosedPorts().empty()) << "port closed during the work";
    releaseWork();
    if (displayChange) {
      ASSERT_TRUE(log.WaitFor("init 2", kLong));
      EXPECT_LT(log.Find("work done"), log.Find("init 2"));
      const W::HWND again = host_.WaitForDialog(101, kLong);
      ASSERT_NE(again, W::kNullHwnd);
      ASSERT_TRUE(host_.WaitUntil([&] { return W::GetWindowState(again)->ready; }, kLong));
      ASSERT_TRUE(host_.PressEscape(again));
    }
    ASSERT_TRUE(WaitReturned());
    EXPECT_GE(log.Find("work done"), 0);
    EXPECT_EQ(ClosedPorts().size(), 1U);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PortWorkTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? "DisplayChange" : "EndOfTheRun";
                         });

TEST_F(NavigatorTest, APageThatCannotBeShownEndsTheRunInOrder) {
  // Index 16's template is not registered here.
  program_.pages.Register(resources::kMainMenuPage, TestPage(log_, {.next = 16}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(host_.Click(menu, resources::kNextArrowId));
  ASSERT_TRUE(WaitReturned());
  EXPECT_FALSE(W::IsWindow(menu));
  EXPECT_EQ(ClosedPorts().size(), 1U);
}

TEST_F(NavigatorTest, EnterOnAFocusedArrowButtonPressesIt) {
  program_.pages.Register(resources::kMainMenuPage, TestPage(log_, {.next = 6}));
  program_.pages.Register(6, TestPage(log_, {}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(host_.Focus(menu, resources::kNextArrowId));
  ASSERT_TRUE(host_.PressEnter(menu));
  const W::HWND settings = host_.WaitForDialog(109, kLong);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(host_.PressEscape(settings));
  ASSERT_TRUE(WaitReturned());
}

}  // namespace
}  // namespace norix::shell::testing
