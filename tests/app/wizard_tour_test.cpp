// A screenshot tour of norix-config: the program's own start-up runs offscreen
// with simulated products, and the tour walks the wizard as a user would,
// clicking the page widgets' buttons and typing into their entries. Each page
// reached is checked (page index, header with the identified product's name,
// labels on the widgets) and saved as wizard-NN-<what>.png. Pages whose
// procedure this build does not register yet are left out of the tour.
#include "app/wizard_tour.h"

#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <regex>
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
#include "support/temp_dir.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_file_builder.h"
#include "upgrade/upgrade_pages.h"
#include "upgrade/upgrade_view.h"
#include "utilities/at_console.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"
#include "utilities/settings_menus.h"

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

// Where the tour holds a transfer: the transfer waits there until the tour
// has taken its picture, or for at most `limit` (within the loader's 5 s of
// patience between raw chunks).
class TransferHold {
 public:
  void HoldHere(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    held_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, limit, [&] { return released_; });
  }
  bool WaitHeld(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return held_; });
  }
  void Release() {
    const std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  bool released_ = false;
};

// The transfer's clock in the tour: pauses take no time, every reading is
// two seconds on, so the remaining time has something to show, and the
// reading at the third acknowledged raw chunk is held.
class TourClock final : public upgrade::TransferClock {
 public:
  TourClock(shell::StopSignal* stop, std::shared_ptr<TransferHold> hold)
      : stop_(stop), hold_(std::move(hold)) {}
  bool Pause(std::chrono::milliseconds /*duration*/) override { return !StopRequested(); }
  std::int64_t NowSeconds() override {
    // The phase's start, then one reading per acknowledged chunk.
    constexpr int kHeldReading = 4;
    if (++readings_ == kHeldReading) {
      hold_->HoldHere(3s);
    }
    return 2 * static_cast<std::int64_t>(readings_);
  }
  [[nodiscard]] bool StopRequested() const override {
    return stop_ != nullptr && stop_->Requested();
  }

 private:
  shell::StopSignal* stop_;
  std::shared_ptr<TransferHold> hold_;
  int readings_ = 0;
};

// The corvid 560's upgrade files of three versions; the modem has 1.40.
struct UpgradeFiles {
  norix::testing::TempDir folder;
  QString older;
  QString same;
  QString newer;
};

void WriteUpgradeFiles(UpgradeFiles& files) {
  const auto write = [&files](const std::string& version, const std::string& name) {
    upgrade::UpgradeFileRecipe recipe;
    recipe.name = "NORIX corvid 560 Voice";
    recipe.version = version;
    recipe.loader = upgrade::MakeFlashLoader(upgrade::LoaderMode::RawStar, 2500, 7);
    // Five acknowledged raw chunks and a last one.
    recipe.firmware = upgrade::MakeFirmware(upgrade::FirmwareTarget::ModemNormalFlash,
                                            "NORIX corvid 560 Voice V" + version, 6000, 8);
    const auto built = upgrade::BuildUpgradeFile(recipe);
    EXPECT_TRUE(built.ok()) << built.error;
    return QString::fromStdString(
        files.folder.Write(name, std::string(built.bytes.begin(), built.bytes.end())).string());
  };
  files.older = write("1.30", "C560V130.LFU");
  files.same = write("1.40", "C560V140.LFU");
  files.newer = write("1.50", "C560V150.LFU");
}

// Main menu -> upgrade page -> a file -> the version page it leads to.
W::HWND ChooseVersion(Tour& tour, W::HWND from, int arrow, const QString& file, int page) {
  if (!tour.Click(from, arrow) || !tour.ChooseFile(file)) {
    return W::kNullHwnd;
  }
  return tour.WaitForPage(page);
}

