// From start-up to the identified product: the main menu of a single device,
// the product list of several, and what is reported when nothing usable
// answers.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/telephony_devices.h"
#include "platform/window/window_api.h"
#include "products/product_catalogue.h"
#include "products/product_list_page.h"
#include "resources/resource_ids.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

TEST(SingleDeviceTest, GoesStraightToTheMainMenuAndIdentifiesTheProduct) {
  sim::ProductOptions slow;
  slow.replyDelay = 150ms;  // keeps the "looking" state long enough to see
  WizardSession session{{"netrunner56k", kNetrunnerLine, slow}};
  session.Start();
  auto& host = session.Host();
  const W::HWND menu = session.WaitForPage(resources::kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host.Text(menu, products::kMenuStatusLine1), Text(session, 2015));
  EXPECT_EQ(host.Text(menu, products::kMenuStatusLine2), Text(session, 2102));
  for (const int hidden : {1014, 1004, 1001, 1045, 1044, 1046, 1047, 1027}) {
    EXPECT_FALSE(host.IsVisible(menu, hidden)) << hidden;
  }

  ASSERT_TRUE(WaitForProductName(session, menu));
  EXPECT_EQ(host.Text(menu, 1027), "NORIX Netrunner 56000 Voice ");
  EXPECT_EQ(host.Text(menu, 1044), Text(session, 2056));
  EXPECT_EQ(host.Text(menu, 1046), Text(session, 2156));
  EXPECT_EQ(host.Text(menu, 1047), Text(session, 2033));
  EXPECT_EQ(host.Text(menu, 1004), Text(session, 2006));
  EXPECT_EQ(host.Text(menu, 1045), Text(session, 2007));
  EXPECT_EQ(host.Text(menu, 1001), Text(session, 2004));
  for (const int shown : {1004, 1001, 1045, 1044, 1046, 1047, 1027}) {
    EXPECT_TRUE(host.IsVisible(menu, shown)) << shown;
  }
  EXPECT_FALSE(host.IsVisible(menu, products::kMenuStatusLine1));
  EXPECT_FALSE(host.IsVisible(menu, 1014)) << "no product list to go back to";

  // The checked open ("AT", then the GCI query), then identification.
  const std::vector<std::string> expected{"AT", "AT", "AT+GCI?", "ATI3"};
  EXPECT_EQ(session.Commands(0), expected) << Lines(session.Commands(0));
  EXPECT_EQ(session.Program().frame.context->firmwareVersionNumber, 110);
  EXPECT_TRUE(session.Program().frame.context->gciSupport);
  EXPECT_FALSE(session.Program().product.features.isdnAdapter);
  EXPECT_TRUE(host.MessageBoxes().empty());

  EXPECT_TRUE(session.Quit());
  // The navigator closed the port at quit: another program may take it now.
  EXPECT_TRUE(session.HoldPort(0));
}

TEST(SingleDeviceTest, KometAdapterReadsItsFeatureWord) {
  WizardSession session{{"komet2", kKometLine}};
  session.Start();
  ASSERT_NE(WaitForMainMenu(session), W::kNullHwnd);
  ASSERT_TRUE(session.WaitForLines(0, 5));
  const std::vector<std::string> commands = session.Commands(0);
  EXPECT_EQ(commands.back(), "AT!P0") << Lines(commands);
  EXPECT_TRUE(session.Quit());
  const auto& features = session.Program().product.features;
  EXPECT_TRUE(features.isdnAdapter);
  EXPECT_TRUE(features.komet);
  EXPECT_EQ(features.featureWord, 0x1FBCU);
}

