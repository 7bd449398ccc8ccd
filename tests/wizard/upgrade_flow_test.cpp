// The upgrade as a user meets it, over ptys through the pages: the refusals
// before any transfer, and a product found in rescue mode at start.
#include <gtest/gtest.h>

#include "platform/window/control_api.h"
#include "products/main_menu_page.h"
#include "resources/resource_ids.h"
#include "upgrade/model_pickers.h"
#include "upgrade/upgrade_pages.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

using products::kUpgradeButton;

// The main menu of a single product, identified, with the upgrade chosen.
W::HWND ChooseUpgrade(WizardSession& session) {
  const W::HWND menu = WaitForMainMenu(session);
  if (menu == W::kNullHwnd || !session.Host().Click(menu, kUpgradeButton)) {
    return W::kNullHwnd;
  }
  return session.WaitForPage(resources::kUpgradeStartPage);
}

TEST(UpgradeRefusalTest, AProductWithoutUpgradeIsRefusedBeforeTheFileDialog) {
  WizardSession session{{"netrunner33k6", "NORIX Netrunner 33600 Voice"}};
  session.Start();
  const W::HWND start = ChooseUpgrade(session);
  ASSERT_NE(start, W::kNullHwnd);
  ASSERT_TRUE(session.Host().Click(start, resources::kNextArrowId));
  const auto box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(session.TextId(*box), 2066);
  EXPECT_NE(WaitForMainMenu(session), W::kNullHwnd);
  EXPECT_FALSE(session.Host().WaitForFileDialog(kNothingWait).has_value());
  EXPECT_TRUE(session.Quit());
}

TEST(UpgradeRefusalTest, CancellingTheFileDialogLeadsToTheMainMenu) {
  WizardSession session{{"corvid560", kCorvidLine}};
  session.Start();
  const W::HWND start = ChooseUpgrade(session);
  ASSERT_NE(start, W::kNullHwnd);
  EXPECT_EQ(session.Host().Text(start, upgrade::kVersionLabelId), Text(session, 2069));
  EXPECT_EQ(session.Host().Text(start, upgrade::kVersionValueId),
            session.Program().frame.context->firmwareVersion);
  ASSERT_TRUE(session.Host().Click(start, resources::kNextArrowId));
  const auto dialog = session.Host().AnswerFileDialog(std::nullopt, kPageWait);
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->request.fileName, "C560V???.LFU");
  EXPECT_EQ(dialog->request.title, Text(session, 2096));
  ASSERT_EQ(dialog->request.filters.size(), 1U);
  EXPECT_EQ(dialog->request.filters.front().patterns, "*.lfu");
  // The speed probe ran before the dialog: a factory reset at 9600 first.
  const auto commands = session.Commands(0);
  EXPECT_NE(std::find(commands.begin(), commands.end(), "AT&F"), commands.end()) << Lines(commands);
  EXPECT_NE(WaitForMainMenu(session), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

// A modem whose last upgrade failed answers only through its loader: the
// upgrade takes over before the main menu is offered.
W::HWND WaitForRescueQuestion(WizardSession& session, int button) {
  const auto box = session.AnswerMessage(button);
  if (!box || session.TextId(*box) != 2106) {
    ADD_FAILURE() << "no rescue question";
    return W::kNullHwnd;
  }
  return box->owner;
}

TEST(RescueAtStartTest, DecliningLeavesTheRescueNameAndOnlyTheUpgrade) {
  WizardSession session{{"modem-rescue", "NORIX Netrunner 56000 Voice"}};
  session.QuickSilence();  // the loader's silence to the identification and the probe
  session.Start();
  ASSERT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);  // identifying
  ASSERT_NE(WaitForRescueQuestion(session, W::IDNO), W::kNullHwnd);
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  auto& host = session.Host();
  EXPECT_EQ(session.Program().frame.context->productName, "NORIX Modem Rescue Mode");
  EXPECT_EQ(session.Program().frame.context->firmwareVersionNumber, 0);
  EXPECT_TRUE(session.Program().product.rescue.rescueStart);
  EXPECT_TRUE(host.IsVisible(menu, kUpgradeButton));
  for (const int hidden : {products::kSettingsButton, products::kProductInformationButton}) {
    EXPECT_FALSE(host.IsVisible(menu, hidden)) << hidden;
  }
  // Upgrade again: the question comes again, without the catalogue.
  ASSERT_TRUE(host.Click(menu, kUpgradeButton));
  const W::HWND start = session.WaitForPage(resources::kUpgradeStartPage);
  ASSERT_NE(start, W::kNullHwnd);
  ASSERT_TRUE(host.Click(start, resources::kNextArrowId));
  ASSERT_NE(WaitForRescueQuestion(session, W::IDNO), W::kNullHwnd);
  EXPECT_NE(WaitForMainMenu(session), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

TEST(RescueAtStartTest, AModelPickerCancelledLeadsToTheMainMenu) {
  WizardSession session{{"modem-rescue", "NORIX Netrunner 56000 Voice"}};
  session.QuickSilence();  // the loader's silence to the identification and the probe
  session.Start();
  ASSERT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);  // identifying
  ASSERT_NE(WaitForRescueQuestion(session, W::IDYES), W::kNullHwnd);
  auto& host = session.Host();
  // Its loader does not name its model ("AT*" at four speeds): the user is asked.
  const W::HWND picker = host.WaitForDialog(resources::kModemModelPickerTemplate, kPageWait);
  ASSERT_NE(picker, W::kNullHwnd);
  EXPECT_EQ(host.Items(picker, upgrade::kModemPickerListId).size(), 4U);
  EXPECT_EQ(host.Items(picker, upgrade::kModemPickerListId).front(), Text(session, 2120));
  ASSERT_TRUE(host.Click(picker, W::IDCANCEL));
  EXPECT_NE(WaitForMainMenu(session), W::kNullHwnd);
  EXPECT_FALSE(host.WaitForFileDialog(kNothingWait).has_value());
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::testing
