// A screenshot tour of norix-config: the program's own start-up runs offscreen
// with simulated products, and the tour walks the wizard as a user would,
// clicking the page widgets' buttons and typing into their entries. Each page
// reached is checked (page index, header with the identified product's name,
// labels on the widgets) and saved as wizard-NN-<what>.png. Pages whose
// procedure this build does not register yet are left out of the tour.
#include "app/wizard_tour.h"

#include <QStringList>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/tour_ids.h"
#include "isdn/komet_msn_page.h"
#include "isdn/msn_setting_page.h"
#include "isdn/protocols_page.h"
#include "isdn/telephone_setting_page.h"
#include "platform/qt/control_widgets.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "services/provider_services_page.h"

namespace norix::app {
namespace {

using namespace wizard_tour;
using namespace tour_ids;

// Main menu -> product information -> back, when that page is built.
void VisitProductInformation(Tour& tour, const app::Program& program, W::HWND menu,
                             const std::string& name) {
  if (!PageBuilt(program, kProductInformationPage)) {
    return;
  }
  if (!tour.Click(menu, kProductInformationButton)) {
    return;
  }
  const W::HWND information = tour.WaitForPage(kProductInformationPage);
  if (information == W::kNullHwnd) {
    return;
  }
  tour.ExpectHeader(information, name);
  // The page reads the firmware date and the driver values once it is up.
  EXPECT_TRUE(tour.Wait(
      [&] {
        return W::GetDlgItemText(information, utilities::kProductNameId).starts_with(name) &&
               !W::GetDlgItemText(information, utilities::kDateId).empty() &&
               !W::GetDlgItemText(information, utilities::kDriverFileId).empty();
      },
      kPageWait))
      << "name \"" << W::GetDlgItemText(information, utilities::kProductNameId) << "\", date \""
      << W::GetDlgItemText(information, utilities::kDateId) << "\", driver \""
      << W::GetDlgItemText(information, utilities::kDriverFileId) << "\"";
  tour.Shoot(information, QStringLiteral("03-product-information"));
  tour.Click(information, kBackArrowId);
}

// Settings menu -> nationality -> 'X' back, when that page is built.
void VisitNationality(Tour& tour, const app::Program& program, W::HWND settings,
                      const std::string& name) {
  if (!PageBuilt(program, kNationalityPage)) {
    return;
  }
  if (!tour.Click(settings, kCountryButton)) {
    return;
  }
  const W::HWND nationality = tour.WaitForPage(kNationalityPage);
  if (nationality == W::kNullHwnd) {
    return;
  }
  tour.ExpectHeader(nationality, name);
  // The countries are read from the product after the page is up.
  tour.Wait([&] { return W::GetListCount(nationality, kCountryListId) > 0; }, kPageWait);
  tour.Shoot(nationality, QStringLiteral("06-nationality"));
  tour.Click(nationality, kCancelArrowId);
}

// Settings menu -> an ISDN number page (a KOMET II's through its radio and
// '>'), shot once it has read the adapter, -> 'X' back to the menu.
void VisitNumberPage(Tour& tour, W::HWND settings, int entry, int index, const QString& shot) {
  const bool komet = index == kKometMsnPage || index == kKometLocalPage;
  if (!tour.Click(settings, entry) || (komet && !tour.Click(settings, kNextArrowId))) {
    return;
  }
  const W::HWND page = tour.WaitForPage(index);
  if (page == W::kNullHwnd) {
    return;
  }
  // The page takes a sent message once it has read the adapter.
  static_cast<void>(W::SendMessage(page, W::WM_NULL, 0, 0));
  if (komet) {
    EXPECT_TRUE(tour.Wait(
        [&] {
          const auto text = W::GetControlState(page, isdn::kKometWaitTextId);
          return text && !text->visible;
        },
        kPageWait));
  }
  tour.Shoot(page, shot);
  tour.Click(page, kCancelArrowId);
}

// Two products: the list, then the modem's pages, then the solano adapter's menu.
void WalkModemAndSolano(Tour& tour, const app::Program& program) {
  // The detector tells the pages of this tour from the plain frame.
  EXPECT_TRUE(PageBuilt(program, kAtCommandPage));
  W::HWND list = tour.WaitForPage(kProductListPage);
  if (list == W::kNullHwnd) {
    return;
  }
  // The list is complete when the page gives '>' to the user.
  const bool checked = tour.Wait(
      [&] {
        const auto next = W::GetControlState(list, kNextArrowId);
        return next && next->visible;
      },
      kPageWait);
  ASSERT_TRUE(checked) << "the product list never offered '>'";
  const QStringList lines = tour.Lines(list, kDeviceListControl);
  ASSERT_EQ(lines.size(), 2) << lines.join(", ").toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("NORIX Netrunner 56000 Voice")))
      << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains(QStringLiteral("NORIX solano 1280i"))) << lines[1].toStdString();
  tour.Shoot(list, QStringLiteral("01-product-list"));

  // The modem: main menu, its settings menu, the AT console.
  ASSERT_TRUE(tour.Pick(list, kDeviceListControl, 0));
  ASSERT_TRUE(tour.Click(list, kNextArrowId));
  W::HWND menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.ExpectHeader(menu, kModemName));
  tour.ExpectButtonLabels(menu, {kSettingsButton, kUpgradeButton, kProductInformationButton});
  tour.Shoot(menu, QStringLiteral("02-main-menu"));

  VisitProductInformation(tour, program, menu, kModemName);
  menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);

  ASSERT_TRUE(tour.Click(menu, kSettingsButton));
  W::HWND settings = tour.WaitForPage(kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  tour.ExpectHeader(settings, kModemName);
  tour.ExpectButtonLabels(settings, {kCountryButton, kDefaultSettingButton});
  tour.Shoot(settings, QStringLiteral("04-modem-settings"));

  ASSERT_TRUE(tour.Click(settings, kDefaultSettingButton));
  const W::HWND console = tour.WaitForPage(kAtCommandPage);
  ASSERT_NE(console, W::kNullHwnd);
  tour.ExpectHeader(console, kModemName);
  // The entry sends on Enter once the page has finished its set-up.
  ASSERT_TRUE(tour.Wait(
      [&] {
        const auto entry = W::GetControlState(console, kCommandEntry);
        return entry && entry->enterMessage != 0;
      },
      kPageWait));
  ASSERT_TRUE(tour.TypeAndEnter(console, kCommandEntry, QStringLiteral("ATI3")));
  EXPECT_TRUE(tour.Wait(
      [&] {
        return W::GetDlgItemText(console, kReplyText).find(kModemIdentification) !=
               std::string::npos;
      },
      kPageWait))
      << "reply \"" << W::GetDlgItemText(console, kReplyText) << "\"";
  QString reply;
  RunOnGuiThread([&] {
    if (const auto* widget = PageWidgetOf(console)) {
      if (const auto* label = dynamic_cast<platform::qt::TextLabel*>(widget->Control(kReplyText))) {
        reply = label->Text();
      }
    }
  });
  EXPECT_TRUE(reply.contains(QString::fromStdString(kModemIdentification))) << reply.toStdString();
  tour.Shoot(console, QStringLiteral("05-at-console"));

  ASSERT_TRUE(tour.Click(console, kBackArrowId));
  settings = tour.WaitForPage(kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  VisitNationality(tour, program, settings, kModemName);
  settings = tour.WaitForPage(kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);

  // Back to the list, and the solano adapter.
  ASSERT_TRUE(tour.Click(settings, kBackArrowId));
  menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.Click(menu, kBackArrowId));
  list = tour.WaitForPage(kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(tour.Wait(
      [&] {
        const auto next = W::GetControlState(list, kNextArrowId);
        return next && next->visible;
      },
      kPageWait));
  ASSERT_TRUE(tour.Pick(list, kDeviceListControl, 1));
  ASSERT_TRUE(tour.Click(list, kNextArrowId));
  menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.ExpectHeader(menu, "NORIX solano 1280i "));
  ASSERT_TRUE(tour.Click(menu, kSettingsButton));
  settings = tour.WaitForPage(kSolanoSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  tour.ExpectHeader(settings, "NORIX solano 1280i ");
  tour.ExpectButtonLabels(settings, {kCountryButton, kMsnButton, kDefaultSettingButton});
  tour.Shoot(settings, QStringLiteral("07-solano-settings"));
  VisitNumberPage(tour, settings, kMsnButton, kMsnSettingPage, QStringLiteral("09-msn-setting"));
}

// KOMET II settings -> Protocols with two channels and BOD -> "Other" ->
// 'X' back twice; nothing is stored.
void VisitProtocols(Tour& tour, W::HWND settings) {
  // Qt takes a click on a radio only over its circle and text, which the
  // middle of the wide "Protocols" radio is not: selected through the model.
  if (!W::UserClick(settings, utilities::kProtocolsRadio) || !tour.Click(settings, kNextArrowId)) {
    return;
  }
  W::HWND protocols = tour.WaitForPage(kProtocolsPage);
  ASSERT_NE(protocols, W::kNullHwnd);
  // The description is the last thing the page fills.
  ASSERT_TRUE(
      tour.Wait([&] { return !W::GetDlgItemText(protocols, isdn::kProtocolDescription).empty(); },
                kPageWait));
  ASSERT_TRUE(tour.Click(protocols, isdn::kTwoChannelsRadio));
  ASSERT_TRUE(tour.Wait(
      [&] { return W::IsWindowEnabled(W::GetDlgItem(protocols, isdn::kBodCheck)); }, kPageWait));
  // Qt takes a click on a check box only over its box and text, which the
  // middle of the wide "BOD" box is not: ticked through the model.
  ASSERT_TRUE(W::UserClick(protocols, isdn::kBodCheck));
  ASSERT_TRUE(
      tour.Wait([&] { return W::IsWindowEnabled(W::GetDlgItem(protocols, isdn::kLastBodLabel)); },
                kPageWait));
  tour.Shoot(protocols, QStringLiteral("13-protocols"));
  ASSERT_TRUE(tour.Click(protocols, isdn::kOtherButton));
  const W::HWND choice = tour.WaitForPage(kProtocolChoicePage);
  ASSERT_NE(choice, W::kNullHwnd);
  // Feature word 1FBC: "Auto Mode always", the last row, is hidden last.
  ASSERT_TRUE(
      tour.Wait([&] { return !W::IsWindowVisible(W::GetDlgItem(choice, 1151)); }, kPageWait));
  tour.Shoot(choice, QStringLiteral("14-protocol-choice"));
  ASSERT_TRUE(tour.Click(choice, kCancelArrowId));
  protocols = tour.WaitForPage(kProtocolsPage);
  ASSERT_NE(protocols, W::kNullHwnd);
  tour.Click(protocols, kCancelArrowId);
  ASSERT_NE(tour.WaitForPage(kKometSettingsPage), W::kNullHwnd);
}

// One KOMET II: the main menu comes first and identifies it; its settings page.
void WalkKomet(Tour& tour) {
  const W::HWND menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.ExpectHeader(menu, "NORIX KOMET II "));
  ASSERT_TRUE(tour.Click(menu, kSettingsButton));
  const W::HWND settings = tour.WaitForPage(kKometSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  tour.ExpectHeader(settings, "NORIX KOMET II ");
  // The description of the remembered item is beside the radios.
  EXPECT_TRUE(tour.Wait([&] { return !W::GetDlgItemText(settings, kKometDescription).empty(); },
                        kPageWait));
  tour.Shoot(settings, QStringLiteral("08-komet-settings"));
  // Back from a page, the menu selects its remembered radio as it comes up:
  // a click before that would be undone.
  const auto settingsReady = [&tour] {
    const W::HWND again = tour.WaitForPage(kKometSettingsPage);
    EXPECT_TRUE(
        tour.Wait([&] { return !W::GetDlgItemText(again, kKometDescription).empty(); }, kPageWait));
    return again;
  };
  VisitNumberPage(tour, settings, kMsnButton, kKometMsnPage, QStringLiteral("11-komet-msn"));
  VisitNumberPage(tour, settingsReady(), kLocalRadio, kKometLocalPage,
                  QStringLiteral("12-komet-local"));
  VisitProtocols(tour, settingsReady());
  if (::testing::Test::HasFatalFailure()) {
    return;
  }

  // Provider services, read from the simulated adapter.
  const W::HWND settingsAgain = settingsReady();
  ASSERT_NE(settingsAgain, W::kNullHwnd);
  if (!tour.Click(settingsAgain, utilities::kServicesRadio) ||
      !tour.Click(settingsAgain, kNextArrowId)) {
    return;
  }
  const W::HWND services = tour.WaitForPage(kProviderServicesPage);
  ASSERT_NE(services, W::kNullHwnd);
  tour.ExpectHeader(services, "NORIX KOMET II ");
  EXPECT_TRUE(tour.Wait(
      [&] { return W::GetDlgItemText(services, services::kActivationDigits) == "31"; }, kPageWait));
  tour.Shoot(services, QStringLiteral("15-provider-services"));
}

// A solano adapter with a telephone port: its numbers on the Telephone
// setting page.
void WalkSolanoWithPort(Tour& tour) {
  const W::HWND menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  // The menu offers its buttons once it has identified the adapter.
  ASSERT_TRUE(tour.Wait(
      [&] {
        const auto button = W::GetControlState(menu, kSettingsButton);
        return button && button->visible && button->enabled;
      },
      kPageWait));
  ASSERT_TRUE(tour.Click(menu, kSettingsButton));
  const W::HWND settings = tour.WaitForPage(kSolanoSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  VisitNumberPage(tour, settings, kMsnButton, kTelephoneSettingPage,
                  QStringLiteral("10-telephone-setting"));
}

TEST(WizardTourTest, ModemAndSolanoAdapterPagesAsTheUserSeesThem) {
  const auto started = std::chrono::steady_clock::now();
  int shots = 0;
  std::string diagnostics;
  const int result = RunTour(
      {"netrunner56k", "solano1280i"},
      [&shots](Tour& tour, const app::Program& program) {
        WalkModemAndSolano(tour, program);
        shots = tour.Shots();
      },
      diagnostics);
  EXPECT_EQ(result, 0) << diagnostics;
  EXPECT_GE(shots, 5) << "list, main menu, modem settings, AT console, solano settings";
  EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);
}

TEST(WizardTourTest, KometIiSettingsAsTheUserSeesThem) {
  int shots = 0;
  std::string diagnostics;
  const int result = RunTour(
      {"komet2"},
      [&shots](Tour& tour, const app::Program&) {
        WalkKomet(tour);
        shots = tour.Shots();
      },
      diagnostics);
  EXPECT_EQ(result, 0) << diagnostics;
  EXPECT_EQ(shots, 6) << "KOMET II settings, MSN page, local setting page, Protocols, protocol "
                         "choice, provider services";
}

TEST(WizardTourTest, SolanoTelephoneSettingAsTheUserSeesIt) {
  int shots = 0;
  std::string diagnostics;
  const int result = RunTour(
      {"solano1280i-ab"},
      [&shots](Tour& tour, const app::Program&) {
        WalkSolanoWithPort(tour);
        shots = tour.Shots();
      },
      diagnostics);
  EXPECT_EQ(result, 0) << diagnostics;
  EXPECT_EQ(shots, 1);
}

}  // namespace
}  // namespace norix::app
