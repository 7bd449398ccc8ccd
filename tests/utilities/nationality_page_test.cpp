#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/nationality_table.h"
#include "resources/resource_ids.h"
#include "sim/analogue_modem.h"
#include "sim/isdn_adapter.h"
#include "sim/models/models.h"
#include "utilities_session.h"

namespace norix::utilities::testing {
using namespace norix::device;
namespace {

class NationalityPageTest : public UtilitiesSession {
 protected:
  // Opens the nationality page and waits until its list is filled and selected.
  W::HWND OpenPage() {
    Run(resources::kNationalityPage);
    return AwaitList();
  }
  // The page asks "ATI5" once per opening and ends its set-up with the
  // wait cursor off.
  W::HWND AwaitList() {
    const W::HWND page = WaitPage(resources::kNationalityTemplate);
    EXPECT_NE(page, W::kNullHwnd);
    const long readings = ++readings_;
    EXPECT_TRUE(host_.WaitUntil(
        [&] {
          const auto window = W::GetWindowState(page);
          return Count("ATI5") >= readings && window && !window->waitCursor;
        },
        kWait));
    return page;
  }
  [[nodiscard]] long Count(const std::string& command) const {
    const std::vector<std::string> all = product_->Commands();
    return std::count(all.begin(), all.end(), command);
  }
  long readings_ = 0;

  [[nodiscard]] int Flag(W::HWND page) const {
    const auto control = host_.Control(page, kFlagPictureId);
    return control ? control->picture : -1;
  }
  [[nodiscard]] std::string Selected(W::HWND page) const {
    const int line = host_.Selection(page, kCountryListId);
    const auto items = host_.Items(page, kCountryListId);
    return line >= 0 && static_cast<std::size_t>(line) < items.size()
               ? items[static_cast<std::size_t>(line)]
               : "";
  }
};

// The typical road: a +GCI modem set to the U.S.A. is set to Germany, and
// the wizard goes back to the modem settings menu.
TEST_F(NationalityPageTest, GciModemChangesCountryAndReturnsToTheSettingsMenu) {
  Attach("netrunner56k");
  const std::size_t before = CommandCount();
  const W::HWND page = OpenPage();
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::string>{"AT+GCI=?", "ATI5"}));
  EXPECT_EQ(host_.Text(page, kNationalityTextId), Text(2023));
  EXPECT_EQ(host_.Items(page, kCountryListId).size(), kNationalityCount);
  EXPECT_EQ(Selected(page), "U.S.A. (1)");
  EXPECT_EQ(Flag(page), resources::kLastFlagPicture);  // U.S.A.

  ASSERT_TRUE(host_.SelectItem(page, kCountryListId, "Germany (49)"));
  EXPECT_TRUE(host_.WaitUntil(
      [&] {
        return Flag(page) == resources::kFirstFlagPicture + 6; /* Germany */
      },
      kWait));
  const std::size_t beforeOk = CommandCount();
  ASSERT_TRUE(host_.Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(), Text(2024));
  EXPECT_NE(WaitPage(resources::kModemSettingsTemplate), W::kNullHwnd);
  EXPECT_EQ(CommandsFrom(beforeOk), (std::vector<std::string>{"AT*N-", "ATI5+GCI=42", "AT*N+"}));
  Quit();
}

TEST_F(NationalityPageTest, NcModemPreselectsItsCountryAndSendsTheNcCommand) {
  Attach("netrunner33k6");
  const std::size_t before = CommandCount();
  const W::HWND page = OpenPage();
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::string>{"ATI5"}));
  EXPECT_EQ(Selected(page), "Germany (49)");
  ASSERT_TRUE(host_.SelectItem(page, kCountryListId, "Sweden (46)"));
  const std::size_t beforeOk = CommandCount();
  ASSERT_TRUE(host_.Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(), Text(2024));
  EXPECT_NE(WaitPage(resources::kModemSettingsTemplate), W::kNullHwnd);
  EXPECT_EQ(CommandsFrom(beforeOk), (std::vector<std::string>{"AT*N-", "ATI5*NC014Z", "AT*N+"}));
  EXPECT_EQ(program_.product.nationality.current, 49);
  Quit();
}

TEST_F(NationalityPageTest, RefusedCountryIsReportedAndThePageReadsTheProductAgain) {
  sim::ProductOptions options;
  options.refusedCountry = 46;  // listed, but the line interface is not approved for Sweden
  Attach("netrunner33k6", options);
  const std::size_t before = CommandCount();
  const W::HWND page = OpenPage();
  ASSERT_TRUE(host_.SelectItem(page, kCountryListId, "Sweden (46)"));
  ASSERT_TRUE(host_.Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(), Text(2090));
  const W::HWND again = AwaitList();
  EXPECT_NE(again, page);
  EXPECT_TRUE(host_.WaitUntil([&] { return CommandCount() >= before + 5; }, kWait));
  EXPECT_EQ(CommandsFrom(before),
            (std::vector<std::string>{"ATI5", "AT*N-", "ATI5*NC014Z", "AT*N+", "ATI5"}));
  EXPECT_EQ(Selected(again), "Germany (49)");
  Quit();
}

TEST_F(NationalityPageTest, CurrentCountrySendsNothingAndAfterUpgradeGoesToTheMainMenu) {
  Attach("netrunner56k");
  program_.product.nationality.afterUpgrade = true;
  const W::HWND page = OpenPage();
  const std::size_t beforeOk = CommandCount();
  ASSERT_TRUE(host_.Click(page, resources::kOkArrowId));
  EXPECT_EQ(AnswerBox(), Text(2024));
  EXPECT_NE(WaitPage(resources::kMainMenuTemplate), W::kNullHwnd);
  EXPECT_EQ(CommandCount(), beforeOk);
  EXPECT_FALSE(program_.product.nationality.afterUpgrade);
  Quit();
}

TEST_F(NationalityPageTest, UnansweredIdentificationListsAllAndCancelGoesToTheAdapterMenu) {
  // Firmware without a country setting answers "ATI5" with ERROR.
  sim::IsdnAdapterData data = sim::models::Solano1280iData(sim::AdapterAddOn::AnaloguePort);
  data.countries.clear();
  Attach(sim::MakeIsdnAdapter(data));
  ASSERT_TRUE(program_.product.features.isdnAdapter);
  const W::HWND page = OpenPage();
  EXPECT_EQ(host_.Items(page, kCountryListId).size(), kNationalityCount);
  EXPECT_EQ(host_.Selection(page, kCountryListId), 0);
  EXPECT_EQ(Flag(page), 0);
  const std::size_t beforeCancel = CommandCount();
  ASSERT_TRUE(host_.Click(page, resources::kCancelArrowId));
  EXPECT_NE(WaitPage(resources::kSolanoSettingsTemplate), W::kNullHwnd);
  EXPECT_EQ(CommandCount(), beforeCancel);
  Quit();
}

}  // namespace
}  // namespace norix::utilities::testing
