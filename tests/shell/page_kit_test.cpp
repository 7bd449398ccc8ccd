// The page kit's care for the open page's object and its worker: a page
// closed while one of its hooks waits hears of it at once but is deleted
// only when the hook returns, and a worker posts exactly one end message,
// also when its work throws, and is stopped out of its longest sleep.
#include "shell/page_kit.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "shell/worker.h"
#include "shell_fixture.h"

namespace norix::shell::testing {
namespace {

constexpr W::UINT kWorkEnded = W::WM_APP + 0x40;
constexpr W::WPARAM kThrown = 1;
constexpr W::WPARAM kReturned = 2;

// Logs its hooks and life; a click on "Settings" waits in a message box and
// then uses the object again, a click on the second big button starts a work
// that throws, one on '>' a work that sleeps for an hour.
class LoggingPage final : public Page {
 public:
  explicit LoggingPage(PageLog& log) : log_(log) { log_.Add("made"); }
  LoggingPage(const LoggingPage&) = delete;
  LoggingPage& operator=(const LoggingPage&) = delete;
  LoggingPage(LoggingPage&&) = delete;
  LoggingPage& operator=(LoggingPage&&) = delete;
  ~LoggingPage() override { log_.Add("deleted"); }

  void OnInit() override { Enable(kDisabledId, true); }

  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED) {
      return false;
    }
    if (id == kSettingsId) {
      log_.Add("box shown");
      static_cast<void>(Message(kMessageCaptionText, W::MB_OK));
      log_.Add("box answered, " + std::to_string(++answers_) + " in all");
      return true;
    }
    if (id == kDisabledId) {
      worker_.Start(Window(), [](StopSignal&) -> EndMessage { throw std::runtime_error("lost"); },
                    {kWorkEnded, kThrown, 0});
      return true;
    }
    if (id == resources::kNextArrowId) {
      worker_.Start(Window(),
                    [this](StopSignal& stop) {
                      log_.Add("sleeping");
                      log_.Add(stop.Sleep(std::chrono::hours(1)) ? "slept" : "woken");
                      return EndMessage{kWorkEnded, kReturned, 0};
                    },
                    {kWorkEnded, kThrown, 0});
      return true;
    }
    return false;
  }

  bool OnMessage(W::UINT message, W::WPARAM wParam, W::LPARAM /*lParam*/) override {
    if (message != kWorkEnded) {
      return false;
    }
    worker_.Wait();
    log_.Add(wParam == kThrown ? "end: thrown" : "end: returned");
    return true;
  }

  void OnClose() override {
    log_.Add("close");
    worker_.Stop();
    log_.Add("stopped");
  }

 private:
  PageLog& log_;
  Worker worker_;
  int answers_ = 0;
};

// '>' and Esc are the page's own.
constexpr PageDescription kDescription{.escape = kNoTarget};

class PageKitTest : public NavigatorTest {
 protected:
  W::HWND StartPage() {
    EXPECT_TRUE(
        RegisterPage<LoggingPage>(program_.pages, resources::kMainMenuPage, kDescription, log_));
    Start();
    const W::HWND page = host_.WaitForDialog(101, kLong);
    EXPECT_NE(page, W::kNullHwnd);
    return page;
  }
  void Quit() {
    W::PostThreadMessage(program_.navigator.MainThread(), kPageRequest, 0, resources::kQuitPage);
  }
  bool WaitFor(const std::string& line) { return log_.WaitFor(line, kLong); }
};

TEST_F(PageKitTest, APageClosedWhileAHookWaitsIsDeletedOnlyWhenTheHookReturns) {
  const W::HWND page = StartPage();
  ASSERT_TRUE(host_.Click(page, kSettingsId));
  ASSERT_TRUE(host_.WaitForMessageBox(kLong));
  Quit();
  // The page hears of its close while the box is still open ...
  ASSERT_TRUE(WaitFor("close"));
  EXPECT_LT(log_.Find("deleted"), 0);
  // ... and the object lives on until the hook is done with it.
  ASSERT_TRUE(host_.AnswerMessageBox(W::IDOK, kLong));
  ASSERT_TRUE(WaitReturned());
  EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"made", "box shown", "close", "stopped",
                                                    "box answered, 1 in all", "deleted"}));
}

TEST_F(PageKitTest, AWorkerPostsOneEndMessageEvenWhenItThrowsAndStopWakesItsSleep) {
  const W::HWND page = StartPage();
  ASSERT_TRUE(host_.Click(page, kDisabledId));
  ASSERT_TRUE(WaitFor("end: thrown"));
  EXPECT_FALSE(host_.WaitUntil(
      [&] {
        const auto lines = log_.Lines();
        return std::count(lines.begin(), lines.end(), "end: thrown") > 1;
      },
      kShort));

  // A run that was waited for makes room for the next one, which sleeps
  // until the page closes.
  ASSERT_TRUE(host_.Click(page, resources::kNextArrowId));
  // Closed only once the work sleeps: a worker stopped before it began may
  // rightly never run its work.
  ASSERT_TRUE(WaitFor("sleeping"));
  const auto start = std::chrono::steady_clock::now();
  Quit();
  ASSERT_TRUE(WaitReturned());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  const auto lines = log_.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "end: thrown"), 1);
  EXPECT_GE(log_.Find("woken"), 0);
  EXPECT_LT(log_.Find("woken"), log_.Find("stopped"));
  EXPECT_EQ(lines.back(), "deleted");
}

}  // namespace
}  // namespace norix::shell::testing