// The corvid 560: the upgrade pages, each version page, "<" from the older
// and same version pages back to the file dialog, and an upgrade to the
// newer version with the progress page held mid-transfer; then the solano
// 1280mi's choice of the part to upgrade.
void WalkUpgrade(Tour& tour, const app::Program& program, TransferHold& hold) {
  UpgradeFiles files;
  WriteUpgradeFiles(files);
  const std::string corvid = "NORIX Corvid 560 Voice ";
  W::HWND list = tour.WaitForPage(kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  const auto listed = [&] {
    const auto next = W::GetControlState(list, kNextArrowId);
    return next && next->visible;
  };
  ASSERT_TRUE(tour.Wait(listed, kPageWait));
  ASSERT_TRUE(tour.Pick(list, kDeviceListControl, 0));
  ASSERT_TRUE(tour.Click(list, kNextArrowId));
  W::HWND menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.ExpectHeader(menu, corvid));

  ASSERT_TRUE(tour.Click(menu, kUpgradeButton));
  const W::HWND start = tour.WaitForPage(kUpgradeStartPage);
  ASSERT_NE(start, W::kNullHwnd);
  tour.ExpectHeader(start, corvid);
  EXPECT_EQ(W::GetDlgItemText(start, upgrade::kVersionValueId), "1.40");
  tour.Shoot(start, QStringLiteral("17-upgrade-start"));

  const W::HWND older = ChooseVersion(tour, start, kNextArrowId, files.older, kUpgradeOlderPage);
  ASSERT_NE(older, W::kNullHwnd);
  tour.Shoot(older, QStringLiteral("19-upgrade-older"));
  const W::HWND same = ChooseVersion(tour, older, kBackArrowId, files.same, kUpgradeSamePage);
  ASSERT_NE(same, W::kNullHwnd);
  tour.Shoot(same, QStringLiteral("20-upgrade-same"));
  const W::HWND newer = ChooseVersion(tour, same, kBackArrowId, files.newer, kUpgradeNewerPage);
  ASSERT_NE(newer, W::kNullHwnd);
  tour.Shoot(newer, QStringLiteral("21-upgrade-newer"));

  ASSERT_TRUE(tour.Click(newer, kNextArrowId));
  const W::HWND progress = tour.WaitForPage(kUpgradeProgressPage);
  ASSERT_NE(progress, W::kNullHwnd);
  // The product's own pace (loader start, programming) is real; the
  // transfer's pauses are the tour's.
  ASSERT_TRUE(hold.WaitHeld(kPageWait)) << "the raw firmware never got under way";
  const std::string remaining = W::GetDlgItemText(progress, upgrade::kXmodemTimeText);
  EXPECT_TRUE(std::regex_match(remaining, std::regex("[0-9]{2,}:[0-5][0-9]"))) << remaining;
  EXPECT_EQ(W::GetDlgItemText(progress, upgrade::kProgressStatusId),
            program.frame.texts.LoadText(upgrade::kStatusFirmware, 512));
  tour.Shoot(progress, QStringLiteral("22-upgrade-progress"));
  hold.Release();
  const auto done = tour.AnswerBox(QMessageBox::Ok, 60s);
  EXPECT_EQ(done, program.frame.texts.LoadText(upgrade::kStatusCompleted, 512));
  menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(program.frame.context->firmwareVersionNumber, 150);

  // The solano 1280mi: which of its parts to upgrade.
  ASSERT_TRUE(tour.Click(menu, kBackArrowId));
  list = tour.WaitForPage(kProductListPage);
  ASSERT_NE(list, W::kNullHwnd);
  ASSERT_TRUE(tour.Wait(listed, kPageWait));
  ASSERT_TRUE(tour.Pick(list, kDeviceListControl, 1));
  ASSERT_TRUE(tour.Click(list, kNextArrowId));
  menu = tour.WaitForPage(kMainMenuPage);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(tour.Click(menu, kUpgradeButton));
  const W::HWND part = tour.WaitForPage(kUpgradeChoosePartPage);
  ASSERT_NE(part, W::kNullHwnd);
  tour.Shoot(part, QStringLiteral("18-upgrade-choose-part"));
  tour.Click(part, kBackArrowId);
  EXPECT_NE(tour.WaitForPage(kMainMenuPage), W::kNullHwnd);
}

TEST(WizardTourTest, UpgradePagesAndATransferUnderWay) {
  auto hold = std::make_shared<TransferHold>();
  int shots = 0;
  std::string diagnostics;
  const int result = RunTour(
      {"corvid560", "solano1280mi"},
      [&shots, &hold](Tour& tour, const app::Program& program) {
        WalkUpgrade(tour, program, *hold);
        hold->Release();  // never leave the transfer held
        shots = tour.Shots();
      },
      diagnostics, {},
      [hold](app::Program& program) {
        program.upgradeHooks.makeClock = [hold](shell::StopSignal* stop) {
          return std::make_unique<TourClock>(stop, hold);
        };
      });
  EXPECT_EQ(result, 0) << diagnostics;
  EXPECT_EQ(shots, 6) << "pages 17 to 22";
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
