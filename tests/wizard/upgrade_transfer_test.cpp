// Modem upgrades through the pages against simulated products: the product
// checks the sections it receives and, after its restart, answers with what
// it actually programmed. Each case chooses a newer file on the upgrade
// page, starts the transfer and answers the questions that come, in order;
// faults of a real upgrade (power lost in either phase, silence, damaged
// bytes, a refused device) end in a verified product or in the rescue-mode
// name. Pauses take no time here and the products wait nothing.
#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/at_exchange.h"
#include "link/timeouts_keeper.h"
#include "sim/product_options.h"
#include "support/quick_transfer_clock.h"
#include "upgrade/image_checksum.h"
#include "upgrade/progress_page.h"
#include "upgrade/upgrade_file_builder.h"
#include "upgrade/upgrade_pages.h"
#include "utilities/nationality_page.h"
#include "utilities/settings_menus.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

using products::kUpgradeButton;
using upgrade::LoaderMode;

constexpr std::string_view kNewIdent = "NORIX corvid 560 Voice V1.50";
constexpr std::size_t kFirmwareBytes = 6000;  // five acknowledged raw chunks and a last one

sim::ProductOptions Quick(sim::UpgradeOptions upgrade = {}) {
  sim::ProductOptions options;
  options.upgrade = upgrade;
  options.upgrade.timePercent = 0;
  options.upgrade.powerOffTime = {};
  return options;
}

struct Box {
  int text;
  int button;
};

struct TransferCase {
  const char* name;
  LoaderMode mode;
  sim::UpgradeOptions faults;
  std::vector<Box> boxes;      // from the progress page, in order
  std::string nameAfter;       // the product's name once the run has ended
  bool firmwareProven = true;  // "ATI1" answers the file's checksum text afterwards
  int pageAfter = resources::kMainMenuPage;
  enum Lines lines = Lines::kMemory;  // kPty: the program opens a pty as its serial port
  // The loader's size; whole 1024-byte chunks put the 4 bytes that travel
  // with it ("\r\n[F") in a write of their own, after the loader.
  std::size_t loaderBytes = 2500;
};

void PrintTo(const TransferCase& c, std::ostream* os) { *os << c.name; }

// The corvid's upgrade file, with a loader of `mode`.
std::vector<std::uint8_t> UpgradeFile(LoaderMode mode, std::size_t loaderBytes = 2500) {
  upgrade::UpgradeFileRecipe recipe;
  recipe.name = "NORIX corvid 560 Voice";
  recipe.version = "1.50";
  recipe.loader = upgrade::MakeFlashLoader(mode, loaderBytes, 7);
  recipe.firmware = upgrade::MakeFirmware(upgrade::FirmwareTarget::ModemNormalFlash, kNewIdent,
                                          kFirmwareBytes, 8);
  auto built = upgrade::BuildUpgradeFile(recipe);
  EXPECT_TRUE(built.ok()) << built.error;
  return std::move(built.bytes);
}

// Answers the boxes of `expected` in order; false (with a failure) at the
// first box that is not the expected one.
bool AnswerBoxes(WizardSession& session, const std::vector<Box>& expected) {
  // A rescue transfer first looks for the boot firmware, at the transfer's
  // speed and then at its own: up to half a minute of silence before it.
  constexpr auto kRescueWait = 90s;
  for (const Box& wanted : expected) {
    const auto box = session.AnswerMessage(wanted.button, kRescueWait);
    if (!box) {
      ADD_FAILURE() << "no message " << wanted.text;
      return false;
    }
    if (session.TextId(*box) != wanted.text) {
      ADD_FAILURE() << "message " << wanted.text << " expected, shown: " << box->text;
      return false;
    }
  }
  return true;
}

