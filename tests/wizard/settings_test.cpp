// The Settings choice of the main menu and the three settings menus: which
// menu a product kind gets, where each item leads, and the KOMET II menu's
// remembered position and hover help.
#include <gtest/gtest.h>

#include "platform/window/control_api.h"
#include "resources/resource_ids.h"
#include "utilities/settings_menus.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

using utilities::kCountryButton;
using utilities::kDefaultSettingButton;
using utilities::kKometDescription;
using utilities::kMsnButton;
using utilities::kProtocolsRadio;
using utilities::kServicesRadio;

// Main menu -> Settings: the menu page of the product kind.
W::HWND OpenSettings(WizardSession& session, int expectedPage) {
  const W::HWND menu = WaitForMainMenu(session);
  if (menu == W::kNullHwnd) {
    return W::kNullHwnd;
  }
  // The adapter's feature queries follow the name in the header; the click
  // waits in the page's queue until they are done.
  EXPECT_TRUE(session.Host().Click(menu, kSettingsButton));
  return session.WaitForPage(expectedPage);
}

struct KindCase {
  const char* name;
  const char* model;
  std::string line;
  int settingsPage;
};

class SettingsKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(SettingsKindTest, SettingsLeadsToTheMenuOfTheProductKind) {
  WizardSession session{{GetParam().model, GetParam().line}};
  session.Start();
  const W::HWND settings = OpenSettings(session, GetParam().settingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  // '<' always goes back to the main menu.
  ASSERT_TRUE(session.Host().Click(settings, resources::kBackArrowId));
  EXPECT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsKindTest,
    ::testing::Values(KindCase{"AnalogueModem", "netrunner56k", kNetrunnerLine, 6},
                      KindCase{"SolanoAdapter", "solano1280i-ab", kSolanoLine, 7},
                      KindCase{"Komet", "komet2", kKometLine, 8}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ModemSettingsMenuTest, ShowsItsTextsAndLeadsToCountryAndDefaultSetting) {
  WizardSession session{{"netrunner56k", kNetrunnerLine}};
  session.Start();
  auto& host = session.Host();
  W::HWND settings = OpenSettings(session, resources::kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  EXPECT_EQ(host.Text(settings, kCountryButton), Text(session, 2022));
  EXPECT_EQ(host.Text(settings, 1056), Text(session, 2126));
  EXPECT_EQ(host.Text(settings, kDefaultSettingButton), Text(session, 2026));
  EXPECT_EQ(host.Text(settings, 1057), Text(session, 2127));
  EXPECT_EQ(host.Text(settings, resources::kHeaderId), "NORIX Netrunner 56000 Voice ");

  ASSERT_TRUE(host.Click(settings, kDefaultSettingButton));
  const W::HWND console = session.WaitForPage(resources::kAtCommandPage);
  ASSERT_NE(console, W::kNullHwnd);
  ASSERT_TRUE(host.Click(console, resources::kBackArrowId));
  settings = session.WaitForPage(resources::kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(host.Click(settings, kCountryButton));
  EXPECT_NE(session.WaitForPage(resources::kNationalityPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

struct MenuTargetCase {
  const char* name;
  const char* model;
  std::string line;
  int button;
  int page;
};

class MainMenuTargetTest : public ::testing::TestWithParam<MenuTargetCase> {};

TEST_P(MainMenuTargetTest, ButtonLeadsToItsPage) {
  WizardSession session{{GetParam().model, GetParam().line}};
  session.Start();
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(session.Host().Click(menu, GetParam().button));
  EXPECT_NE(session.WaitForPage(GetParam().page), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

INSTANTIATE_TEST_SUITE_P(
    MainMenu, MainMenuTargetTest,
    ::testing::Values(
        MenuTargetCase{"ProductInformation", "netrunner56k", kNetrunnerLine, 1001, 16},
        MenuTargetCase{"UpgradeModem", "netrunner56k", kNetrunnerLine, 1045, 17},
        // An adapter with an internal modem first asks which part.
        MenuTargetCase{"UpgradeAdapterWithModem", "solano1280mi", kSolanoModemLine, 1045, 18},
        MenuTargetCase{"UpgradeAdapter", "solano1280i", kSolanoLine, 1045, 17}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct MsnCase {
  const char* name;
  const char* model;
  int msnPage;
};

class SolanoMsnTest : public ::testing::TestWithParam<MsnCase> {};

TEST_P(SolanoMsnTest, MsnSettingLeadsByTheAdaptersParts) {
  WizardSession session{{GetParam().model, kSolanoLine}};
  session.Start();
  auto& host = session.Host();
  const W::HWND settings = OpenSettings(session, resources::kSolanoSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  EXPECT_EQ(host.Text(settings, kMsnButton), Text(session, 2075));
  EXPECT_EQ(host.Text(settings, 1058), Text(session, 2076));
  ASSERT_TRUE(host.Click(settings, kMsnButton));
  EXPECT_NE(session.WaitForPage(GetParam().msnPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

INSTANTIATE_TEST_SUITE_P(Settings, SolanoMsnTest,
                         ::testing::Values(MsnCase{"AnaloguePort", "solano1280i-ab", 10},
                                           MsnCase{"InternalModem", "solano1280mi", 9},
                                           MsnCase{"NoInternalHardware", "solano1280i", 9},
                                           // Old firmware answers "ATI7" with ERROR: analogue port
                                           // and no internal hardware both count.
                                           MsnCase{"OldFirmware", "solano1280i-old", 10}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(KometSettingsMenuTest, RemembersTheLastItemAndShowsHoverHelp) {
  WizardSession session{{"komet2", kKometLine}};
  session.Start();
  auto& host = session.Host();
  W::HWND settings = OpenSettings(session, resources::kKometSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  // First opening: "Protocols" with its description.
  EXPECT_TRUE(host.IsChecked(settings, kProtocolsRadio));
  EXPECT_EQ(host.Text(settings, kKometDescription), Text(session, 2227));
  const std::vector<std::pair<int, int>> labels{{1021, 2022}, {1043, 2075}, {1122, 2210},
                                                {1069, 2244}, {1068, 2026}, {1123, 2226},
                                                {1125, 2122}};
  for (const auto& [control, text] : labels) {
    EXPECT_EQ(host.Text(settings, control), Text(session, text)) << control;
  }

  // Pointing at "Provider services" explains it without selecting it.
  ASSERT_TRUE(host.Hover(settings, kServicesRadio));
  EXPECT_TRUE(host.WaitForText(settings, kKometDescription, Text(session, 2245), kPageWait));
  EXPECT_TRUE(host.IsChecked(settings, kProtocolsRadio));
  EXPECT_FALSE(host.IsChecked(settings, kServicesRadio));

  // "Default Setting" leads to the AT command page, whose '<' comes back to
  // this menu with that item selected.
  ASSERT_TRUE(host.Click(settings, kDefaultSettingButton));
  EXPECT_TRUE(host.IsChecked(settings, kDefaultSettingButton));
  ASSERT_TRUE(host.Click(settings, resources::kNextArrowId));
  const W::HWND console = session.WaitForPage(resources::kAtCommandPage);
  ASSERT_NE(console, W::kNullHwnd);
  ASSERT_TRUE(host.Click(console, resources::kBackArrowId));
  settings = session.WaitForPage(resources::kKometSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  EXPECT_TRUE(host.IsChecked(settings, kDefaultSettingButton));
  EXPECT_FALSE(host.IsChecked(settings, kProtocolsRadio));
  EXPECT_EQ(host.Text(settings, kKometDescription), Text(session, 2127));

  EXPECT_TRUE(session.Quit());
}

struct KometItemCase {
  const char* name;
  int radio;
  int page;
};

class KometItemTest : public ::testing::TestWithParam<KometItemCase> {};

TEST_P(KometItemTest, ForwardLeadsToThePageOfTheSelectedItem) {
  WizardSession session{{"komet2", kKometLine}};
  session.Start();
  auto& host = session.Host();
  const W::HWND settings = OpenSettings(session, resources::kKometSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(host.Click(settings, GetParam().radio));
  ASSERT_TRUE(host.Click(settings, resources::kNextArrowId));
  EXPECT_NE(session.WaitForPage(GetParam().page), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

INSTANTIATE_TEST_SUITE_P(Settings, KometItemTest,
                         ::testing::Values(KometItemCase{"Country", 1021, 3},
                                           KometItemCase{"Msn", 1043, 11},
                                           KometItemCase{"Local", 1122, 12},
                                           KometItemCase{"ProviderServices", 1069, 15},
                                           KometItemCase{"DefaultSetting", 1068, 5},
                                           KometItemCase{"Protocols", 1123, 13}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace norix::testing
