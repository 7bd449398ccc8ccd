// Start-up to the first page: one device goes straight to the main menu, two
// devices to the product list.
#include <gtest/gtest.h>

#include "platform/window/messages.h"
#include "shell/page_messages.h"
#include "support/wizard_session.h"

namespace norix::testing {
namespace {

namespace W = platform::window;

TEST(WizardSessionTest, OneDeviceOpensTheMainMenuAndEscQuits) {
  WizardSession session{{"netrunner56k", "NORIX Netrunner 56000 Voice"}};
  session.Start();
  const W::HWND menu = session.WaitForPage(shell::kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
  EXPECT_FALSE(session.ContextFailed());
}

}  // namespace
}  // namespace norix::testing
