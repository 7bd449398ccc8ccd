// The analogue modems' side of a firmware upgrade, as scripted host
// transcripts over an in-memory line: "AT**", the flash loader, raw chunks
// or X-modem, the final line, and what runs after the restart. Sections are
// made as `norix-lfu make` makes them; the checksum the restarted modem must
// report comes from the program's own checksum code, so the two check each
// other.
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "sim/product_options.h"
#include "upgrade/image_checksum.h"
#include "upgrade_host.h"

namespace norix::sim {
namespace {

using namespace test;
using upgrade::FirmwareTarget;
using upgrade::LoaderMode;

constexpr std::string_view kIdent = "NORIX corvid 560 Voice V1.50";
constexpr std::size_t kFirmwareSize = 3000;  // three chunks: two acknowledged, the last not
constexpr const char* kRawAnnounce =
    "\r\n.....\r\nNORIX Flash Loader V2.10\r\nDownload flash code\r\n";
constexpr const char* kXmodemAnnounce =
    "\r\n.....\r\nUpLoader (XModem) V1.30\r\nUpload flash code ..\r\n";
constexpr const char* kStarAcks = "**";
constexpr const char* kDigitAcks = "1 Block programmed\r\n1 Block programmed\r\n";
constexpr const char* kRawDone = "....\r\nDevice successfully programmed\r\n";
constexpr const char* kXmodemDone = "....\r\nUpload successfully completed\r\n";
constexpr const char* kNotThisHardware = "\r\nCode not match hardware\r\n";
constexpr const char* kNoFirmware = "\r\nWrong S37 file\r\n";

enum class Sent : std::uint8_t { NormalFlash, LargeFlash, SolanoFirmware, NoHeader };
enum class Loader : std::uint8_t { Whole, Damaged, Short };
enum class After : std::uint8_t { NewFirmware, DamagedFirmware, RescueMode };

struct ModemCase {
  const char* model;
  std::uint32_t speed;
  LoaderMode mode;
  Sent firmware;
  UpgradeOptions options;
  Loader loader = Loader::Whole;
  const char* announce;  // after the loader; empty: silence
  const char* answers;   // to the raw chunks, or the X-modem outcome ("" when it fails)
  const char* finalLine;
  After after;
  const char* rescueAnswer = "";  // to "AT*" at 57600 in rescue mode
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

std::vector<std::uint8_t> FirmwareFor(Sent sent) {
  switch (sent) {
    case Sent::NormalFlash:
      return Firmware(FirmwareTarget::ModemNormalFlash, kIdent, kFirmwareSize);
    case Sent::LargeFlash:
      return Firmware(FirmwareTarget::ModemLargeFlash, kIdent, kFirmwareSize);
    case Sent::SolanoFirmware:
      return Firmware(FirmwareTarget::Solano, "NORIX solano 1280i V1.50", kFirmwareSize);
    case Sent::NoHeader:
      return upgrade::SeededBytes(3, kFirmwareSize);
  }
  return {};
}

std::vector<std::uint8_t> LoaderFor(const ModemCase& c) {
  auto loader = upgrade::MakeFlashLoader(c.mode, 1500, 5);
  if (c.loader == Loader::Damaged) {
    loader[700] ^= 0x01U;
  } else if (c.loader == Loader::Short) {
    loader.resize(1400);
  }
  return LoaderOnTheLine(loader);
}

class ModemUpgradeTest : public ::testing::TestWithParam<ModemCase> {};

TEST_P(ModemUpgradeTest, Transcript) {
  const ModemCase& c = GetParam();
  ProductOptions options;
  options.upgrade = c.options;
  auto line = StartOnMemoryLine(c.model, options);
  Port& host = *line.host;
  SetSpeed(host, c.speed);

  Write(host, "AT**\r");
  EXPECT_EQ(ReadUntil(host, "initiated\r\n"), "AT**\r\r\nDownload initiated\r\n");
  WriteBytes(host, LoaderFor(c));
  if (std::string(c.announce).empty()) {
    EXPECT_EQ(ReadFor(host, 300ms), "");
  } else {
    EXPECT_EQ(ReadExactly(host, c.announce), c.announce);
  }

  const auto firmware = FirmwareFor(c.firmware);
  const bool sending =
      std::string(c.announce).ends_with("..\r\n") || std::string(c.announce).ends_with("code\r\n");
  if (sending && c.mode == LoaderMode::Xmodem) {
    EXPECT_EQ(SendXmodem(host, firmware, false), !std::string(c.answers).empty());
  } else if (sending) {
    EXPECT_EQ(SendRawFirmware(host, firmware), c.answers);
  }
  if (std::string(c.finalLine).empty()) {
    EXPECT_EQ(ReadFor(host, 200ms), "");
  } else {
    EXPECT_EQ(ReadUntil(host, c.finalLine), c.finalLine);
  }

  if (c.after == After::RescueMode) {
    // Dark until the boot firmware waits for commands at its own speed.
    ReadFor(host, 700ms);
    SetSpeed(host, 57600);
    EXPECT_EQ(Command(host, "AT*"), c.rescueAnswer);
    EXPECT_EQ(Command(host, "ATI3"), "ATI3\r\r\nERROR\r\n");
    return;
  }
  ASSERT_TRUE(WaitForOk(host));
  EXPECT_EQ(Command(host, "ATI3"), "ATI3\r\r\n" + std::string(kIdent) + "\r\n\r\nOK\r\n");
  const std::string checksum = "ATI1\r\r\n" + upgrade::ChecksumText(firmware) + "\r\n\r\nOK\r\n";
  if (c.after == After::NewFirmware) {
    EXPECT_EQ(Command(host, "ATI1"), checksum);
  } else {
    EXPECT_NE(Command(host, "ATI1"), checksum);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Loaders, ModemUpgradeTest,
    ::testing::Values(
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NormalFlash, Options(),
                  Loader::Whole, kRawAnnounce, kStarAcks, kRawDone, After::NewFirmware},
        ModemCase{"netrunner56k", 115200, LoaderMode::RawDigit, Sent::NormalFlash, Options(),
                  Loader::Whole, kRawAnnounce, kDigitAcks, kRawDone, After::NewFirmware},
        ModemCase{"int560", 115200, LoaderMode::Xmodem, Sent::NormalFlash, Options(), Loader::Whole,
                  kXmodemAnnounce, "sent", kXmodemDone, After::NewFirmware},
        ModemCase{"corvid560-2m", 57600, LoaderMode::RawStar, Sent::LargeFlash, Options(),
                  Loader::Whole, kRawAnnounce, kStarAcks, kRawDone, After::NewFirmware},
        // A modem in rescue mode takes "AT**" in its boot firmware, at its speed.
        ModemCase{"modem-rescue", 57600, LoaderMode::RawDigit, Sent::NormalFlash, Options(),
                  Loader::Whole, kRawAnnounce, kDigitAcks, kRawDone, After::NewFirmware}));

INSTANTIATE_TEST_SUITE_P(
    Refusals, ModemUpgradeTest,
    ::testing::Values(
        // The first chunk's header decides at once, in place of the acknowledgement.
        ModemCase{"corvid560-2m", 115200, LoaderMode::RawStar, Sent::NormalFlash, Options(),
                  Loader::Whole, kRawAnnounce, kNotThisHardware, "", After::RescueMode,
                  "AT*\r\r\n4\r\n\r\nOK\r\n"},
        ModemCase{"corvid560", 115200, LoaderMode::RawDigit, Sent::SolanoFirmware, Options(),
                  Loader::Whole, kRawAnnounce, kNotThisHardware, "", After::RescueMode,
                  "AT*\r\r\n0\r\n\r\nOK\r\n"},
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NoHeader, Options(),
                  Loader::Whole, kRawAnnounce, kNoFirmware, "", After::RescueMode,
                  "AT*\r\r\n0\r\n\r\nOK\r\n"},
        // X-modem firmware is judged once it is all in.
        ModemCase{"corvid560-2m", 115200, LoaderMode::Xmodem, Sent::NormalFlash, Options(),
                  Loader::Whole, kXmodemAnnounce, "sent", kNotThisHardware, After::RescueMode,
                  "AT*\r\r\n4\r\n\r\nOK\r\n"},
        ModemCase{"netrunner56k", 115200, LoaderMode::RawStar, Sent::NormalFlash,
                  Options([](UpgradeOptions& o) { o.refuseDevice = true; }), Loader::Whole,
                  "\r\n.....\r\nNORIX Flash Loader V2.10\r\nWrong device\r\n", "", "",
                  After::RescueMode, "AT*\r\r\n1\r\n\r\nOK\r\n"},
        // A loader that is not whole never runs: silence, then rescue mode.
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NormalFlash, Options(),
                  Loader::Damaged, "", "", "", After::RescueMode, "AT*\r\r\n0\r\n\r\nOK\r\n"},
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NormalFlash, Options(),
                  Loader::Short, "", "", "", After::RescueMode, "AT*\r\r\n0\r\n\r\nOK\r\n"}));

