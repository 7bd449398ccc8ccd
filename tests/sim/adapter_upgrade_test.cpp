// The ISDN adapters' side of a firmware upgrade, as scripted host
// transcripts over an in-memory line: "ATUPX" (or the CR of a rescue
// transfer), the prompt, "y", the erase, X-modem/CRC with 1024-byte blocks
// through the program's sender, the closing lines, the restart, and what the
// adapter is afterwards; the KOMET II boot code; the subscriber numbers.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/adapter_boot_program.h"
#include "sim/product_options.h"
#include "upgrade/image_checksum.h"
#include "upgrade_host.h"

namespace norix::sim {
namespace {

using namespace test;
using upgrade::FirmwareTarget;

constexpr std::size_t kFirmwareSize = 5000;  // four 1024-byte blocks and seven of 128
constexpr std::string_view kSolanoIdent = "NORIX solano 1280i V1.50";
constexpr std::string_view kKometIdent = "NORIX KOMET II V2.10";
constexpr const char* kSolanoPrompt = "\r\nAre You sure to upgrade (Y/N)? ";
constexpr const char* kKometPrompt = "\r\nDo You really want to upgrade Your KOMET II (Y/N)? ";
constexpr const char* kErased =
    "y\r\n\r\nDo NOT power off the TA during the upgrade!\r\nErasing FLASH ....... OK\r\n"
    "Please upload binary file using X-MODEM/CRC.\r\n";
constexpr const char* kBooting = "\r\nTransfer Complete\r\nBooting the TA\r\n";

enum class Transfer : std::uint8_t { None, Firmware, Cancelled };
enum class After : std::uint8_t { NewFirmware, OldFirmware, RescueMode };

struct AdapterCase {
  const char* model;
  std::uint32_t speed;
  const char* request;  // "ATUPX\r", or a CR for a boot program already waiting
  const char* asked;    // the echo and the prompt
  UpgradeOptions options;
  FirmwareTarget target;
  const char* confirmed;  // the answer to "y"
  Transfer transfer;
  const char* closing;  // after the transfer (restart "OK" included)
  After after;
  const char* rescuePrompt = "";
};

UpgradeOptions Options(void (*change)(UpgradeOptions&) = nullptr) {
  UpgradeOptions options;
  options.timePercent = 0;
  options.powerOffTime = {};
  if (change != nullptr) {
    change(options);
  }
  return options;
}

std::string_view IdentFor(FirmwareTarget target) {
  return target == FirmwareTarget::KometII ? kKometIdent : kSolanoIdent;
}

class AdapterUpgradeTest : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(AdapterUpgradeTest, Transcript) {
  const AdapterCase& c = GetParam();
  ProductOptions options;
  options.upgrade = c.options;
  auto line = StartOnMemoryLine(c.model, options);
  Port& host = *line.host;
  SetSpeed(host, c.speed);
  const std::string oldIdent = c.after == After::OldFirmware ? Command(host, "ATI3") : "";

  Write(host, c.request);
  if (std::string(c.asked).empty()) {
    EXPECT_EQ(ReadFor(host, 300ms), "ATUPX\r");
  } else {
    EXPECT_EQ(ReadUntil(host, c.asked), c.asked);
  }
  if (!std::string(c.confirmed).empty()) {
    Write(host, "y");
    EXPECT_EQ(ReadExactly(host, c.confirmed), c.confirmed);
  }
  const auto firmware = Firmware(c.target, IdentFor(c.target), kFirmwareSize);
  if (c.transfer == Transfer::Firmware) {
    EXPECT_EQ(SendXmodem(host, firmware, true), c.options.powerCutFirmware == std::nullopt);
  } else if (c.transfer == Transfer::Cancelled) {
    ReadUntil(host, "C");  // the receiver asks for the transfer
    WriteBytes(host, std::vector<std::uint8_t>{0x18, 0x18});
  }
  if (std::string(c.closing).empty()) {
    EXPECT_EQ(ReadFor(host, 200ms), "");
  } else {
    EXPECT_EQ(ReadUntil(host, c.closing), c.closing);
  }