// The product's answer to `command` after the run, asked on the program's
// port while the pages rest; a product left silent is given up after 1 s
// rather than the 5 s the port waits after the speed probe.
std::string Ask(WizardSession& session, const std::string& command) {
  platform::comm::Port* port = session.Program().frame.context->Port();
  const link::TimeoutsKeeper keeper(port);
  link::SetReadTotals(port, link::CurrentTimeouts(port).readMultiplier, 1000);
  std::string reply;
  static_cast<void>(link::SendAtCommand(port, command, reply));
  return reply;
}

// Session with the pauses of the transfer taking no time.
void QuickTransfers(WizardSession& session) {
  session.Program().upgradeHooks.makeClock = [](shell::StopSignal* stop) {
    return std::make_unique<QuickTransferClock>(stop);
  };
}

// From the main menu through the newer file `path` to the end of the
// transfer: answers `boxes` in order and waits for `pageAfter`. Returns the
// lines the product heard from the start of the transfer.
std::vector<std::string> UpgradeFromMenu(WizardSession& session, W::HWND menu,
                                         const std::string& path, const std::vector<Box>& boxes,
                                         int pageAfter = resources::kMainMenuPage) {
  auto& host = session.Host();
  EXPECT_TRUE(host.Click(menu, kUpgradeButton));
  const W::HWND start = session.WaitForPage(resources::kUpgradeStartPage);
  EXPECT_NE(start, W::kNullHwnd);
  EXPECT_TRUE(host.Click(start, resources::kNextArrowId));
  EXPECT_TRUE(host.AnswerFileDialog(path, kPageWait).has_value());
  const W::HWND newer = session.WaitForPage(resources::kUpgradeNewerPage);
  if (newer == W::kNullHwnd) {
    ADD_FAILURE() << "no newer version page";
    return {};
  }
  const std::size_t before = session.Commands(0).size();
  EXPECT_TRUE(host.Click(newer, resources::kNextArrowId));
  EXPECT_NE(session.WaitForPage(resources::kUpgradeProgressPage), W::kNullHwnd);
  EXPECT_TRUE(AnswerBoxes(session, boxes));
  EXPECT_NE(session.WaitForPage(pageAfter), W::kNullHwnd);
  EXPECT_FALSE(host.WaitForMessageBox(kNothingWait).has_value()) << "a message too many";
  const auto commands = session.Commands(0);
  return {commands.begin() + static_cast<std::ptrdiff_t>(std::min(before, commands.size())),
          commands.end()};
}

std::string FirmwareChecksum() {
  return upgrade::ChecksumText(upgrade::MakeFirmware(upgrade::FirmwareTarget::ModemNormalFlash,
                                                     kNewIdent, kFirmwareBytes, 8));
}

class ModemUpgradeFlow : public ::testing::TestWithParam<TransferCase> {};

TEST_P(ModemUpgradeFlow, EndsAsTheProductWasLeft) {
  const TransferCase& c = GetParam();
  TempDir folder;
  const auto file = UpgradeFile(c.mode, c.loaderBytes);
  const std::string path = folder.Write("C560V150.LFU", std::string(file.begin(), file.end()));

  WizardSession session(std::vector<SessionProduct>{{"corvid560", kCorvidLine, Quick(c.faults)}},
                        c.lines);
  QuickTransfers(session);
  session.QuickSilence();  // a product cut off mid-transfer is silent for a while
  session.Start();
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  const auto transfer = UpgradeFromMenu(session, menu, path, c.boxes, c.pageAfter);
  const link::ModemContext& context = *session.Program().frame.context;
  EXPECT_FALSE(session.Program().upgrade.running);
  EXPECT_EQ(context.productName.rfind(c.nameAfter, 0), 0U) << context.productName;
  // The product named itself before anything went to its flash (what its
  // boot firmware hears is not in the transcript).
  const auto request = std::find(transfer.begin(), transfer.end(), "AT**");
  ASSERT_NE(request, transfer.end()) << Lines(transfer);
  EXPECT_NE(std::find(transfer.begin(), request, "ATI3"), request) << Lines(transfer);
  if (c.firmwareProven) {
    // Identified anew, and the product runs exactly the file's firmware.
    EXPECT_EQ(context.firmwareVersionNumber, 150);
    EXPECT_EQ(Ask(session, "ATI1").rfind(FirmwareChecksum(), 0), 0U);
    EXPECT_EQ(Ask(session, "ATI3").rfind(kNewIdent, 0), 0U);
  } else {
    // Whatever runs now is not the file's firmware, as the run told.
    EXPECT_NE(Ask(session, "ATI1").rfind(FirmwareChecksum(), 0), 0U);
  }
}