INSTANTIATE_TEST_SUITE_P(
    LineAndPowerFaults, ModemUpgradeTest,
    ::testing::Values(
        // Raw firmware damaged on the line is programmed as it came: "ATI1" tells.
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NormalFlash,
                  Options([](UpgradeOptions& o) { o.corruptEvery = 2500; }), Loader::Whole,
                  kRawAnnounce, kStarAcks, kRawDone, After::DamagedFirmware},
        // X-modem sends damaged blocks again.
        ModemCase{"corvid560", 115200, LoaderMode::Xmodem, Sent::NormalFlash,
                  Options([](UpgradeOptions& o) { o.corruptEvery = 2000; }), Loader::Whole,
                  kXmodemAnnounce, "sent", kXmodemDone, After::NewFirmware},
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NormalFlash,
                  Options([](UpgradeOptions& o) { o.powerCutLoader = 600; }), Loader::Whole, "", "",
                  "", After::RescueMode, "AT*\r\r\n0\r\n\r\nOK\r\n"},
        ModemCase{"corvid560", 115200, LoaderMode::RawStar, Sent::NormalFlash,
                  Options([](UpgradeOptions& o) { o.powerCutFirmware = 1500; }), Loader::Whole,
                  kRawAnnounce, "*", "", After::RescueMode, "AT*\r\r\n0\r\n\r\nOK\r\n"},
        ModemCase{"corvid560", 115200, LoaderMode::Xmodem, Sent::NormalFlash,
                  Options([](UpgradeOptions& o) { o.powerCutFirmware = 1500; }), Loader::Whole,
                  kXmodemAnnounce, "", "", After::RescueMode, "AT*\r\r\n0\r\n\r\nOK\r\n"}));

