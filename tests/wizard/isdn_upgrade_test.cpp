// ISDN adapter upgrades through the pages against simulated adapters: the
// boot program erases the flash, takes the firmware by X-modem and, after
// its restart, answers with what it actually received, its add-on report,
// country and subscriber numbers reset. Each case chooses a newer file,
// answers the questions that come in order and proves the adapter as the
// run left it: the firmware it runs, the add-on, the numbers and the
// country it has again, or its rescue-mode name. Pauses take no time and
// the adapters wait nothing.
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "sim/product_options.h"
#include "support/quick_transfer_clock.h"
#include "upgrade/image_checksum.h"
#include "upgrade/model_pickers.h"
#include "upgrade/upgrade_file_builder.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

using products::kUpgradeButton;
using upgrade::FirmwareTarget;
using upgrade::UpgradeFamily;

constexpr std::size_t kFirmwareBytes = 5000;  // five 1K blocks
constexpr int kDone = 2157;
constexpr int kPicker = 0;  // a step that answers the ISDN model picker

struct Step {
  int text;                // the message's string number, or kPicker
  int button;              // the button; for the picker the line chosen
  std::string holds = {};  // what a text with a value filled in must hold
};

struct IsdnCase {
  const char* name = "";
  std::string model;
  std::string line;
  std::string newIdent;          // the file's firmware identification
  std::vector<Step> steps;       // after the transfer started, in order
  std::string nameAfter;         // the product's name once the run has ended
  std::string addOnAfter;        // the "ATI7" answer after the run ("" none)
  std::string addOnCommand;      // the "AT!M" command after the request ("" none)
  std::vector<int> numberSlots;  // slots given a number before the run
  std::string bootCodeAfter;     // KOMET II: the "ATI6" answer after the run
  sim::UpgradeOptions faults;
  std::size_t numbersRead = 0;        // "&Z*n?" queries before the request
  int versionAfter = 0;               // the version identified after the run; 0: not checked
  enum Lines lines = Lines::kMemory;  // kPty: the program opens a pty as its serial port
  std::uint16_t bootCode = 0;         // KOMET II: the file's boot code version, 0 none
  UpgradeFamily family = UpgradeFamily::Solano;
  bool rescueAtStart = false;  // found in rescue mode: the rescue question first
  bool firmwareProven = true;
  bool numbersBack = false;  // the numbers are the adapter's again
};

