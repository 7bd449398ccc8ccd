// The nationality page reached through the settings menu of the product
// kind, on in-memory lines: what it reads, what it sets, where it leads.
#include "utilities/nationality_page.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/nationality_table.h"
#include "platform/window/window_api.h"
#include "products/main_menu_page.h"
#include "resources/resource_ids.h"
#include "sim/isdn_adapter.h"
#include "sim/models/models.h"
#include "support/wizard_session.h"
#include "utilities/settings_menus.h"

namespace norix::utilities {
namespace {

namespace W = platform::window;
using ::norix::testing::kPageWait;
using ::norix::testing::WizardSession;

long Count(const WizardSession& session, const std::string& command) {
  const std::vector<std::string> all = session.Commands(0);
  return std::count(all.begin(), all.end(), command);
}

std::vector<std::string> CommandsFrom(const WizardSession& session, std::size_t from) {
  const std::vector<std::string> all = session.Commands(0);
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
}

// The page once it has read the product ("ATI5", once per opening, for the
// `readings`-th time) and ended its set-up with the wait cursor off.
W::HWND AwaitList(WizardSession& session, long readings) {
  const W::HWND page = session.WaitForPage(resources::kNationalityPage);
  EXPECT_NE(page, W::kNullHwnd);
  EXPECT_TRUE(session.Host().WaitUntil(
      [&] {
        const auto window = W::GetWindowState(page);
        return Count(session, "ATI5") >= readings && window && !window->waitCursor;
      },
      kPageWait));
  return page;
}

struct OpenedPage {
  W::HWND page{};
  std::size_t before = 0;  // the lines the product had heard when the page opened
};

// Main menu, Settings (the menu of the product kind, `settingsPage`),
// Country.
OpenedPage OpenPage(WizardSession& session, int settingsPage) {
  session.Start();
  const W::HWND menu = session.WaitForIdentifiedMenu();
  EXPECT_NE(menu, W::kNullHwnd);
  EXPECT_TRUE(session.Host().Click(menu, products::kSettingsButton));
  const W::HWND settings = session.WaitForPage(settingsPage);
  EXPECT_NE(settings, W::kNullHwnd);
  OpenedPage opened;
  opened.before = session.Commands(0).size();
  const long readings = Count(session, "ATI5") + 1;
  EXPECT_TRUE(session.Host().Click(settings, kCountryButton));
  opened.page = AwaitList(session, readings);
  return opened;
}

int Flag(WizardSession& session, W::HWND page) {
  const auto control = session.Host().Control(page, kFlagPictureId);
  return control ? control->picture : -1;
}

std::string Selected(WizardSession& session, W::HWND page) {
  const int line = session.Host().Selection(page, kCountryListId);
  const auto items = session.Host().Items(page, kCountryListId);
  return line >= 0 && static_cast<std::size_t>(line) < items.size()
             ? items[static_cast<std::size_t>(line)]
             : "";
}

// Answers the success or failure message with OK and returns its number.
int AnswerBox(WizardSession& session) {
  const auto box = session.AnswerMessage(W::IDOK);
  EXPECT_TRUE(box.has_value());
  if (!box) {
    return 0;
  }
  EXPECT_EQ(session.CaptionId(*box), shell::kMessageCaptionText);
  EXPECT_EQ(box->style, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
  return session.TextId(*box);
}

// The typical road: a +GCI modem set to the U.S.A. is set to Germany, and
// the wizard goes back to the modem settings menu.
TEST(NationalityPageTest, GciModemChangesCountryAndReturnsToTheSettingsMenu) {
  WizardSession session{{"netrunner56k", "NORIX Netrunner 56000 Voice"}};
  const auto [page, before] = OpenPage(session, resources::kModemSettingsPage);
  auto& host = session.Host();
  EXPECT_EQ(CommandsFrom(session, before), (std::vector<std::string>{"AT+GCI=?", "ATI5"}));
  EXPECT_EQ(host.Text(page, kNationalityTextId), session.Text(2023));
  EXPECT_EQ(host.Items(page, kCountryListId).size(), device::kNationalityCount);
  EXPECT_EQ(Selected(session, page), "U.S.A. (1)");
  EXPECT_EQ(Flag(session, page), resources::kLastFlagPicture);  // U.S.A.

  ASSERT_TRUE(host.SelectItem(page, kCountryListId, "Germany (49)"));
  EXPECT_TRUE(host.WaitUntil(
      [&] {
        return Flag(session, page) == resources::kFirstFlagPicture + 6; /* Germany */
      },
      kPageWait));
  const std::size_t beforeOk = session.Commands(0).size();
  ASSERT_TRUE(host.Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(session), 2024);
  EXPECT_NE(session.WaitForPage(resources::kModemSettingsPage), W::kNullHwnd);
  EXPECT_EQ(CommandsFrom(session, beforeOk),
            (std::vector<std::string>{"AT*N-", "ATI5+GCI=42", "AT*N+"}));
  EXPECT_TRUE(session.Quit());
}

TEST(NationalityPageTest, NcModemPreselectsItsCountryAndSendsTheNcCommand) {
  WizardSession session{{"netrunner33k6", "NORIX Netrunner 33600 Voice"}};
  const auto [page, before] = OpenPage(session, resources::kModemSettingsPage);
  EXPECT_EQ(CommandsFrom(session, before), (std::vector<std::string>{"ATI5"}));
  EXPECT_EQ(Selected(session, page), "Germany (49)");
  ASSERT_TRUE(session.Host().SelectItem(page, kCountryListId, "Sweden (46)"));
  const std::size_t beforeOk = session.Commands(0).size();
  ASSERT_TRUE(session.Host().Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(session), 2024);
  EXPECT_NE(session.WaitForPage(resources::kModemSettingsPage), W::kNullHwnd);
  EXPECT_EQ(CommandsFrom(session, beforeOk),
            (std::vector<std::string>{"AT*N-", "ATI5*NC014Z", "AT*N+"}));
  EXPECT_EQ(session.Program().product.nationality.current, 49);
  EXPECT_TRUE(session.Quit());
}

TEST(NationalityPageTest, RefusedCountryIsReportedAndThePageReadsTheProductAgain) {
  sim::ProductOptions options;
  options.refusedCountry = 46;  // listed, but the line interface is not approved for Sweden
  WizardSession session{{"netrunner33k6", "NORIX Netrunner 33600 Voice", options}};
  const auto [page, before] = OpenPage(session, resources::kModemSettingsPage);
  const long readings = Count(session, "ATI5");
  ASSERT_TRUE(session.Host().SelectItem(page, kCountryListId, "Sweden (46)"));
  ASSERT_TRUE(session.Host().Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(session), 2090);
  const W::HWND again = AwaitList(session, readings + 1);
  EXPECT_NE(again, page);
  EXPECT_EQ(CommandsFrom(session, before),
            (std::vector<std::string>{"ATI5", "AT*N-", "ATI5*NC014Z", "AT*N+", "ATI5"}));
  EXPECT_EQ(Selected(session, again), "Germany (49)");
  EXPECT_TRUE(session.Quit());
}

TEST(NationalityPageTest, CurrentCountrySendsNothingAndAfterUpgradeGoesToTheMainMenu) {
  WizardSession session{{"netrunner56k", "NORIX Netrunner 56000 Voice"}};
  // As the upgrade leaves it when it sends the product here.
  session.Program().product.nationality.afterUpgrade = true;
  const W::HWND page = OpenPage(session, resources::kModemSettingsPage).page;
  const std::size_t beforeOk = session.Commands(0).size();
  ASSERT_TRUE(session.Host().Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(session), 2024);
  EXPECT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_EQ(session.Commands(0).size(), beforeOk);
  EXPECT_FALSE(session.Program().product.nationality.afterUpgrade);
  EXPECT_TRUE(session.Quit());
}

TEST(NationalityPageTest, UnansweredIdentificationListsAllAndCancelGoesToTheAdapterMenu) {
  // Firmware without a country setting answers "ATI5" with ERROR.
  const auto noCountries = [] {
    sim::IsdnAdapterData data = sim::models::Solano1280iData(sim::AdapterAddOn::AnaloguePort);
    data.countries.clear();
    return sim::MakeIsdnAdapter(data);
  };
  WizardSession session{{noCountries, "NORIX solano 1280i"}};
  // Sent here by an upgrade, but left with 'X': the request ends with the visit.
  session.Program().product.nationality.afterUpgrade = true;
  const W::HWND page = OpenPage(session, resources::kSolanoSettingsPage).page;
  auto& host = session.Host();
  ASSERT_TRUE(session.Program().product.features.isdnAdapter);
  EXPECT_EQ(host.Items(page, kCountryListId).size(), device::kNationalityCount);
  EXPECT_EQ(host.Selection(page, kCountryListId), 0);
  EXPECT_EQ(Flag(session, page), 0);
  const std::size_t beforeCancel = session.Commands(0).size();
  ASSERT_TRUE(host.Click(page, resources::kCancelArrowId));
  EXPECT_NE(session.WaitForPage(resources::kSolanoSettingsPage), W::kNullHwnd);
  EXPECT_EQ(session.Commands(0).size(), beforeCancel);
  EXPECT_FALSE(session.Program().product.nationality.afterUpgrade);
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::utilities