sim::UpgradeOptions Faults(void (*change)(sim::UpgradeOptions&)) {
  sim::UpgradeOptions faults;
  change(faults);
  return faults;
}

const std::string kRescueName = "NORIX Modem Rescue Mode";
const std::string kCorvid = "NORIX Corvid 560 Voice";
constexpr int kDone = 2157;
constexpr int kNoResponse = 2085;
constexpr int kNationality = 2016;
constexpr int kInvalidResponse = 2037;  // "... try again?"

INSTANTIATE_TEST_SUITE_P(
    Modem, ModemUpgradeFlow,
    ::testing::Values(
        TransferCase{"raw chunks acknowledged by stars, over a pty",
                     LoaderMode::RawStar,
                     {},
                     {{kDone, W::IDOK}},
                     kCorvid,
                     true,
                     resources::kMainMenuPage,
                     Lines::kPty},
        TransferCase{"raw chunks acknowledged by text lines",
                     LoaderMode::RawDigit,
                     {},
                     {{kDone, W::IDOK}},
                     kCorvid},
        TransferCase{"X-modem", LoaderMode::Xmodem, {}, {{kDone, W::IDOK}}, kCorvid},
        TransferCase{"X-modem over a line that damages bytes: blocks sent again",
                     LoaderMode::Xmodem,
                     // Every 2600th byte: past the loader's 2500 bytes, into the blocks.
                     Faults([](sim::UpgradeOptions& o) { o.corruptEvery = 2600; }),
                     {{kDone, W::IDOK}},
                     kCorvid},
        TransferCase{"the first request unanswered",
                     LoaderMode::RawStar,
                     Faults([](sim::UpgradeOptions& o) { o.silentRequests = 1; }),
                     {{2095, W::IDOK}, {kDone, W::IDOK}},
                     kCorvid},
        TransferCase{"power lost in the loader, then a rescue transfer",
                     LoaderMode::RawStar,
                     Faults([](sim::UpgradeOptions& o) { o.powerCutLoader = 1000; }),
                     {{kNoResponse, W::IDOK}, {kDone, W::IDOK}, {kNationality, W::IDNO}},
                     kCorvid},
        TransferCase{"power lost in the raw firmware, then a rescue transfer",
                     LoaderMode::RawStar,
                     Faults([](sim::UpgradeOptions& o) { o.powerCutFirmware = 2500; }),
                     {{kNoResponse, W::IDOK}, {kDone, W::IDOK}, {kNationality, W::IDYES}},
                     kCorvid,
                     true,
                     resources::kNationalityPage},
        TransferCase{"X-modem, power lost in the firmware, then a rescue transfer",
                     LoaderMode::Xmodem,
                     Faults([](sim::UpgradeOptions& o) { o.powerCutFirmware = 3000; }),
                     {{kNoResponse, W::IDOK}, {kDone, W::IDOK}, {kNationality, W::IDNO}},
                     kCorvid},
        TransferCase{"raw firmware damaged on the line: the new firmware's checksum tells",
                     LoaderMode::RawStar,
                     // Every 2600th byte: the loader's 2052 bytes pass, the
                     // firmware's code is hit; the user does not try again.
                     Faults([](sim::UpgradeOptions& o) { o.corruptEvery = 2600; }),
                     {{kInvalidResponse, W::IDNO}},
                     kCorvid,
                     false,
                     resources::kMainMenuPage,
                     Lines::kMemory,
                     2048},
        TransferCase{"a loader that refuses the device",
                     LoaderMode::RawStar,
                     Faults([](sim::UpgradeOptions& o) { o.refuseDevice = true; }),
                     {{2066, W::IDOK}},
                     kRescueName,
                     false}));

