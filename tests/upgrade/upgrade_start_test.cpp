// Upgrade start between "Upgrade" and the version pages: every refusal, the
// speed probe, the rescue question and model probe, and the file's version
// against the product's.
#include "upgrade/upgrade_start.h"

#include <map>
#include <optional>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "products/product_catalogue.h"
#include "support/scripted_product.h"
#include "support/temp_dir.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

namespace W = platform::window;
using norix::testing::Answer;
using norix::testing::Chunk;

struct Start {
  const char* name;
  std::string productName;                 // what identification named it
  device::UpgradeClass foundInRescue = 0;  // the kind product selection set, 0: a normal product
  std::map<std::string, std::string> answers{};   // a command's answer line; "ERROR" refuses it
  std::optional<std::string> fileName = "NORIX";  // the file's Name; none: the dialog is cancelled
  std::string fileVersion = "1.50";               // the product has 1.40
  std::map<int, int> buttons{};                   // message answers other than OK / Yes
  int picked = -1;                                // the modem model picker's answer
  int page = 1;
  std::vector<int> messages{};
  std::string ident{};  // the identification text afterwards, when it changes
  int speedIndex = 1;
  bool largeFlash = false;
  std::string dialogName{};  // the name the file dialog proposes
};

void PrintTo(const Start& s, std::ostream* os) { *os << s.name; }

class UpgradeStartCase : public ::testing::TestWithParam<Start> {};

TEST_P(UpgradeStartCase, LeadsToItsPage) {
  const Start& s = GetParam();
  auto line = platform::comm::MakeMemoryLine("start");
  link::ConfigurePort(line.host.get(), 57600);
  const norix::testing::ScriptedProduct modem(
      *line.device, [&s](const std::string& command, const platform::comm::CommState&) {
        const auto answer = s.answers.find(command);
        if (answer != s.answers.end()) {
          return std::vector<Chunk>{{Answer(command, {answer->second, "OK"})}};
        }
        return std::vector<Chunk>{{Answer(command, {"OK"})}};
      });
  norix::testing::TempDir folder;
  UpgradeFileRecipe recipe = ModemRecipe(100, 1000);
  recipe.name = s.fileName.value_or("");
  recipe.version = s.fileVersion;
  const auto file = Build(recipe);
  const auto path = folder.Write("C560V150.LFU", std::string(file.begin(), file.end()));

  link::ModemContext context;
  context.port = std::move(line.host);
  context.productName = s.productName;
  context.firmwareVersion = "1.40";
  context.firmwareVersionNumber = 140;
  device::SelectedProduct product;
  product.ident.SetText(s.productName + " V1.40");
  product.rescue.rescueStart = s.foundInRescue != 0;
  product.ident.upgradeKind = s.foundInRescue;
  UpgradeState state;
  UpgradeHooks hooks;
  hooks.lookupUpgradeKind = [](std::string_view name) { return products::LookupUpgradeKind(name); };

  std::vector<int> messages;
  std::string proposed;
  UpgradeStartUi ui;
  ui.message = [&](int textId, W::UINT style) {
    messages.push_back(textId);
    const auto button = s.buttons.find(textId);
    return button != s.buttons.end() ? button->second
                                     : ((style & 0xFU) == W::MB_YESNO ? W::IDYES : W::IDOK);
  };
  ui.pickModemModel = [&] { return s.picked; };
  ui.chooseFile = [&](const UpgradeFileDialogRequest& request) -> std::optional<std::string> {
    proposed = request.fileName.value_or("");
    return s.fileName ? std::optional<std::string>(path.string()) : std::nullopt;
  };

  EXPECT_EQ(UpgradeStart({context, product, state, hooks}, ui), s.page);
  EXPECT_EQ(messages, s.messages);
  EXPECT_EQ(product.ident.text, s.ident.empty() ? s.productName + " V1.40" : s.ident);
  EXPECT_EQ(state.speedIndex, s.speedIndex);
  EXPECT_EQ(state.image.largeFlash, s.largeFlash);
  if (!s.dialogName.empty()) {
    EXPECT_EQ(proposed, s.dialogName);
  }
}

constexpr int kNo = W::IDNO;

