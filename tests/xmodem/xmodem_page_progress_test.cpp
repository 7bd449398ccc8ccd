// A transfer shown on a progress page of the dialog manager.
#include "upgrade/xmodem_page_progress.h"

#include <gtest/gtest.h>

#include "platform/window/control_api.h"
#include "platform_window/dialog_fixture.h"
#include "resources/resource_ids.h"
#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

namespace window = platform::window;

constexpr int kProgressPage = resources::kUpgradeProgressTemplate;

window::DialogTemplate ProgressPageTemplate() {
  window::DialogTemplate page;
  page.id = kProgressPage;
  page.width = 302;
  page.height = 201;
  page.caption = "Upgrade";
  page.controls = {
      {upgrade::kXmodemProgressBar, window::ControlKind::kProgressBar, "",
       window::RectAt(20, 120, 260, 10), 0},
      {upgrade::kXmodemTimeLabel, window::ControlKind::kStaticText, "",
       window::RectAt(20, 140, 120, 10), 0},
      {upgrade::kXmodemTimeText, window::ControlKind::kStaticText, "",
       window::RectAt(150, 140, 60, 10), 0},
  };
  return page;
}

class XmodemPageProgressTest : public XmodemLine {
 protected:
  void SetUp() override {
    XmodemLine::SetUp();
    ASSERT_EQ(templates_.Add(ProgressPageTemplate()), "");
    page_ = std::make_unique<window::testing::DialogThread>(desktop_, kProgressPage, nullptr);
    hwnd_ = host_.WaitForDialog(kProgressPage, window::testing::kLong);
    ASSERT_NE(hwnd_, window::kNullHwnd);
  }
  void TearDown() override {
    page_.reset();
    XmodemLine::TearDown();
  }

  window::TemplateRegistry templates_;
  window::HeadlessHost host_;
  window::Desktop desktop_{host_, templates_};
  std::unique_ptr<window::testing::DialogThread> page_;
  window::HWND hwnd_{};
};

TEST_F(XmodemPageProgressTest, FillsTheBarAndShowsTheTime) {
  // Leftovers of an earlier phase are replaced.
  window::SetProgressPos(hwnd_, upgrade::kXmodemProgressBar, 50);
  upgrade::XmodemPageProgress progress(hwnd_, [](int id) {
    return id == upgrade::kEstimatedTimeTextId ? std::string("Estimated time remaining:")
                                               : std::string();
  });
  const TransferOutcome outcome =
      Transfer(RandomBytes(2 * kLong + 7 * kShort + 50), true, QuickReceiver(), &progress);
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);

  const auto bar = window::GetControlState(hwnd_, upgrade::kXmodemProgressBar);
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->rangeMin, 0);
  EXPECT_EQ(bar->rangeMax, 10);
  EXPECT_EQ(bar->step, 1);
  EXPECT_EQ(bar->position, 10);
  EXPECT_EQ(window::GetDlgItemText(hwnd_, upgrade::kXmodemTimeLabel), "Estimated time remaining:");
  // Ten blocks within a second: the first estimate (0 s, within the first
  // tenth of the blocks, so as dashes) is the one shown.
  EXPECT_EQ(window::GetDlgItemText(hwnd_, upgrade::kXmodemTimeText), "--:--");
}

TEST_F(XmodemPageProgressTest, AClosedPageDoesNotStopTheTransfer) {
  upgrade::XmodemPageProgress progress(hwnd_, nullptr);
  page_.reset();
  const TransferOutcome outcome =
      Transfer(RandomBytes(3 * kShort), false, QuickReceiver(), &progress);
  EXPECT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
}

}  // namespace
}  // namespace norix::testing