// A modem found in rescue mode at start is brought back: its model named by
// the user, the file chosen, and the transfer started at its waiting boot
// firmware.
TEST(RescueAtStartTest, TheModelPickedAndTheProductVerified) {
  TempDir folder;
  const auto file = UpgradeFile(LoaderMode::RawStar);
  const std::string path = folder.Write("C560V150.LFU", std::string(file.begin(), file.end()));
  WizardSession session{{"modem-rescue", kCorvidLine, Quick()}};
  QuickTransfers(session);
  session.QuickSilence();
  session.Start();
  ASSERT_TRUE(AnswerBoxes(session, {{2106, W::IDYES}}));
  auto& host = session.Host();
  const W::HWND picker = host.WaitForDialog(resources::kModemModelPickerTemplate, kPageWait);
  ASSERT_NE(picker, W::kNullHwnd);
  ASSERT_TRUE(host.Click(picker, W::IDOK));  // the first line: a corvid 560 Voice
  const auto dialog = host.AnswerFileDialog(path, kPageWait);
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->request.fileName, "C560V???.LFU");
  ASSERT_NE(session.WaitForPage(resources::kUpgradeProgressPage), W::kNullHwnd);
  ASSERT_TRUE(AnswerBoxes(session, {{kDone, W::IDOK}, {kNationality, W::IDNO}}));
  ASSERT_NE(WaitForMainMenu(session), W::kNullHwnd);
  EXPECT_EQ(session.Program().frame.context->productName.rfind(kCorvid, 0), 0U)
      << session.Program().frame.context->productName;
  EXPECT_EQ(session.Program().frame.context->firmwareVersionNumber, 150);
  EXPECT_FALSE(session.Program().product.rescue.rescueStart);
  EXPECT_EQ(Ask(session, "ATI1").rfind(FirmwareChecksum(), 0), 0U);
  EXPECT_EQ(Ask(session, "ATI3").rfind(kNewIdent, 0), 0U);
  // No country read from a product that had none, nor put back.
  const auto commands = session.Commands(0);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ATI5"), 0) << Lines(commands);
}

// The modem component of a solano 1280mi, reached through the adapter's
// relay: chosen on the part page, upgraded and proven through "AT!M".
TEST(ModemComponentUpgradeTest, IsProvenThroughTheRelay) {
  constexpr std::string_view kComponent = "NORIX solano 1280mi Modem V1.50";
  upgrade::UpgradeFileRecipe recipe;
  recipe.name = "NORIX solano 1280mi";
  recipe.version = "1.50";
  recipe.loader = upgrade::MakeFlashLoader(LoaderMode::RawDigit, 2500, 7);
  recipe.firmware = upgrade::MakeFirmware(upgrade::FirmwareTarget::ModemNormalFlash, kComponent,
                                          kFirmwareBytes, 9);
  const auto built = upgrade::BuildUpgradeFile(recipe);
  ASSERT_TRUE(built.ok()) << built.error;
  TempDir folder;
  const std::string path =
      folder.Write("S1280M.LFU", std::string(built.bytes.begin(), built.bytes.end()));

  WizardSession session{{"solano1280mi", kSolanoModemLine, Quick()}};
  QuickTransfers(session);
  session.Start();
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  auto& host = session.Host();
  ASSERT_TRUE(host.Click(menu, kUpgradeButton));
  const W::HWND part = session.WaitForPage(resources::kUpgradeChoosePartPage);
  ASSERT_NE(part, W::kNullHwnd);
  ASSERT_TRUE(host.Click(part, upgrade::kModemRadioId));
  ASSERT_TRUE(host.Click(part, resources::kNextArrowId));
  ASSERT_TRUE(AnswerBoxes(session, {{2201, W::IDOK}}));
  ASSERT_TRUE(host.AnswerFileDialog(path, kPageWait).has_value());
  const W::HWND newer = session.WaitForPage(resources::kUpgradeNewerPage);
  ASSERT_NE(newer, W::kNullHwnd);
  EXPECT_EQ(host.Text(newer, upgrade::kVersionLabelId), Text(session, 2069));
  const std::size_t before = session.Commands(0).size();
  ASSERT_TRUE(host.Click(newer, resources::kNextArrowId));
  ASSERT_TRUE(AnswerBoxes(session, {{2202, W::IDOK}, {2140, W::IDOK}}));
  ASSERT_NE(WaitForMainMenu(session), W::kNullHwnd);
  const auto commands = session.Commands(0);
  const std::vector<std::string> transfer(commands.begin() + static_cast<std::ptrdiff_t>(before),
                                          commands.end());
  const auto request = std::find(transfer.begin(), transfer.end(), "AT**");
  ASSERT_NE(request, transfer.end()) << Lines(transfer);
  EXPECT_NE(std::find(transfer.begin(), request, "AT!MATI3"), request) << Lines(transfer);
  EXPECT_NE(std::find(request, transfer.end(), "AT!MATI1"), transfer.end()) << Lines(transfer);
  // Read again after the upgrade, as selecting the adapter reads it.
  EXPECT_NE(session.Program().frame.context->internalModemVersion.find("1.50"), std::string::npos)
      << session.Program().frame.context->internalModemVersion;
}

