// The product information page reached from the main menu, on in-memory
// lines: what it reads and shows, and the line test it runs.
#include "utilities/product_info_page.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/link_fixture.h"
#include "platform/window/window_api.h"
#include "products/main_menu_page.h"
#include "resources/resource_ids.h"
#include "support/wizard_session.h"
#include "utilities/quick_line_clock.h"

namespace norix::utilities {
namespace {

namespace W = platform::window;
using ::norix::testing::kPageWait;
using ::norix::testing::SessionProduct;
using ::norix::testing::WizardSession;
using namespace std::chrono_literals;

struct OpenedPage {
  W::HWND page{};
  std::size_t before = 0;  // the lines the product had heard when the page opened
};

// Runs the wizard, waits for the main menu to identify the product, opens
// the page and waits until it shows the program version (set last, after
// every exchange).
OpenedPage OpenPage(WizardSession& session) {
  session.Start();
  const W::HWND menu = session.WaitForIdentifiedMenu();
  EXPECT_NE(menu, W::kNullHwnd);
  OpenedPage opened;
  opened.before = session.Commands(0).size();
  EXPECT_TRUE(session.Host().Click(menu, products::kProductInformationButton));
  opened.page = session.WaitForPage(resources::kProductInformationPage);
  EXPECT_NE(opened.page, W::kNullHwnd);
  EXPECT_TRUE(session.Host().WaitUntil(
      [&] { return !session.Host().Text(opened.page, kProgramVersionId).empty(); }, kPageWait));
  return opened;
}

std::vector<std::string> CommandsFrom(const WizardSession& session, std::size_t from) {
  const std::vector<std::string> all = session.Commands(0);
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
}

long Count(const WizardSession& session, const std::string& command) {
  const std::vector<std::string> all = session.Commands(0);
  return std::count(all.begin(), all.end(), command);
}

// Answers the next message box with OK and returns its text number.
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

SessionProduct WithDriver(SessionProduct product, std::string infPath, std::string date) {
  product.driver = platform::registry::DriverInfo{std::move(infPath), std::move(date), {}};
  return product;
}

TEST(ProductInfoPageTest, ModemShowsNameReleaseDriverAndDateInTheShortOrder) {
  WizardSession session{
      WithDriver({"netrunner56k", "NORIX Netrunner 56000 Voice"}, "norix56k.inf", "3-14-2024")};
  session.Program().frame.profile =
      platform::profile::UserProfile({44, "dd/MM/yyyy", "d MMMM yyyy"});
  session.Program().frame.versionText = "2.5";
  const auto [page, before] = OpenPage(session);
  auto& host = session.Host();
  EXPECT_EQ(CommandsFrom(session, before), (std::vector<std::string>{"AT+GMR?"}));
  EXPECT_EQ(host.Text(page, kProductNameId), "NORIX Netrunner 56000 Voice ");
  EXPECT_EQ(host.Text(page, kReleaseId), "1.10");
  EXPECT_EQ(host.Text(page, kDateId), "12  March  1999 ");
  EXPECT_EQ(host.Text(page, kDriverFileId), "norix56k.inf");
  EXPECT_EQ(host.Text(page, kDriverDateId), "3-14-2024");
  EXPECT_EQ(host.Text(page, kProgramVersionId), session.Text(2003) + " V2.5");
  EXPECT_EQ(host.Text(page, kProductNameLabelId), session.Text(2030));
  EXPECT_EQ(host.Text(page, kReleaseLabelId), session.Text(2032));
  EXPECT_EQ(host.Text(page, kDateLabelId), session.Text(2028));
  EXPECT_EQ(host.Text(page, kDriverLabelId), session.Text(2029));
  EXPECT_EQ(host.Text(page, kTestLineId), session.Text(2031));
  EXPECT_EQ(host.Text(page, kIsdnColumnHeadingId), "");
  EXPECT_EQ(host.Text(page, kModemDateId), "");
  EXPECT_EQ(session.Program().productInfo.firmwareDate, "12  March  1999 ");

  ASSERT_TRUE(host.Click(page, resources::kBackArrowId));
  EXPECT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

TEST(ProductInfoPageTest, EmptyShortOrderUsesTheLongOrderAndAMissingDateIsABlank) {
  WizardSession session{
      WithDriver({"netrunner33k6", "NORIX Netrunner 33600 Voice"}, "norix336.inf", "")};
  session.Program().frame.profile = platform::profile::UserProfile({1, "", "MMMM d, yyyy"});
  const auto [page, before] = OpenPage(session);
  auto& host = session.Host();
  EXPECT_EQ(CommandsFrom(session, before), (std::vector<std::string>{"AT#REV?"}));
  EXPECT_EQ(host.Text(page, kDateId), "August  15  1997 ");
  EXPECT_EQ(host.Text(page, kDriverFileId), "norix336.inf");
  EXPECT_EQ(host.Text(page, kDriverDateId), " ");
  EXPECT_TRUE(session.Quit());
}

TEST(ProductInfoPageTest, AdapterWithInternalModemShowsBothColumns) {
  WizardSession session{{"solano1280mi", "NORIX solano 1280mi"}};
  const auto [page, before] = OpenPage(session);
  auto& host = session.Host();
  EXPECT_TRUE(host.WaitUntil([&] { return !host.Text(page, kModemDateId).empty(); }, kPageWait));
  const app::Program& program = session.Program();
  ASSERT_TRUE(program.product.features.internalModem);
  ASSERT_FALSE(program.frame.context->gciSupport);
  EXPECT_EQ(CommandsFrom(session, before), (std::vector<std::string>{"AT?DATE", "AT#REV?"}));
  // Column 1 is the adapter's own date, column 2 the modem part's.
  EXPECT_EQ(host.Text(page, kDateId), "15  Mar  2000 ");
  EXPECT_EQ(host.Text(page, kModemDateId), "10  February  1999 ");
  EXPECT_EQ(host.Text(page, kIsdnColumnHeadingId), session.Text(2050));
  EXPECT_EQ(host.Text(page, kModemColumnHeadingId), session.Text(2067));
  const std::string modemVersion = program.frame.context->internalModemVersion;
  EXPECT_FALSE(modemVersion.empty());
  EXPECT_TRUE(modemVersion.starts_with(host.Text(page, kModemReleaseId)));
  EXPECT_FALSE(host.Text(page, kModemReleaseId).ends_with("\n"));
  EXPECT_TRUE(program.product.features.isdnAdapter);
  EXPECT_TRUE(session.Quit());
}

TEST(ProductInfoPageTest, LineTestOnAModemWithDialTone) {
  WizardSession session{{"netrunner56k", "NORIX Netrunner 56000 Voice", QuickCalls()}};
  const auto clock = std::make_shared<QuickLineClock>();
  session.Program().utilityPages.lineTestClock = clock;
  const W::HWND page = OpenPage(session).page;
  auto& host = session.Host();
  ASSERT_TRUE(host.Click(page, kTestLineId));
  // A second press and '<' while the test runs are ignored.
  EXPECT_TRUE(host.WaitForEnabled(page, kTestLineId, false, kPageWait));
  static_cast<void>(host.Click(page, kTestLineId));
  ASSERT_TRUE(host.Click(page, resources::kBackArrowId));
  ASSERT_TRUE(host.WaitForMessageBox(kPageWait));
  const auto outcomeCame = std::chrono::steady_clock::now();
  EXPECT_EQ(AnswerBox(session), 2098);
  EXPECT_EQ(session.Program().frame.navigator.CurrentWindow(), page);  // '<' did not leave
  EXPECT_EQ(Count(session, "ATDT"), 1);
  EXPECT_EQ(Count(session, "AT+VOL=8"), 1);
  EXPECT_EQ(session.Commands(0).back(), "AT&F");
  // "Test line" comes back four seconds after the outcome (by the clock:
  // a quarter of that here).
  const auto rest = kLineTestRest * kQuickLinePercent / 100;
  EXPECT_FALSE(host.IsEnabled(page, kTestLineId));
  EXPECT_TRUE(host.WaitForEnabled(page, kTestLineId, true, kPageWait));
  EXPECT_GE(::norix::testing::Since(outcomeCame), rest * 7 / 8);
  EXPECT_EQ(clock->Rested(), kLineTestRest);

  // A second test: the rest timer of the first one must not free the
  // button (or '<') while it runs, also when it would come round again.
  ASSERT_TRUE(host.Click(page, kTestLineId));
  EXPECT_TRUE(host.WaitForEnabled(page, kTestLineId, false, kPageWait));
  EXPECT_FALSE(host.WaitForEnabled(page, kTestLineId, true, rest * 5 / 4));
  EXPECT_EQ(AnswerBox(session), 2098);
  EXPECT_EQ(Count(session, "ATDT"), 2);
  EXPECT_EQ(clock->Paused(), 2 * 6100ms) << "each test listened its five seconds";
  EXPECT_EQ(clock->Rested(), 2 * kLineTestRest);
  // The page takes input again once the box has gone.
  EXPECT_TRUE(host.WaitUntil([&] { return W::IsWindowEnabled(page); }, kPageWait));
  ASSERT_TRUE(host.Click(page, resources::kBackArrowId));
  EXPECT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

// The outcome each kind of product reports, and the commands that show the
// test ran its way for that kind.
struct LineTestCase {
  const char* model;
  const char* line;
  bool dialTone;
  int text;
  std::vector<std::pair<std::string, long>> counts;
};

class LineTestOutcomeTest : public ::testing::TestWithParam<LineTestCase> {};

TEST_P(LineTestOutcomeTest, ReportsTheOutcomeOfTheProductKind) {
  const LineTestCase& wanted = GetParam();
  sim::ProductOptions options = QuickCalls();
  options.dialTone = wanted.dialTone;
  WizardSession session{{wanted.model, wanted.line, options}};
  session.Program().utilityPages.lineTestClock = std::make_shared<QuickLineClock>();
  const W::HWND page = OpenPage(session).page;
  ASSERT_TRUE(session.Host().Click(page, kTestLineId));
  EXPECT_EQ(AnswerBox(session), wanted.text);
  for (const auto& [command, count] : wanted.counts) {
    EXPECT_EQ(Count(session, command), count) << command;
  }
  EXPECT_TRUE(session.Quit());
}

INSTANTIATE_TEST_SUITE_P(
    ProductKinds, LineTestOutcomeTest,
    ::testing::Values(
        LineTestCase{
            "netrunner33k6", "NORIX Netrunner 33600 Voice", false, 2199, {{"AT#VOL=8", 1}}},
        // A USB modem's text mentions the loudspeaker.
        LineTestCase{"usb560", "NORIX Corvid 560V USB", true, 2097, {}},
        // An adapter with an internal modem always reports completion.
        LineTestCase{"solano1280mi", "NORIX solano 1280mi", true, 2053, {{"ATDM", 1}, {"ATH", 0}}},
        LineTestCase{"solano1280i", "NORIX solano 1280i", true, 2054, {{"ATDT1", 1}, {"ATH", 1}}},
        LineTestCase{
            "komet2", "NORIX KOMET II", false, 2200, {{"ATE0X4S7=3", 1}, {"ATD", 1}, {"ATH", 0}}}));

TEST(ProductInfoPageTest, EscDuringALineTestQuitsSoonAndResetsTheProduct) {
  WizardSession session{{"netrunner56k", "NORIX Netrunner 56000 Voice"}};
  const W::HWND page = OpenPage(session).page;
  const std::size_t lines = session.Transcript(0).size();
  ASSERT_TRUE(session.Host().Click(page, kTestLineId));
  // "AT*K0", the set-up, the volume query and setting, and the dial command.
  ASSERT_TRUE(session.WaitForLines(0, lines + 5));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(session.Quit());
  EXPECT_LT(::norix::testing::Since(start), 4000ms);
  EXPECT_EQ(session.Commands(0).back(), "AT&F");
  EXPECT_EQ(session.Host().MessageBoxes().size(), 0U);
}

}  // namespace
}  // namespace norix::utilities