  switch (c.after) {
    case After::NewFirmware:
      ASSERT_TRUE(WaitForOk(host));
      EXPECT_EQ(Command(host, "ATI3"),
                "ATI3\r\r\n" + std::string(IdentFor(c.target)) + "\r\n\r\nOK\r\n");
      EXPECT_EQ(Command(host, "ATI1"),
                "ATI1\r\r\n" + upgrade::ChecksumText(firmware) + "\r\n\r\nOK\r\n");
      break;
    case After::OldFirmware:
      ASSERT_TRUE(WaitForOk(host));
      EXPECT_EQ(Command(host, "ATI3"), oldIdent);
      break;
    case After::RescueMode:
      // The boot program waits at 57600 bit/s, showing its prompt on a CR.
      ReadFor(host, 300ms);
      SetSpeed(host, 57600);
      Write(host, "AT\r");
      EXPECT_EQ(ReadUntil(host, c.rescuePrompt), c.rescuePrompt);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Upgrades, AdapterUpgradeTest,
    ::testing::Values(
        AdapterCase{"solano1280i-ab", 115200, "ATUPX\r",
                    "ATUPX\r\r\nAre You sure to upgrade (Y/N)? ", Options(), FirmwareTarget::Solano,
                    kErased, Transfer::Firmware,
                    "\r\nTransfer Complete\r\nBooting the TA\r\n\r\nOK\r\n", After::NewFirmware},
        // The KOMET II restarts without a word; behind USB it says OK and
        // answers at any speed.
        AdapterCase{"komet2", 57600, "ATUPX\r",
                    "ATUPX\r\r\nDo You really want to upgrade Your KOMET II (Y/N)? ", Options(),
                    FirmwareTarget::KometII, kErased, Transfer::Firmware, kBooting,
                    After::NewFirmware},
        AdapterCase{"komet2-usb", 14400, "ATUPX\r",
                    "ATUPX\r\r\nDo You really want to upgrade Your KOMET II (Y/N)? ", Options(),
                    FirmwareTarget::KometII, kErased, Transfer::Firmware,
                    "\r\nTransfer Complete\r\nBooting the TA\r\n\r\nOK\r\n", After::NewFirmware},
        // A rescue transfer wakes the waiting boot program with a CR alone.
        AdapterCase{"solano-rescue", 57600, "\r", kSolanoPrompt, Options(), FirmwareTarget::Solano,
                    kErased, Transfer::Firmware,
                    "\r\nTransfer Complete\r\nBooting the TA\r\n\r\nOK\r\n", After::NewFirmware},
        AdapterCase{"komet2-rescue", 57600, "\r", kKometPrompt, Options(), FirmwareTarget::KometII,
                    kErased, Transfer::Firmware, kBooting, After::NewFirmware}));

INSTANTIATE_TEST_SUITE_P(
    Failures, AdapterUpgradeTest,
    ::testing::Values(
        AdapterCase{"solano1280i", 115200, "ATUPX\r", "",
                    Options([](UpgradeOptions& o) { o.silentRequests = 1; }),
                    FirmwareTarget::Solano, "", Transfer::None, "", After::OldFirmware},
        AdapterCase{"solano1280i", 115200, "ATUPX\r", "ATUPX\r\r\nAre You sure to upgrade (Y/N)? ",
                    Options([](UpgradeOptions& o) { o.refuseDevice = true; }),
                    FirmwareTarget::Solano, "y\r\nWrong device\r\n", Transfer::None, "",
                    After::OldFirmware},
        // Firmware for the other family is not programmed; the erased flash
        // leaves the boot program.
        AdapterCase{"solano1280i", 115200, "ATUPX\r", "ATUPX\r\r\nAre You sure to upgrade (Y/N)? ",
                    Options(), FirmwareTarget::KometII, kErased, Transfer::Firmware,
                    "\r\nTransfer Complete\r\nInvalid firmware file\r\nBooting the TA\r\n",
                    After::RescueMode, kSolanoPrompt},
        AdapterCase{"komet2", 115200, "ATUPX\r",
                    "ATUPX\r\r\nDo You really want to upgrade Your KOMET II (Y/N)? ", Options(),
                    FirmwareTarget::KometII, kErased, Transfer::Cancelled,
                    "\r\nTransfer failed\r\n", After::RescueMode, kKometPrompt},
        AdapterCase{"solano1280mi", 115200, "ATUPX\r", "ATUPX\r\r\nAre You sure to upgrade (Y/N)? ",
                    Options([](UpgradeOptions& o) { o.powerCutFirmware = 2000; }),
                    FirmwareTarget::Solano, kErased, Transfer::Firmware, "", After::RescueMode,
                    kSolanoPrompt}));

// Firmware before V2.05 knows no "AT!P0", also when an upgrade brings it.
TEST(AdapterUpgrade, KometFeatureWordComesWithTheFirmware) {
  ProductOptions options;
  options.upgrade = Options();
  auto line = StartOnMemoryLine("komet2", options);
  Port& host = *line.host;
  SetSpeed(host, 57600);
  EXPECT_EQ(Command(host, "AT!P0"), "AT!P0\r\r\n1FBC\r\n\r\nOK\r\n");
  Write(host, "ATUPX\r");
  ReadUntil(host, kKometPrompt);
  Write(host, "y");
  ReadExactly(host, kErased);
  ASSERT_TRUE(
      SendXmodem(host, Firmware(FirmwareTarget::KometII, "NORIX KOMET II V2.01", 2000), true));
  ReadUntil(host, kBooting);
  ASSERT_TRUE(WaitForOk(host));
  EXPECT_EQ(Command(host, "AT!P0"), "AT!P0\r\r\nERROR\r\n");
}

// What a real adapter loses in an upgrade, so that keeping it is the
// program's work: the add-on selection, the subscriber numbers, the country.
TEST(AdapterUpgrade, UpgradeResetsAddOnNumbersAndCountry) {
  ProductOptions options;
  options.upgrade = Options();
  auto line = StartOnMemoryLine("solano1280i-ab", options);
  Port& host = *line.host;
  SetSpeed(host, 57600);
  EXPECT_EQ(Command(host, "AT&Z*0=4711"), "AT&Z*0=4711\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*5=0815"), "AT&Z*5=0815\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT*NC003"), "AT*NC003\r\r\nOK\r\n");
  Write(host, "ATUPX\r");
  ReadUntil(host, kSolanoPrompt);
  Write(host, "y");
  ReadExactly(host, kErased);
  ASSERT_TRUE(SendXmodem(host, Firmware(FirmwareTarget::Solano, kSolanoIdent, 2000), true));
  ReadUntil(host, "Booting the TA\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATI7"), "ATI7\r\r\nAdded No Internal HW\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*0?"), "AT&Z*0?\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*5?"), "AT&Z*5?\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATI5"), "ATI5\r\r\n006\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT!M2"), "AT!M2\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATI7"), "ATI7\r\r\nAdded Internal Analog Interface\r\n\r\nOK\r\n");
}