// After a restart into the firmware it received, the modem is that firmware
// with its factory settings: its identification, checksum and version, the
// factory country, echo on again.
TEST(ModemUpgrade, RestartedModemRunsTheFirmwareWithFactorySettings) {
  ProductOptions options;
  options.upgrade = Options();
  auto line = StartOnMemoryLine("corvid560", options);
  Port& host = *line.host;
  SetSpeed(host, 115200);
  EXPECT_EQ(Command(host, "AT+GCI=B5"), "AT+GCI=B5\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT\\3"), "AT\\3\r\r\n4B1E\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATE0"), "ATE0\r\r\nOK\r\n");
  Write(host, "AT**\r");
  EXPECT_EQ(ReadUntil(host, "initiated\r\n"), "\r\nDownload initiated\r\n");
  WriteBytes(host, LoaderOnTheLine(upgrade::MakeFlashLoader(LoaderMode::RawStar, 2000, 1)));
  EXPECT_EQ(ReadUntil(host, kRawAnnounce), kRawAnnounce);
  const auto firmware = Firmware(FirmwareTarget::ModemNormalFlash, kIdent, 1024);
  EXPECT_EQ(SendRawFirmware(host, firmware), "");  // one chunk: nothing to acknowledge
  EXPECT_EQ(ReadUntil(host, kRawDone), kRawDone);
  ASSERT_TRUE(WaitForOk(host));
  EXPECT_EQ(Command(host, "AT+GMR?"), "AT+GMR?\r\r\nV1.50 000214\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT+GCI?"), "AT+GCI?\r\r\n+GCI: 3D\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATI4"), "ATI4\r\r\nNX56 DSP rev C, flash _1M_\r\n\r\nOK\r\n");
  // The calibration went with the flash. The program writes it back with
  // "AT%7" and the saved reply twice, line ends included: the modem takes
  // the first line and finds no command in the second.
  EXPECT_EQ(Command(host, "AT\\3"), "AT\\3\r\r\n0000\r\n\r\nOK\r\n");
  Write(host, "AT%74B1E\r\n4B1E\r\n\r");
  const std::string echoes = "AT%74B1E\r\r\nOK\r\n4B1E\r\r";
  EXPECT_EQ(ReadUntil(host, echoes), echoes);
  EXPECT_EQ(Command(host, "AT\\3"), "AT\\3\r\r\n4B1E\r\n\r\nOK\r\n");
  EXPECT_EQ(Command(host, "AT%74B1E4B1E"), "AT%74B1E4B1E\r\r\nERROR\r\n");
}