INSTANTIATE_TEST_SUITE_P(Refusals, UpgradeStartCase,
                         ::testing::Values(Start{.name = "not upgradable",
                                                 .productName = "NORIX corvid 288",
                                                 .messages = {2066}},
                                           Start{.name = "speed not supported",
                                                 .productName = "NORIX corvid 560 Voice",
                                                 .answers = {{"AT&F", "ERROR"}},
                                                 .messages = {2161}},
                                           Start{.name = "file dialog cancelled",
                                                 .productName = "NORIX corvid 560 Voice",
                                                 .fileName = std::nullopt,
                                                 .dialogName = "C560V???.LFU"},
                                           Start{.name = "file for another product",
                                                 .productName = "NORIX corvid 560 Voice",
                                                 .fileName = "NORIX Netrunner",
                                                 .messages = {2041}}));

INSTANTIATE_TEST_SUITE_P(
    Versions, UpgradeStartCase,
    ::testing::Values(Start{.name = "newer", .productName = "NORIX corvid 560 Voice", .page = 21},
                      Start{.name = "same",
                            .productName = "NORIX corvid 560 Voice",
                            .fileVersion = "1.40",
                            .page = 20},
                      Start{.name = "older",
                            .productName = "NORIX corvid 560 Voice",
                            .fileVersion = "1.3",
                            .page = 19},
                      Start{.name = "PC Card modem: no speed probe, no AT&F needed",
                            .productName = "NORIX Marlin 560 Voice",
                            .answers = {{"AT&F", "ERROR"}},
                            .page = 21,
                            .dialogName = "M560V???.LFU"}));

INSTANTIATE_TEST_SUITE_P(Rescue, UpgradeStartCase,
                         ::testing::Values(Start{.name = "declined",
                                                 .productName = "NORIX Modem Rescue Mode",
                                                 .foundInRescue = 9,
                                                 .buttons = {{2106, kNo}},
                                                 .messages = {2106}},
                                           Start{.name = "the modem names a large flash model",
                                                 .productName = "NORIX Modem Rescue Mode",
                                                 .foundInRescue = 9,
                                                 .answers = {{"AT*", "5"}},
                                                 .fileName = "",
                                                 .page = 22,
                                                 .messages = {2106},
                                                 .ident = "NORIX Netrunner 560 Voice",
                                                 .largeFlash = true,
                                                 .dialogName = "N560V???.LFU"},
                                           Start{.name = "the user names the model",
                                                 .productName = "NORIX Modem Rescue Mode",
                                                 .foundInRescue = 9,
                                                 .answers = {{"AT*", "ERROR"}},
                                                 .fileName = "",
                                                 .picked = 2,
                                                 .page = 22,
                                                 .messages = {2106},
                                                 .ident = "NORIX marlin 560 Voice"},
                                           Start{.name = "the picker cancelled",
                                                 .productName = "NORIX Modem Rescue Mode",
                                                 .foundInRescue = 9,
                                                 .answers = {{"AT*", "ERROR"}},
                                                 .messages = {2106}}));

TEST(UpgradeStart, DecliningTheRescueRenamesTheProductAndSkipsTheCatalogueNextTime) {
  link::ModemContext context;
  context.productName = "NORIX solano 1280 Rescue Mode";
  device::SelectedProduct product;
  product.rescue.rescueStart = true;
  product.rescue.isdnRescueProduct = true;
  product.ident.upgradeKind = 10;
  UpgradeState state;
  UpgradeHooks hooks;
  int lookups = 0;
  hooks.lookupUpgradeKind = [&](std::string_view) {
    ++lookups;
    return device::UpgradeClass{0};
  };
  UpgradeStartUi ui;
  ui.message = [](int, W::UINT) { return W::IDNO; };
  for (int time = 0; time < 2; ++time) {
    EXPECT_EQ(UpgradeStart({context, product, state, hooks}, ui), 1);
  }
  EXPECT_EQ(context.productName, "NORIX solano 1280 Rescue Mode");
  EXPECT_TRUE(product.rescue.rescueStart);
  EXPECT_EQ(lookups, 0);
}

}  // namespace
}  // namespace norix::upgrade::testing