TEST(ProductListTest, TwoDevicesOneHeldByAnotherProgramContinueWithTheFreeOne) {
  sim::ProductOptions slow;
  slow.replyDelay = 150ms;
  WizardSession session{{"netrunner56k", kNetrunnerLine}, {"corvid560", kCorvidLine, slow}};
  ASSERT_TRUE(session.HoldPort(0));
  session.Start();
  auto& host = session.Host();
  const W::HWND list = session.WaitForPage(resources::kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(host.WaitUntil(
      [&] { return !host.Items(list, products::kDeviceListControl).empty(); }, kPageWait));
  EXPECT_EQ(host.Items(list, products::kDeviceListControl),
            std::vector<std::string>{"NORIX Corvid 560 Voice"});

  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host.Text(menu, 1027), "NORIX Corvid 560 Voice ");
  EXPECT_TRUE(host.IsVisible(menu, 1014)) << "the list can be shown again";
  EXPECT_TRUE(session.Commands(0).empty()) << "the held product was never talked to";
  EXPECT_EQ(session.Program().frame.context->selectedIndex, 1);
  EXPECT_TRUE(host.MessageBoxes().empty());
  EXPECT_TRUE(session.Quit());
}

TEST(ProductListTest, ThreeFreeDevicesAreOfferedAndTheChoiceIsRemembered) {
  WizardSession session{
      {"netrunner56k", kNetrunnerLine}, {"corvid560", kCorvidLine}, {"komet2", kKometLine}};
  session.Start();
  auto& host = session.Host();
  W::HWND list = session.WaitForPage(resources::kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(host.WaitForVisible(list, resources::kNextArrowId, true, kPageWait));
  EXPECT_EQ(host.Items(list, products::kDeviceListControl),
            (std::vector<std::string>{"NORIX Netrunner 56000 Voice", "NORIX Corvid 560 Voice",
                                      "NORIX KOMET II"}));
  EXPECT_EQ(host.Selection(list, products::kDeviceListControl), 0);
  EXPECT_TRUE(host.IsVisible(list, products::kListHelpControl));
  EXPECT_EQ(host.Text(list, products::kListHelpControl), Text(session, 2125));
  EXPECT_FALSE(host.IsVisible(list, products::kListProgressControl));
  EXPECT_FALSE(host.IsVisible(list, products::kListStatusControl));
  EXPECT_TRUE(host.WaitUntil(
      [&] {
        const auto state = W::GetWindowState(list);
        return state && state->focusId == resources::kNextArrowId;
      },
      kPageWait))
      << "the '>' button gets the focus";
  // The checks only open and close each line: nobody was talked to.
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(session.Commands(i).empty()) << i;
  }

  ASSERT_TRUE(host.SelectItem(list, products::kDeviceListControl, 2));
  ASSERT_TRUE(host.Click(list, resources::kNextArrowId));
  W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host.Text(menu, 1027), "NORIX KOMET II ");
  EXPECT_TRUE(session.Commands(0).empty());
  EXPECT_TRUE(session.Commands(1).empty());
  EXPECT_EQ(session.Commands(2).back(), "AT!P0") << Lines(session.Commands(2));
  EXPECT_TRUE(session.Program().product.features.komet);

  // Back: the port is closed, the product forgotten and the list shows the
  // last choice again.
  ASSERT_TRUE(host.Click(menu, resources::kBackArrowId));
  list = session.WaitForPage(resources::kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(host.WaitForVisible(list, resources::kNextArrowId, true, kPageWait));
  EXPECT_EQ(host.Selection(list, products::kDeviceListControl), 2);
  EXPECT_FALSE(session.Program().product.features.komet);
  EXPECT_FALSE(session.Program().product.features.isdnAdapter);

  ASSERT_TRUE(host.SelectItem(list, products::kDeviceListControl, 0));
  ASSERT_TRUE(host.Click(list, resources::kNextArrowId));
  menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host.Text(menu, 1027), "NORIX Netrunner 56000 Voice ");
  EXPECT_TRUE(session.Quit());
}