TEST(AdapterUpgrade, SubscriberNumberSlots) {
  auto line = StartOnMemoryLine("solano1280i");
  Port& host = *line.host;
  SetSpeed(host, 57600);
  EXPECT_EQ(Command(host, "AT&Z*2?"), "AT&Z*2?\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*2=4711"), "AT&Z*2=4711\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*2?"), "AT&Z*2?\r\r\n4711\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*2="), "AT&Z*2=\r\r\nOK\r\n");  // erases the slot
  EXPECT_EQ(Command(host, "AT&Z*2?"), "AT&Z*2?\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT&Z*6?"), "AT&Z*6?\r\r\nERROR\r\n");
  EXPECT_EQ(Command(host, "AT&Z*1=12345678901234567890123"),
            "AT&Z*1=12345678901234567890123\r\r\nERROR\r\n");
  EXPECT_EQ(Command(host, "AT&Z1?"), "AT&Z1?\r\r\nERROR\r\n");
  // The KOMET II keeps its numbers in other commands.
  auto komet = StartOnMemoryLine("komet2");
  SetSpeed(*komet.host, 57600);
  EXPECT_EQ(Command(*komet.host, "AT&Z*0?"), "AT&Z*0?\r\r\nERROR\r\n");
}

// The KOMET II boot code: "ATUPZ", its menu, "1", the prompt, "y", the code
// by X-modem; "ATI6" then reports the new version. Code without "NORIX BOOT"
// leaves the old one.
TEST(AdapterUpgrade, KometBootCode) {
  ProductOptions options;
  options.upgrade = Options();
  auto line = StartOnMemoryLine("komet2", options);
  Port& host = *line.host;
  SetSpeed(host, 57600);
  EXPECT_EQ(Command(host, "ATI6"), "ATI6\r\r\n0101\r\n\r\nOK\r\n");
  const auto upgrade = [&host](const std::vector<std::uint8_t>& code, const std::string& verdict) {
    Write(host, "ATUPZ\r");
    const std::string menu = "ATUPZ\r\r\nBoot code upgrade\r\n1: Upgrade boot code\r\n2: Exit\r\n";
    EXPECT_EQ(ReadUntil(host, menu), menu);
    Write(host, "1");
    EXPECT_EQ(ReadUntil(host, kKometPrompt), "1\r\n" + std::string(kKometPrompt));
    Write(host, "y");
    const std::string request =
        "y\r\n\r\nDo NOT power off the TA during the upgrade!\r\n"
        "Please upload binary file using X-MODEM/CRC.\r\n";
    EXPECT_EQ(ReadExactly(host, request), request);
    EXPECT_TRUE(SendXmodem(host, code, true));
    const std::string closing = "\r\nTransfer Complete\r\n" + verdict + "\r\nBooting the TA\r\n";
    EXPECT_EQ(ReadUntil(host, closing), closing);
    ASSERT_TRUE(WaitForOk(host));
  };
  upgrade(upgrade::MakeBootCode(0x0102, 3000, 9), "Boot code programmed");
  EXPECT_EQ(Command(host, "ATI6"), "ATI6\r\r\n0102\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATI3"), "ATI3\r\r\nNORIX KOMET II V2.05\r\n\r\nOK\r\n");
  // What the program sends after a long restart: two stored profiles.
  EXPECT_EQ(Command(host, "AT&F&W&F1&W1"), "AT&F&W&F1&W1\r\r\nOK\r\n");
  upgrade(upgrade::SeededBytes(9, 3000), "Invalid boot code");
  EXPECT_EQ(Command(host, "ATI6"), "ATI6\r\r\n0102\r\n\r\nOK\r\n");
  // The solano has no boot code to replace.
  auto solano = StartOnMemoryLine("solano1280i");
  SetSpeed(*solano.host, 57600);
  EXPECT_EQ(Command(*solano.host, "ATUPZ"), "ATUPZ\r\r\nERROR\r\n");
}