// The country the user set is the product's again after new firmware that
// came with its factory country.
TEST(CountryAcrossUpgradeTest, IsSetAgainAfterTheUpgrade) {
  TempDir folder;
  const auto file = UpgradeFile(LoaderMode::RawStar);
  const std::string path = folder.Write("C560V150.LFU", std::string(file.begin(), file.end()));
  WizardSession session{{"corvid560", kCorvidLine, Quick()}};
  QuickTransfers(session);
  session.Start();
  W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  auto& host = session.Host();
  ASSERT_TRUE(host.Click(menu, kSettingsButton));
  const W::HWND settings = session.WaitForPage(resources::kModemSettingsPage);
  ASSERT_NE(settings, W::kNullHwnd);
  ASSERT_TRUE(host.Click(settings, utilities::kCountryButton));
  const W::HWND nationality = session.WaitForPage(resources::kNationalityPage);
  ASSERT_NE(nationality, W::kNullHwnd);
  // The list is filled item by item; the page is ready once it shows the
  // product's country selected and its wait cursor is gone.
  ASSERT_TRUE(host.WaitUntil(
      [&] {
        const auto window = W::GetWindowState(nationality);
        return host.Selection(nationality, utilities::kCountryListId) >= 0 && window &&
               !window->waitCursor;
      },
      kPageWait));
  ASSERT_TRUE(host.SelectItem(nationality, utilities::kCountryListId, "Germany (49)"));
  ASSERT_TRUE(WaitForInput(session, nationality));
  ASSERT_TRUE(host.Click(nationality, resources::kOkArrowId));
  ASSERT_TRUE(AnswerBoxes(session, {{2024, W::IDOK}}));
  const W::HWND settingsAgain = session.WaitForPage(resources::kModemSettingsPage);
  ASSERT_NE(settingsAgain, W::kNullHwnd);
  ASSERT_TRUE(host.Click(settingsAgain, resources::kBackArrowId));
  menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  const std::string germany = Ask(session, "ATI5");

  const auto transfer = UpgradeFromMenu(session, menu, path, {{kDone, W::IDOK}});
  const auto request = std::find(transfer.begin(), transfer.end(), "AT**");
  ASSERT_NE(request, transfer.end()) << Lines(transfer);
  EXPECT_NE(std::find(request, transfer.end(), "ATI5+GCI=42"), transfer.end()) << Lines(transfer);
  EXPECT_EQ(Ask(session, "ATI5"), germany);
}

}  // namespace
}  // namespace norix::testing