void PrintTo(const IsdnCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> Firmware(const IsdnCase& c) {
  return upgrade::MakeFirmware(
      c.family == UpgradeFamily::KometII ? FirmwareTarget::KometII : FirmwareTarget::Solano,
      c.newIdent, kFirmwareBytes, 21);
}

std::vector<std::uint8_t> UpgradeFile(const IsdnCase& c) {
  upgrade::UpgradeFileRecipe recipe;
  recipe.family = c.family;
  recipe.version = c.newIdent.substr(c.newIdent.rfind('V') + 1);
  recipe.firmware = Firmware(c);
  if (c.bootCode != 0) {
    recipe.bootCode = upgrade::MakeBootCode(c.bootCode, 1500, 22);
  }
  auto built = upgrade::BuildUpgradeFile(recipe);
  EXPECT_TRUE(built.ok()) << built.error;
  return std::move(built.bytes);
}

std::string Ask(WizardSession& session, const std::string& command) {
  std::string reply;
  platform::comm::Port* port = session.Program().frame.context->Port();
  // What a page's last exchange left unread is not this answer.
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  static_cast<void>(link::SendAtCommand(port, command, reply));
  return reply.substr(0, reply.find('\r'));
}

// Answers the steps in order; false (with a failure) at the first one that
// does not come as expected.
bool AnswerSteps(WizardSession& session, const std::vector<Step>& steps) {
  // A failed X-modem transfer waits for the adapter's replies first.
  constexpr auto kStepWait = 90s;
  auto& host = session.Host();
  for (const Step& step : steps) {
    if (step.text == kPicker) {
      const W::HWND picker = host.WaitForDialog(resources::kIsdnModelPickerTemplate, kStepWait);
      if (picker == W::kNullHwnd) {
        ADD_FAILURE() << "no ISDN model picker";
        return false;
      }
      EXPECT_TRUE(host.SelectItem(picker, upgrade::kIsdnPickerListId, step.button));
      EXPECT_TRUE(host.Click(picker, W::IDOK));
      continue;
    }
    const auto box = session.AnswerMessage(step.button, kStepWait);
    if (!box) {
      ADD_FAILURE() << "no message " << step.text;
      return false;
    }
    const std::string format = session.Text(step.text);
    const std::string lead = format.substr(0, format.find("%s"));
    const bool filledIn = !step.holds.empty() && box->text.starts_with(lead) &&
                          box->text.find(step.holds) != std::string::npos;
    if (session.TextId(*box) != step.text && !filledIn) {
      ADD_FAILURE() << "message " << step.text << " expected, shown: " << box->text;
      return false;
    }
  }
  return true;
}

std::size_t CountStarting(const std::vector<std::string>& lines, std::string_view prefix) {
  return static_cast<std::size_t>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

std::string Number(int slot) { return "3010" + std::to_string(slot); }

class IsdnUpgradeFlow : public ::testing::TestWithParam<IsdnCase> {};

TEST_P(IsdnUpgradeFlow, LeavesTheAdapterAsItWas) {
  const IsdnCase& c = GetParam();
  TempDir folder;
  const auto file = UpgradeFile(c);
  const std::string path = folder.Write("ISDN.LFU", std::string(file.begin(), file.end()));
  sim::ProductOptions options;
  options.upgrade = c.faults;
  options.upgrade.timePercent = 0;
  options.upgrade.powerOffTime = {};

  WizardSession session(std::vector<SessionProduct>{{c.model, c.line, options}}, c.lines);
  session.Program().upgradeHooks.makeClock = [](shell::StopSignal* stop) {
    return std::make_unique<QuickTransferClock>(stop);
  };
  session.QuickSilence();  // an adapter in its boot program is silent to the identification
  session.Start();
  auto& host = session.Host();
  std::string countryBefore;
  std::size_t before = 0;
  if (c.rescueAtStart) {
    ASSERT_TRUE(AnswerSteps(session, {{2106, W::IDYES}}));
    ASSERT_TRUE(host.AnswerFileDialog(path, kPageWait).has_value());
  } else {
    const W::HWND menu = WaitForMainMenu(session);
    ASSERT_NE(menu, W::kNullHwnd);
    ASSERT_TRUE(WaitForInput(session, menu));
    // The relayed end of the menu's last question to a modem component.
    std::this_thread::sleep_for(kNothingWait);
    for (const int slot : c.numberSlots) {
      const std::string stem = "AT&Z*" + std::to_string(slot);
      Ask(session, stem + "=" + Number(slot));
      ASSERT_EQ(Ask(session, stem + "?"), Number(slot));
    }
    if (!c.numberSlots.empty()) {
      Ask(session, "ATI5*NC003Z");  // another country than the factory's
    }
    countryBefore = Ask(session, "ATI5");
    before = session.Commands(0).size();
    ASSERT_TRUE(host.Click(menu, kUpgradeButton));
    const bool twoParts = c.model == "solano1280mi";
    const W::HWND start = session.WaitForPage(twoParts ? resources::kUpgradeChoosePartPage
                                                       : resources::kUpgradeStartPage);
    ASSERT_NE(start, W::kNullHwnd);
    ASSERT_TRUE(host.Click(start, resources::kNextArrowId));  // the ISDN part is chosen
    ASSERT_TRUE(host.AnswerFileDialog(path, kPageWait).has_value());
    const W::HWND newer = session.WaitForPage(resources::kUpgradeNewerPage);
    ASSERT_NE(newer, W::kNullHwnd);
    ASSERT_TRUE(host.Click(newer, resources::kNextArrowId));
  }
  ASSERT_NE(session.WaitForPage(resources::kUpgradeProgressPage), W::kNullHwnd);
  ASSERT_TRUE(AnswerSteps(session, c.steps));
  ASSERT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_FALSE(host.WaitForMessageBox(kNothingWait).has_value()) << "a message too many";

  const link::ModemContext& context = *session.Program().frame.context;
  const auto& product = session.Program().product;
  EXPECT_FALSE(session.Program().upgrade.running);
  EXPECT_FALSE(product.rescue.rescueStart);
  EXPECT_EQ(context.productName.rfind(c.nameAfter, 0), 0U) << context.productName;
  const auto all = session.Commands(0);
  const std::vector<std::string> run(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  if (c.versionAfter != 0) {
    EXPECT_EQ(context.firmwareVersionNumber, c.versionAfter);
  }
  if (c.firmwareProven) {
    EXPECT_EQ(Ask(session, "ATI3"), c.newIdent);
    EXPECT_EQ(Ask(session, "ATI1"), upgrade::ChecksumText(Firmware(c)));
  }
  if (!c.addOnAfter.empty()) {
    EXPECT_EQ(Ask(session, "ATI7"), c.addOnAfter);
  }
  if (!c.bootCodeAfter.empty()) {
    EXPECT_EQ(Ask(session, "ATI6"), c.bootCodeAfter);
  }
  if (c.rescueAtStart) {
    EXPECT_EQ(CountStarting(run, "ATI5"), 0U) << Lines(run);
    return;
  }
  // Identified and asked for its add-on before anything went to its flash.
  const auto request = std::find(run.begin(), run.end(), "ATUPX");
  ASSERT_NE(request, run.end()) << Lines(run);
  const std::vector<std::string> ahead(run.begin(), request);
  const std::vector<std::string> after(request, run.end());
  EXPECT_GE(CountStarting(ahead, "ATI3"), 1U) << Lines(run);
  EXPECT_EQ(CountStarting(ahead, "ATI7"), 1U) << Lines(run);
  EXPECT_EQ(CountStarting(ahead, "AT&Z*"), c.numbersRead) << Lines(run);
  const auto addOnCommands = std::count_if(after.begin(), after.end(), [](const std::string& l) {
    return l.starts_with("AT!M") && l.size() > 4 && l[4] >= '0' && l[4] <= '9';
  });
  EXPECT_EQ(addOnCommands, c.addOnCommand.empty() ? 0 : 1) << Lines(run);
  if (!c.addOnCommand.empty()) {
    EXPECT_NE(std::find(after.begin(), after.end(), c.addOnCommand), after.end()) << Lines(run);
  }
  EXPECT_EQ(CountStarting(after, "ATUPZ"), c.bootCodeAfter.empty() ? 0U : 1U) << Lines(run);
  if (c.numbersBack) {
    for (const int slot : c.numberSlots) {
      EXPECT_EQ(Ask(session, "AT&Z*" + std::to_string(slot) + "?"), Number(slot)) << slot;
    }
    EXPECT_EQ(Ask(session, "ATI5"), countryBefore);
  }
  if (c.family == UpgradeFamily::KometII && c.firmwareProven) {
    EXPECT_TRUE(product.features.komet);
  }
}

sim::UpgradeOptions Faults(void (*change)(sim::UpgradeOptions&)) {
  sim::UpgradeOptions faults;
  change(faults);
  return faults;
}

IsdnCase Make(const char* name, std::string model, std::string line, UpgradeFamily family,
              std::string ident) {
  IsdnCase c;
  c.name = name;
  c.model = std::move(model);
  c.line = std::move(line);
  c.family = family;
  c.newIdent = std::move(ident);
  return c;
}

const std::string kSolanoAb = "NORIX solano 1280i V1.50";
const std::string kSolanoMi = "NORIX solano 1280mi V1.50";
const std::string kKomet = "NORIX KOMET II V2.10";
const std::string kAnalogue = "Added Internal Analog Interface";

IsdnCase Solano(const char* name, sim::UpgradeOptions faults, std::vector<Step> steps) {
  IsdnCase c = Make(name, "solano1280i-ab", kSolanoLine, UpgradeFamily::Solano, kSolanoAb);
  c.faults = faults;
  c.steps = std::move(steps);
  c.nameAfter = "NORIX solano 1280i";
  c.addOnAfter = kAnalogue;
  c.addOnCommand = "AT!M2";
  c.numberSlots = {0, 3, 5};
  c.numbersRead = 6;
  c.numbersBack = true;
  c.versionAfter = 150;
  return c;
}

IsdnCase Komet(const char* name, std::string model, std::uint16_t bootCode, std::string bootAfter) {
  IsdnCase c = Make(name, std::move(model), kKometLine, UpgradeFamily::KometII, kKomet);
  c.bootCode = bootCode;
  c.steps = {{kDone, W::IDOK}};
  c.nameAfter = "NORIX KOMET II";
  c.bootCodeAfter = std::move(bootAfter);
  c.versionAfter = 210;
  return c;
}

std::vector<IsdnCase> Cases() {
  std::vector<IsdnCase> cases;
  cases.push_back(Solano("solano 1280i a/b over a pty: add-on, numbers and country kept", {},
                         {{kDone, W::IDOK}}));
  cases.back().lines = Lines::kPty;
  {
    IsdnCase c = Make("solano 1280i V1.30: no numbers kept", "solano1280i-old", kSolanoLine,
                      UpgradeFamily::Solano, "NORIX solano 1280i V1.50");
    c.steps = {{kDone, W::IDOK}};
    c.nameAfter = "NORIX solano 1280i";
    cases.push_back(c);
  }
  {
    IsdnCase c = Make("solano 1280mi, its ISDN part: the modem add-on and three numbers",
                      "solano1280mi", kSolanoModemLine, UpgradeFamily::Solano, kSolanoMi);
    c.steps = {{kDone, W::IDOK}};
    c.nameAfter = "NORIX solano 1280mi";
    c.addOnAfter = "Added Internal Modem";
    c.addOnCommand = "AT!M12";
    c.numberSlots = {0, 2, 4};
    c.numbersRead = 3;
    c.numbersBack = true;
    cases.push_back(c);
  }
  cases.push_back(Komet("KOMET II, a newer boot code in the file", "komet2", 0x0102, "0102"));
  cases.push_back(Komet("KOMET II, the boot code it has", "komet2", 0x0101, ""));
  {
    // The boot code it has: its upgrade is proven above, and each costs the
    // adapter's seconds of silence the dialogue waits out.
    IsdnCase c = Komet("KOMET II behind USB", "komet2-usb", 0x0101, "");
    c.line = "NORIX KOMET II USB";
    cases.push_back(c);
  }
  cases.push_back(Solano("damaged bytes: blocks sent again",
                         Faults([](sim::UpgradeOptions& o) { o.corruptEvery = 1500; }),
                         {{kDone, W::IDOK}}));
  cases.push_back(Solano("the first request unanswered, tried again",
                         Faults([](sim::UpgradeOptions& o) { o.silentRequests = 1; }),
                         {{2037, W::IDYES}, {kDone, W::IDOK}}));
  {
    IsdnCase c =
        Solano("a boot program that refuses: nothing erased",
               Faults([](sim::UpgradeOptions& o) { o.refuseDevice = true; }), {{2037, W::IDNO}});
    c.versionAfter = 142;  // still the old firmware
    c.firmwareProven = false;
    c.addOnCommand.clear();
    cases.push_back(c);
  }
  cases.push_back(Solano("power lost mid-transfer, then a rescue transfer and the picker",
                         Faults([](sim::UpgradeOptions& o) { o.powerCutFirmware = 2500; }),
                         {{2153, W::IDOK}, {kPicker, 0}, {kDone, W::IDOK}}));
  // The erase begun and never ended: the flash may be gone, so a rescue
  // transfer is offered (asking the firmware again would find none).
  cases.push_back(Solano("the erase stalls, then a rescue transfer and the picker",
                         Faults([](sim::UpgradeOptions& o) { o.stallErase = true; }),
                         {{2153, W::IDOK}, {kPicker, 0}, {kDone, W::IDOK}}));
  {
    // Every block damaged: the transfer fails, the rescue is declined, and
    // the numbers the adapter lost are named for the user.
    IsdnCase c = Solano("a storm of refused blocks, the rescue declined",
                        Faults([](sim::UpgradeOptions& o) { o.corruptEvery = 100; }),
                        {{2153, W::IDCANCEL}, {2441, W::IDOK, "1: 30100\n4: 30103\n6: 30105\n"}});
    c.nameAfter = "NORIX solano 1280 Rescue Mode";
    c.firmwareProven = false;
    c.versionAfter = 0;
    c.addOnAfter.clear();
    c.addOnCommand.clear();
    c.numbersBack = false;
    cases.push_back(c);
  }
  {
    IsdnCase c = Make("a cut solano rescued: the model picked", "solano-rescue", kSolanoLine,
                      UpgradeFamily::Solano, kSolanoAb);
    c.rescueAtStart = true;
    c.steps = {{kPicker, 0}, {kDone, W::IDOK}};
    c.nameAfter = "NORIX solano 1280i";
    c.addOnAfter = kAnalogue;
    cases.push_back(c);
  }
  {
    // A file with boot code, cut as the KOMET II's.
    IsdnCase c = Komet("a cut KOMET II rescued", "komet2-rescue", 0x0101, "");
    c.rescueAtStart = true;
    cases.push_back(c);
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Isdn, IsdnUpgradeFlow, ::testing::ValuesIn(Cases()));

// A KOMET II taken back to firmware that does not know "AT!P0" gets the
// default feature word in place of the one it reported before.
TEST(IsdnUpgradeFeatureWord, DefaultAfterFirmwareWithoutTheQuery) {
  IsdnCase c = Komet("older firmware", "komet2", 0, "");
  c.newIdent = "NORIX KOMET II V2.04";
  TempDir folder;
  const auto file = UpgradeFile(c);
  const std::string path = folder.Write("K2.LFU", std::string(file.begin(), file.end()));
  sim::ProductOptions options;
  options.upgrade.timePercent = 0;
  WizardSession session{{c.model, c.line, options}};
  session.Program().upgradeHooks.makeClock = [](shell::StopSignal* stop) {
    return std::make_unique<QuickTransferClock>(stop);
  };
  session.Start();
  auto& host = session.Host();
  const W::HWND menu = WaitForMainMenu(session);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(host.Click(menu, kUpgradeButton));
  const W::HWND start = session.WaitForPage(resources::kUpgradeStartPage);
  ASSERT_NE(start, W::kNullHwnd);
  ASSERT_TRUE(host.Click(start, resources::kNextArrowId));
  EXPECT_EQ(session.Program().product.features.featureWord, 0x1FBCU);
  ASSERT_TRUE(host.AnswerFileDialog(path, kPageWait).has_value());
  const W::HWND older = session.WaitForPage(resources::kUpgradeOlderPage);
  ASSERT_NE(older, W::kNullHwnd);
  ASSERT_TRUE(host.Click(older, resources::kNextArrowId));
  ASSERT_TRUE(AnswerSteps(session, {{kDone, W::IDOK}}));
  ASSERT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_EQ(session.Program().product.features.featureWord, device::kDefaultKometFeatureWord);
  const auto commands = session.Commands(0);
  EXPECT_GE(CountStarting(commands, "AT!P0"), 2U) << Lines(commands);
}

}  // namespace
}  // namespace norix::testing
