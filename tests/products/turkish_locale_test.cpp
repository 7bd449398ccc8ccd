// Identification and the catalogue lookup answer the same in a Turkish
// locale as in "C". The front end sets the user's locale; there "I" and "i"
// are not each other's case for the C library, and device names, lines.conf
// keys, the product's reply and the catalogue are full of both.
#include <cstddef>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/comm/memory_line.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "support/scoped_locale.h"
#include "support/scripted_product.h"
#include "support/temp_dir.h"
#include "upgrade/default_file_name.h"

namespace norix::products {
namespace {

namespace tapi = platform::telephony;

struct Answers {
  std::vector<std::string> devices;  // the maker's line devices the context lists
  std::string identification;        // what IdentifyProduct read from the product
  std::string productName;
  device::UpgradeClass productKind = 0;
  std::vector<std::string> rows;  // the catalogue row found for each of kTexts
  std::vector<std::optional<std::string>> fileNames;
};

const std::vector<std::string> kTexts{"NORIX KOMET II RESCUE MODE", "norix solano 1280I V1.42",
                                      "NORIX CORVID 560 VOICE V1.40", "Norix 560 v int V1.40",
                                      "NORIX MARLIN 336"};

Answers AnswersInThisLocale() {
  Answers answers;
  const norix::testing::TempDir dir;
  const auto file = dir.Write("lines.conf",
                              "[LINE]\nNAME = norix Corvid 560V USB\nPORT = /dev/norix-test-0\n"
                              "[Line]\nName = NORIX MARLIN 560 VOICE\nPort = /dev/norix-test-1\n"
                              "[line]\nname = SOLANO 1280I\nport = /dev/norix-test-2\n"
                              "[line]\nname = Acme Modem\nport = /dev/norix-test-3\n");
  std::filesystem::create_directories(dir.Path() / "by-id");
  std::filesystem::create_symlink("/dev/null",
                                  dir.Path() / "by-id" / "usb-norix_Netrunner_56K_A1B2C3D4-if00");
  std::ostringstream diagnostics;
  const tapi::LineDirectory directory(tapi::LineSources{{file}, dir.Path() / "by-id", "NORIX"},
                                      diagnostics);
  if (auto context = link::OpenContext(directory)) {
    for (const auto& device : context->devices) {
      answers.devices.push_back(device.name);
    }
    link::CloseContext(std::move(context));
  }

  platform::comm::MemoryLine line = platform::comm::MakeMemoryLine("turkish");
  {
    const norix::testing::ScriptedProduct product(*line.device, [](const std::string& command,
                                                                   const platform::comm::CommState&
                                                                       state) {
      std::vector<norix::testing::Chunk> chunks;
      if (command == "ATI3" && state.baudRate == 9600) {
        chunks.push_back({norix::testing::Answer("ATI3", {"NORIX MARLIN 560 VOICE V1.41", "OK"})});
      }
      return chunks;
    });
    link::ConfigurePort(line.host.get(), 57600);
    answers.identification = IdentifyProduct(line.host.get());
  }
  link::ModemContext context;
  ParseIdentification(answers.identification, context);
  answers.productName = context.productName;
  answers.productKind = LookupUpgradeKind(context.productName);

  for (const std::string& text : kTexts) {
    const auto row = FindCatalogueRow(text, BuiltInCatalogue());
    answers.rows.emplace_back(row ? BuiltInCatalogue().rows[*row].name : "none");
    answers.fileNames.push_back(upgrade::BuildDefaultFileName(text, true));
  }
  return answers;
}

TEST(TurkishLocale, IdentificationAndCatalogueAnswerAsInC) {
  Answers inC;
  {
    const norix::testing::ScopedLocale scoped("C");
    inC = AnswersInThisLocale();
  }
  // What "C" gives is right: the one place the answers are spelled out.
  EXPECT_EQ(inC.devices,
            (std::vector<std::string>{"norix Corvid 560V USB", "NORIX MARLIN 560 VOICE",
                                      "SOLANO 1280I", "norix Netrunner 56K"}));
  EXPECT_EQ(inC.identification, "NORIX MARLIN 560 VOICE V1.41");
  EXPECT_EQ(inC.productKind, device::kUpgradeAnalogueModem | device::kUpgradeNoSpeedProbe);
  EXPECT_EQ(inC.rows, (std::vector<std::string>{"NORIX KOMET II Rescue Mode", "NORIX solano 1280i",
                                                "NORIX corvid 560 Voice", "NORIX 560 V Int",
                                                "NORIX MARLIN 336"}));
  EXPECT_EQ(inC.fileNames[1], "1280" + std::string(upgrade::kFileNameTail));

  const norix::testing::ScopedLocale turkish(norix::testing::kTurkishLocale);
  ASSERT_TRUE(turkish.Set()) << norix::testing::kTurkishLocale
                             << " is not installed (scripts/setup generates it)";
  const Answers inTurkish = AnswersInThisLocale();
  EXPECT_EQ(inTurkish.devices, inC.devices);
  EXPECT_EQ(inTurkish.identification, inC.identification);
  EXPECT_EQ(inTurkish.productName, inC.productName);
  EXPECT_EQ(inTurkish.productKind, inC.productKind);
  EXPECT_EQ(inTurkish.rows, inC.rows);
  EXPECT_EQ(inTurkish.fileNames, inC.fileNames);
}

}  // namespace
}  // namespace norix::products