// A power cut leaves the modem in rescue mode for as long as the simulator
// runs, until an upgrade programs it; the cut comes once.
TEST(ModemUpgrade, RescueModeLastsUntilAnUpgradeSucceeds) {
  ProductOptions options;
  options.upgrade = Options([](UpgradeOptions& o) { o.powerCutFirmware = 100; });
  auto line = StartOnMemoryLine("netrunner56k", options);
  Port& host = *line.host;
  const auto loader = LoaderOnTheLine(upgrade::MakeFlashLoader(LoaderMode::RawStar, 1500, 2));
  const auto firmware = Firmware(FirmwareTarget::ModemNormalFlash, kIdent, 5000);
  SetSpeed(host, 115200);
  Write(host, "AT**\r");
  ReadUntil(host, "initiated\r\n");
  WriteBytes(host, loader);
  EXPECT_EQ(ReadUntil(host, kRawAnnounce), kRawAnnounce);
  EXPECT_EQ(SendRawFirmware(host, firmware), "");
  ReadFor(host, 300ms);
  // Only the boot firmware answers, at 57600 bit/s: not at the firmware's speeds.
  EXPECT_EQ(ReadFor(host, 50ms), "");
  Write(host, "AT\r");
  EXPECT_EQ(ReadFor(host, 200ms), "");
  SetSpeed(host, 57600);
  EXPECT_EQ(Command(host, "AT"), "AT\r\r\nOK\r\n");
  EXPECT_EQ(Command(host, "ATI3"), "ATI3\r\r\nERROR\r\n");

  Write(host, "AT**\r");
  EXPECT_EQ(ReadUntil(host, "initiated\r\n"), "AT**\r\r\nDownload initiated\r\n");
  std::this_thread::sleep_for(600ms);  // the program's pause before the loader
  WriteBytes(host, loader);
  EXPECT_EQ(ReadUntil(host, kRawAnnounce), kRawAnnounce);
  EXPECT_EQ(SendRawFirmware(host, firmware), "****");
  EXPECT_EQ(ReadUntil(host, kRawDone), kRawDone);
  ASSERT_TRUE(WaitForOk(host));
  EXPECT_EQ(Command(host, "ATI1"),
            "ATI1\r\r\n" + upgrade::ChecksumText(firmware) + "\r\n\r\nOK\r\n");
}

// Silence after "AT**": only the echo comes, the firmware keeps running, and
// the next request is answered.
TEST(ModemUpgrade, SilentRequestsGetTheEchoAlone) {
  ProductOptions options;
  options.upgrade = Options([](UpgradeOptions& o) { o.silentRequests = 1; });
  auto line = StartOnMemoryLine("corvid560", options);
  Port& host = *line.host;
  SetSpeed(host, 115200);
  Write(host, "AT**\r");
  EXPECT_EQ(ReadFor(host, 300ms), "AT**\r");
  EXPECT_EQ(Command(host, "ATI3"), "ATI3\r\r\nNORIX corvid 560 Voice V1.40\r\n\r\nOK\r\n");
  Write(host, "AT**\r");
  EXPECT_EQ(ReadUntil(host, "initiated\r\n"), "AT**\r\r\nDownload initiated\r\n");
}

// The modem part of a solano 1280mi is upgraded through the adapter: its
// first answer follows the adapter's echo on the same line, everything then
// goes to the part until it restarts, and "AT!MATI3" shows the new firmware.
TEST(ModemUpgrade, ModemPartOfAnAdapterThroughTheRelay) {
  ProductOptions options;
  options.upgrade = Options();
  auto line = StartOnMemoryLine("solano1280mi", options);
  Port& host = *line.host;
  SetSpeed(host, 115200);
  Write(host, "AT**\r");
  EXPECT_EQ(ReadUntil(host, "initiated\r\n"), "AT**\rDownload initiated\r\n");
  WriteBytes(host, LoaderOnTheLine(upgrade::MakeFlashLoader(LoaderMode::RawDigit, 1500, 4)));
  EXPECT_EQ(ReadUntil(host, kRawAnnounce), kRawAnnounce);
  const auto firmware =
      Firmware(FirmwareTarget::ModemNormalFlash, "NORIX solano 1280mi Modem V1.40", kFirmwareSize);
  EXPECT_EQ(SendRawFirmware(host, firmware), kDigitAcks);
  EXPECT_EQ(ReadUntil(host, kRawDone), kRawDone);
  ASSERT_TRUE(WaitForOk(host));
  EXPECT_EQ(Command(host, "ATI3"), "ATI3\r\r\nNORIX solano 1280mi V1.42\r\n\r\nOK\r\n");
  Write(host, "AT!MATI1\r");
  const std::string relayed = "AT!MATI1\r\r\nModem command: ATI1\r\n\r\nOK\r\nATI1\r\r\n" +
                              upgrade::ChecksumText(firmware) + "\r\n\r\nOK\r\n";
  EXPECT_EQ(ReadUntil(host, relayed), relayed);
  Write(host, "AT!MATI3\r");
  const std::string ident =
      "AT!MATI3\r\r\nModem command: ATI3\r\n\r\nOK\r\nATI3\r\r\nNORIX solano 1280mi Modem "
      "V1.40\r\n\r\nOK\r\n";
  EXPECT_EQ(ReadUntil(host, ident), ident);
}

}  // namespace
}  // namespace norix::sim
