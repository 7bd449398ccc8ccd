// Whole roads through the wizard to the utility pages, with simulated
// products as the program's line devices; the first road crosses the real
// serial port code on ptys.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/window/window_api.h"
#include "products/main_menu_page.h"
#include "resources/resource_ids.h"
#include "shell/page_messages.h"
#include "support/wizard_session.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"
#include "utilities/settings_menus.h"

namespace norix::utilities {
namespace {

namespace W = platform::window;
using ::norix::testing::kPageWait;
using ::norix::testing::WizardSession;

// The main menu once it has identified the single product.
W::HWND IdentifiedMenu(WizardSession& session) {
  const W::HWND menu = session.WaitForIdentifiedMenu();
  EXPECT_NE(menu, W::kNullHwnd);
  return menu;
}

// The nationality page once it has read the product and filled its list.
W::HWND OpenedNationalityPage(WizardSession& session) {
  const W::HWND page = session.WaitForPage(resources::kNationalityPage);
  EXPECT_NE(page, W::kNullHwnd);
  EXPECT_TRUE(session.Host().WaitUntil(
      [&] {
        const auto window = W::GetWindowState(page);
        return session.Host().Selection(page, kCountryListId) >= 0 && window && !window->waitCursor;
      },
      kPageWait));
  return page;
}

std::string SelectedCountry(WizardSession& session, W::HWND page) {
  const int line = session.Host().Selection(page, kCountryListId);
  const auto items = session.Host().Items(page, kCountryListId);
  return line >= 0 && static_cast<std::size_t>(line) < items.size()
             ? items[static_cast<std::size_t>(line)]
             : "";
}

std::vector<std::string> Tail(const std::vector<std::string>& all, std::size_t count) {
  return {all.end() - static_cast<std::ptrdiff_t>(std::min(count, all.size())), all.end()};
}

// Main menu, Settings, Country, a new country, OK: the product hears the
// reading and the bracketed setting, the user hears of the success and is
// back in the settings menu, from which Esc quits.
TEST(WizardRoadTest, ChangingTheCountryOfAnAnalogueModem) {
  WizardSession session({{"netrunner56k", "NORIX Netrunner 56000 Voice"}},
                        ::norix::testing::Lines::kPty);
  session.Start();
  W::HWND menu = IdentifiedMenu(session);
  ASSERT_TRUE(session.Host().Click(menu, products::kSettingsButton));
  W::HWND settings = session.WaitForPage(resources::kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(session.Host().Click(settings, kCountryButton));
  const W::HWND page = session.WaitForPage(resources::kNationalityPage);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(session.Host().WaitUntil(
      [&] {
        const auto window = W::GetWindowState(page);
        return session.Host().Selection(page, kCountryListId) >= 0 && window && !window->waitCursor;
      },
      kPageWait));
  EXPECT_EQ(Tail(session.Commands(0), 2), (std::vector<std::string>{"AT+GCI=?", "ATI5"}));
  EXPECT_EQ(
      session.Host().Items(
          page,
          kCountryListId)[static_cast<std::size_t>(session.Host().Selection(page, kCountryListId))],
      "U.S.A. (1)");

  ASSERT_TRUE(session.Host().SelectItem(page, kCountryListId, "Denmark (45)"));
  ASSERT_TRUE(session.Host().Click(page, resources::kOkArrowId));
  const auto box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(session.TextId(*box), 2024);
  EXPECT_EQ(session.CaptionId(*box), shell::kMessageCaptionText);
  EXPECT_EQ(box->style, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
  EXPECT_EQ(Tail(session.Commands(0), 5),
            (std::vector<std::string>{"AT+GCI=?", "ATI5", "AT*N-", "ATI5+GCI=31", "AT*N+"}));
  EXPECT_NE(session.WaitForPage(resources::kModemSettingsPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

// A choice abandoned with 'X' is forgotten: on the next visit OK keeps the
// country shown, which is the current one, so nothing is sent.
TEST(WizardRoadTest, AbandonedChoiceIsNotSetOnTheNextVisit) {
  WizardSession session{{"netrunner33k6", "NORIX Netrunner 33600 Voice"}};
  session.Start();
  W::HWND menu = IdentifiedMenu(session);
  ASSERT_TRUE(session.Host().Click(menu, products::kSettingsButton));
  W::HWND settings = session.WaitForPage(resources::kModemSettingsPage);
  ASSERT_TRUE(session.Host().Click(settings, kCountryButton));
  W::HWND page = OpenedNationalityPage(session);
  ASSERT_TRUE(session.Host().SelectItem(page, kCountryListId, "Sweden (46)"));
  ASSERT_TRUE(session.Host().Click(page, resources::kCancelArrowId));
  settings = session.WaitForPage(resources::kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(session.Host().Click(settings, kCountryButton));
  page = OpenedNationalityPage(session);
  EXPECT_EQ(SelectedCountry(session, page), "Germany (49)");
  const std::size_t before = session.Commands(0).size();
  ASSERT_TRUE(session.Host().Click(page, resources::kOkArrowId));
  const auto box = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(session.TextId(*box), 2024);
  EXPECT_EQ(session.Commands(0).size(), before);
  EXPECT_NE(session.WaitForPage(resources::kModemSettingsPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

// Main menu, Product information: the modem's name, release and firmware
// date; '<' goes back to the main menu.
TEST(WizardRoadTest, ProductInformationOfAModem) {
  WizardSession session{{"usb560", "NORIX Corvid 560V USB"}};
  session.Program().frame.profile = platform::profile::UserProfile({44, "yyyy-MM-dd", ""});
  session.Start();
  W::HWND menu = IdentifiedMenu(session);
  ASSERT_TRUE(session.Host().Click(menu, products::kProductInformationButton));
  const W::HWND page = session.WaitForPage(resources::kProductInformationPage);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(session.Host().WaitUntil(
      [&] { return !session.Host().Text(page, kProgramVersionId).empty(); }, kPageWait));
  EXPECT_EQ(session.Host().Text(page, kProductNameId), "NORIX Corvid 560V USB ");
  EXPECT_EQ(session.Host().Text(page, kReleaseId), "1.52");
  EXPECT_EQ(session.Host().Text(page, kDateId), "2000  November  28 ");
  EXPECT_EQ(session.Commands(0).back(), "AT+GMR?");
  ASSERT_TRUE(session.Host().Click(page, resources::kBackArrowId));
  EXPECT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::utilities