TEST(ProductListTest, RememberedPositionPastTheEndShowsTheLastLine) {
  WizardSession session{
      {"netrunner56k", kNetrunnerLine}, {"corvid560", kCorvidLine}, {"komet2", kKometLine}};
  session.Start();
  auto& host = session.Host();
  W::HWND list = session.WaitForPage(resources::kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(host.WaitForVisible(list, resources::kNextArrowId, true, kPageWait));
  ASSERT_TRUE(host.SelectItem(list, products::kDeviceListControl, 2));
  ASSERT_TRUE(host.Click(list, resources::kNextArrowId));
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);

  // Another program takes the first device meanwhile: two lines are left.
  ASSERT_TRUE(session.HoldPort(0));
  ASSERT_TRUE(host.Click(menu, resources::kBackArrowId));
  list = session.WaitForPage(resources::kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(host.WaitForVisible(list, resources::kNextArrowId, true, kPageWait));
  EXPECT_EQ(host.Items(list, products::kDeviceListControl),
            (std::vector<std::string>{"NORIX Corvid 560 Voice", "NORIX KOMET II"}));
  EXPECT_EQ(host.Selection(list, products::kDeviceListControl), 1);
  EXPECT_TRUE(session.Quit());
}

// Nothing usable on the selected line: message 2065, then the program ends.
// A port that could not be opened is named on stderr with the reason.
// `heard` is every line the first product received before the message, in
// order: into silence each costs the check's read time-outs (1 s and 10 ms
// for the byte it asks for), so `silence`, what the program waited by those
// time-outs, is also the user's wait. The session's reads of silence end
// sooner than that.
struct NotDetectedCase {
  const char* name;
  std::vector<SessionProduct> products;
  std::vector<std::size_t> held;
  std::vector<std::string> heard;
  std::chrono::milliseconds silence{0};
};

class NotDetectedTest : public ::testing::TestWithParam<NotDetectedCase> {};

TEST_P(NotDetectedTest, ShowsMessage2065AndQuits) {
  // Over ptys: the reason comes from the serial port code.
  WizardSession session(GetParam().products, Lines::kPty);
  session.QuickSilence();
  for (const std::size_t held : GetParam().held) {
    ASSERT_TRUE(session.HoldPort(held));
  }
  ::testing::internal::CaptureStderr();
  session.Start();
  const auto box = session.AnswerMessage(W::IDOK);
  const bool finished = session.WaitFinished();
  const std::string stderrText = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(session.TextId(*box), 2065);
  EXPECT_EQ(session.CaptionId(*box), 2092);
  EXPECT_EQ(box->style, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
  EXPECT_TRUE(finished);
  EXPECT_EQ(session.Host().MessageBoxes().size(), 1U);
  std::vector<std::string> heard;
  for (const sim::TranscriptEntry& entry : session.Transcript(0)) {
    heard.push_back(entry.line);
  }
  EXPECT_EQ(heard, GetParam().heard) << Lines(heard);
  EXPECT_EQ(session.SilenceWaited(0), GetParam().silence);

  // Each line: "norix: <device name as listed>: cannot open <path>: <reason> (<fix>)".
  std::vector<std::string> reasons;
  for (const std::size_t held : GetParam().held) {
    std::vector<std::byte> name;
    for (const char c : GetParam().products[held].lineName) {
      name.push_back(static_cast<std::byte>(c));
    }
    name.push_back(std::byte{0});
    reasons.push_back("norix: " + link::TakeLineName(name) + ": cannot open " +
                      session.PortPath(held) + ": Device or resource busy (in use by ");
  }
  for (const std::string& reason : reasons) {
    EXPECT_NE(stderrText.find(reason), std::string::npos) << reason << "\nnot in:\n" << stderrText;
  }
  if (reasons.empty()) {
    EXPECT_EQ(stderrText.find("cannot open"), std::string::npos) << stderrText;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Discovery, NotDetectedTest,
    ::testing::Values(
        // The check's two "AT" and nothing after them.
        NotDetectedCase{"SilentProduct", {{"silent", kNetrunnerLine}}, {}, {"AT", "AT"}, 2020ms},
        // A PC Card: five "AT", and the whole open once more.
        NotDetectedCase{"SilentPcCard",
                        {{"silent", kMarlinLine}},
                        {},
                        std::vector<std::string>(10, "AT"),
                        10 * 1010ms},
        // "ERROR" is an answer: the product is refused at once.
        NotDetectedCase{"RefusingProduct", {{"refusing", kNetrunnerLine}}, {}, {"AT"}},
        NotDetectedCase{
            "ForeignModem", {{"foreign", kNetrunnerLine}}, {}, {"AT", "AT", "AT+GCI?", "ATI3"}},
        NotDetectedCase{"SingleDeviceHeld", {{"netrunner56k", kNetrunnerLine}}, {0}, {}},
        NotDetectedCase{"EveryListedDeviceHeld",
                        {{"netrunner56k", kNetrunnerLine}, {"corvid560", kCorvidLine}},
                        {0, 1},
                        {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A product whose firmware is damaged answers only through its flash loader:
// named by its rescue text, it is offered the upgrade again at once.
struct RescueCase {
  const char* name;
  const char* model;
  std::string line;
  std::string identification;
  bool isdn;
};

class RescueTest : public ::testing::TestWithParam<RescueCase> {};

TEST_P(RescueTest, IsOfferedTheUpgradeAtOnce) {
  const RescueCase& rescue = GetParam();
  WizardSession session{{rescue.model, rescue.line}};
  session.QuickSilence();
  session.Start();
  ASSERT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);  // identifying
  const auto question = session.AnswerMessage(W::IDNO);
  ASSERT_TRUE(question.has_value());
  EXPECT_EQ(session.TextId(*question), 2106);
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  auto& program = session.Program();
  EXPECT_EQ(program.frame.context->productName, rescue.identification);
  EXPECT_EQ(program.product.ident.text, rescue.identification);
  EXPECT_NE(program.product.ident.upgradeKind, device::kUpgradeNone);
  EXPECT_TRUE(program.product.rescue.rescueStart);
  EXPECT_EQ(program.product.rescue.isdnRescueProduct, rescue.isdn);
  EXPECT_EQ(session.Host().MessageBoxes().size(), 1U);
  EXPECT_TRUE(session.Quit());
}

INSTANTIATE_TEST_SUITE_P(
    Discovery, RescueTest,
    ::testing::Values(
        RescueCase{"Modem", "modem-rescue", kCorvidLine, "NORIX Modem Rescue Mode", false},
        // The loaders below never answer the open's "AT" with OK, but they do
        // answer: with garbage at half their speed, or with their prompt.
        RescueCase{"FastModem", "modem-rescue-115200", kCorvidLine, "NORIX Modem Rescue Mode",
                   false},
        RescueCase{"Solano", "solano-rescue", kSolanoLine, "NORIX solano 1280 Rescue Mode", true},
        RescueCase{"Komet", "komet2-rescue", kKometLine, "NORIX KOMET II Rescue Mode", true}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(PcCardModemTest, WakesUpWithinTheOpensAttempts) {
  WizardSession session{{"marlin560", kMarlinLine}};
  session.QuickSilence();
  session.Start();
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(session.Host().Text(menu, 1027), "NORIX Marlin 560 Voice ");
  EXPECT_TRUE(session.Program().product.selection.marlin);
  EXPECT_TRUE(session.Host().MessageBoxes().empty());
  EXPECT_TRUE(session.Quit());
}

TEST(PcCardModemTest, DeepSleeperIsIdentifiedAfterAllAndGetsTheGciQuery) {
  WizardSession session{{"marlin560-deep", kMarlinLine}};
  session.QuickSilence();
  session.Start();
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(session.Host().Text(menu, 1027), "NORIX Marlin 560 Voice ");
  EXPECT_TRUE(session.Program().frame.context->gciSupport) << Lines(session.Commands(0));
  EXPECT_TRUE(session.Host().MessageBoxes().empty());
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::testing