// At the adapter's own pace: the boot program starts after the echo has
// gone out alone, and the erase takes its time, a dot at a time. A transfer
// the host cancels leaves the erased adapter in its boot program, where "n"
// has no firmware to go back to.
TEST(AdapterUpgrade, BootProgramTakesItsTime) {
  ProductOptions options;
  options.upgrade.timePercent = 10;  // 150 ms start, 700 ms erase, 300 ms restart
  options.upgrade.powerOffTime = {};
  auto line = StartOnMemoryLine("komet2", options);
  Port& host = *line.host;
  SetSpeed(host, 115200);
  Write(host, "ATUPX\r");
  EXPECT_EQ(ReadFor(host, 60ms), "ATUPX\r");
  EXPECT_EQ(ReadUntil(host, kKometPrompt), kKometPrompt);
  Write(host, "y");
  const auto erase = Elapsed([&host] { EXPECT_EQ(ReadExactly(host, kErased), kErased); });
  EXPECT_GE(erase, 550ms);
  ReadUntil(host, "C");
  WriteBytes(host, std::vector<std::uint8_t>{0x18, 0x18});
  EXPECT_TRUE(ReadUntil(host, "\r\nTransfer failed\r\n").ends_with("\r\nTransfer failed\r\n"));
  ReadFor(host, 500ms);
  SetSpeed(host, 57600);
  Write(host, "\r");
  EXPECT_EQ(ReadUntil(host, kKometPrompt), kKometPrompt);
  Write(host, "n");
  EXPECT_EQ(ReadFor(host, 100ms), "n\r\n");
  Write(host, "\r");
  EXPECT_EQ(ReadUntil(host, kKometPrompt), kKometPrompt);
}

}  // namespace
}  // namespace norix::sim
