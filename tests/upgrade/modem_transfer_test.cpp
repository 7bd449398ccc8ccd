// The modem transfer against a modem written from the loader dialogue
// (flash_loader_peer.h): which bytes reach the loader in each phase, the
// commands around them, and how each answer of the loader ends the run.
#include "upgrade/modem_transfer.h"

#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "transfer_fixture.h"

namespace norix::upgrade::testing {
namespace {

std::vector<std::uint8_t> Of(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// What a modem must receive as raw firmware: firmware start to end (the end
// included), then the 8 bytes that follow it in the file, zeros past its end.
std::vector<std::uint8_t> ExpectedRaw(const UpgradeImage& image) {
  const auto contents = Contents(image);
  std::vector<std::uint8_t> bytes;
  for (std::size_t at = image.firmwareStart; at <= image.firmwareEnd + 8; ++at) {
    bytes.push_back(at < contents.size() ? contents[at] : 0);
  }
  return bytes;
}

LoaderScript ScriptFor(const UpgradeImage& image) {
  LoaderScript script;
  script.loaderBytes = image.loaderEnd - image.loaderStart;
  script.firmwareBytes = image.firmwareEnd - image.firmwareStart + 1;
  return script;
}

TEST(ModemTransfer, RawUpgradeSendsEachSectionExactlyAndProvesTheNewFirmware) {
  // Small file: the firmware runs to the file's last byte, so the 8 bytes
  // after it are zeros. Big file: normal flash firmware ends before
  // "[FileThree]", whose line end and first characters follow it.
  for (const bool big : {false, true}) {
    SCOPED_TRACE(big ? "big file" : "small file");
    UpgradeImage image =
        MakeUpgradeImage(Build(big ? ModemRecipe(2000, 300000, 500000) : ModemRecipe(1500, 4000)));
    image.modemChecksum = "3A7F";
    ASSERT_TRUE(CutImage(image, FileLayout::Modem).ok());
    ModemOnLine modem(ScriptFor(image));
    const auto timeouts = link::CurrentTimeouts(modem.host.get());
    RecordingView view;
    FakeClock clock(1);
    device::RescueFlags flags;
    ModemTransfer transfer(modem.host.get(), image, view, clock, flags, {});

    EXPECT_EQ(transfer.Run(115200, false), kUpgradeSucceeded);
    const LoaderRecord record = modem.peer->Record();
    EXPECT_EQ(record.loader, Of(LoaderSection(image)));
    EXPECT_EQ(record.firmware, ExpectedRaw(image));
    EXPECT_EQ(record.commands, (std::vector<std::string>{"AT", "AT\\3", "ATI3", "AT**", "AT",
                                                         "ATI3", "ATI1", "AT%705", "05", ""}));
    EXPECT_EQ(view.statuses, (std::vector<int>{2132, 2131, 2133, 2157, 2113}));
    EXPECT_EQ(view.messages, std::vector<int>{2157});
    const auto loaderSteps = static_cast<int>((image.loaderEnd - image.loaderStart) / 1024);
    const auto firmwareSteps = static_cast<int>((image.firmwareEnd - image.firmwareStart) / 1024);
    EXPECT_EQ(view.ranges, (std::vector<int>{loaderSteps, firmwareSteps}));
    EXPECT_EQ(view.steps, loaderSteps + firmwareSteps);
    // No estimate before a tenth of the bytes, minutes and seconds after.
    ASSERT_FALSE(view.times.empty());
    EXPECT_EQ(view.times.front(), "--:--");
    EXPECT_EQ(view.times.back().size(), 5U);
    EXPECT_NE(view.times.back(), "--:--");
    EXPECT_FALSE(flags.damaged);
    EXPECT_EQ(link::CurrentTimeouts(modem.host.get()), timeouts);
  }
}

TEST(ModemTransfer, XmodemFirmwareRunsToTheEndOfTheFile) {
  const UpgradeImage image = CutModemImage(3000, 5000);
  LoaderScript script = ScriptFor(image);
  script.xmodem = true;
  script.loaderLines = {"UpLoader (XModem)", "Upload flash code .."};
  ModemOnLine modem(script);
  RecordingView view;
  FakeClock clock;
  device::RescueFlags flags;
  ModemTransfer transfer(modem.host.get(), image, view, clock, flags, {});

  EXPECT_EQ(transfer.Run(115200, false), kUpgradeSucceeded);
  std::vector<std::uint8_t> expected = Of(Contents(image).subspan(image.firmwareStart));
  expected.resize((expected.size() + 127) / 128 * 128, 0);
  EXPECT_EQ(modem.peer->Record().firmware, expected);
  EXPECT_EQ(view.messages, std::vector<int>{2157});
}

TEST(ModemTransfer, ModemComponentIsReachedThroughTheAdaptersRelay) {
  const UpgradeImage image = CutModemImage(1500, 3000);
  LoaderScript script = ScriptFor(image);
  script.relay = true;
  ModemOnLine modem(script);
  RecordingView view;
  FakeClock clock;
  device::RescueFlags flags;
  ModemTransfer transfer(modem.host.get(), image, view, clock, flags,
                         {.modemComponent = true, .internalModem = true, .plainModem = false});

  EXPECT_EQ(transfer.Run(115200, false), kUpgradeSucceeded);
  EXPECT_EQ(modem.peer->Record().commands,
            (std::vector<std::string>{"AT", "AT\\3", "AT!MATI3", "AT**", "AT", "ATI4", "AT!MATI3",
                                      "AT!MATI1"}));
  EXPECT_EQ(transfer.Record().savedIdent, "NORIX corvid 560 Voice V1.40\r\n");
  EXPECT_EQ(transfer.Record().identAfter, "NORIX corvid 560 Voice V1.50");
  EXPECT_EQ(view.messages, (std::vector<int>{2202, 2140}));
}

struct Outcome {
  const char* name;
  std::function<void(LoaderScript&)> change;
  std::map<int, int> answers;  // buttons other than OK / Yes
  int result;
  std::vector<int> messages;
  bool damaged;
  std::optional<std::size_t> chunksAcked{};
  std::string text{};  // a message with the product's answer
};

void PrintTo(const Outcome& outcome, std::ostream* os) { *os << outcome.name; }

class TransferOutcome : public ::testing::TestWithParam<Outcome> {};

TEST_P(TransferOutcome, EndsAsTheLoaderSays) {
  const Outcome& c = GetParam();
  const UpgradeImage image = CutModemImage(1500, 6000);  // 5 acknowledged chunks and a last one
  LoaderScript script = ScriptFor(image);
  c.change(script);
  ModemOnLine modem(script);
  RecordingView view;
  view.answers = c.answers;
  FakeClock clock;
  device::RescueFlags flags;
  ModemTransfer transfer(modem.host.get(), image, view, clock, flags, {});

  EXPECT_EQ(transfer.Run(115200, false), c.result);
  EXPECT_EQ(view.messages, c.messages);
  EXPECT_EQ(flags.damaged, c.damaged);
  if (c.chunksAcked) {
    EXPECT_EQ(modem.peer->Record().chunksAcked, *c.chunksAcked);
    EXPECT_EQ(modem.peer->Record().firmware.size(), *c.chunksAcked * 1024 + 1024);
  }
  if (!c.text.empty()) {
    EXPECT_EQ(view.texts, std::vector<std::string>{c.text});
    EXPECT_EQ(view.statuses.back(), kStatusFailed);
  }
}

const int kCancel = W::IDCANCEL;

INSTANTIATE_TEST_SUITE_P(
    Loader, TransferOutcome,
    ::testing::Values(Outcome{"text acknowledgements",
                              [](LoaderScript& s) { s.ack = "1Block written\r\n"; },
                              {},
                              0,
                              {2157},
                              false},
                      Outcome{"a received 0xFF acknowledges",
                              [](LoaderScript& s) { s.ack = "\xFF"; },
                              {},
                              0,
                              {2157},
                              false},
                      Outcome{"a letter ends the raw firmware early",
                              [](LoaderScript& s) { s.letterAfterChunk = 3; },
                              {},
                              2066,
                              {2066},
                              true,
                              2},
                      Outcome{"silence instead of an acknowledgement",
                              [](LoaderScript& s) { s.silentAfterChunk = 2; },
                              {{2085, kCancel}},
                              2085,
                              {2085},
                              true,
                              1},
                      Outcome{"wrong hardware",
                              [](LoaderScript& s) { s.finalLines = {"Code not match hardware"}; },
                              {},
                              2021,
                              {2021},
                              true},
                      Outcome{"an unknown final line, then the outcome",
                              [](LoaderScript& s) {
                                s.finalLines = {"Garbage"};
                                s.finalLater = {"Device successfully programmed"};
                              },
                              {},
                              0,
                              {2157},
                              false},
                      Outcome{"a silent final line",
                              [](LoaderScript& s) { s.finalLines = {""}; },
                              {{2085, kCancel}},
                              2085,
                              {2085},
                              true},
                      Outcome{"the loader refuses to start",
                              [](LoaderScript& s) { s.loaderAnswers = {"Wrong S37 file"}; },
                              {},
                              5,
                              {},
                              false,
                              std::nullopt,
                              "2412: Wrong S37 file"},
                      Outcome{"the loader refuses the file after its loader",
                              [](LoaderScript& s) {
                                s.loaderLines = {"Loader V2.1", "Record error"};
                              },
                              {},
                              2066,
                              {2066},
                              true},
                      Outcome{"no loader twice",
                              [](LoaderScript& s) { s.silentLoaderRequests = 2; },
                              {},
                              -1,
                              {2095, 2068},
                              true},
                      Outcome{"the loader the second time",
                              [](LoaderScript& s) { s.silentLoaderRequests = 1; },
                              {},
                              0,
                              {2095, 2157},
                              false},
                      Outcome{"a checksum that does not match",
                              [](LoaderScript& s) { s.checksumAfter = "0BAD"; },
                              {{2037, W::IDNO}},
                              2037,
                              {2037},
                              false},
                      Outcome{"failed, then a rescue transfer",
                              [](LoaderScript& s) {
                                s.finalLines = {"Garbage", "Device successfully programmed"};
                                s.finalLater = {"more garbage", ""};
                              },
                              {},
                              0,
                              {2085, 2157, 2016},
                              false}));

TEST(ModemTransfer, AStopEndsTheTransferWithoutAWord) {
  const UpgradeImage image = CutModemImage(1500, 6000);
  ModemOnLine modem(ScriptFor(image));
  RecordingView view;
  FakeClock clock;
  clock.Stop();
  device::RescueFlags flags;
  ModemTransfer transfer(modem.host.get(), image, view, clock, flags, {});
  EXPECT_EQ(transfer.Run(115200, false), kTransferStopped);
  EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace norix::upgrade::testing
