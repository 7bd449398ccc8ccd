// The product families over an in-memory line: what each model answers to the
// commands identification relies on, at which speeds, and the families' own
// behaviour (PC Card sleep, the adapters' internal modem relay and add-ons,
// the rescue loaders).
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "sim/adapter_boot_program.h"
#include "sim/models/models.h"
#include "sim/pc_card_modem.h"
#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;

struct Exchange {
  const char* model;
  std::uint32_t speed;
  const char* command;  // sent with a CR after it
  const char* answer;   // everything the product sends back; empty: silence
};

void PrintTo(const Exchange& row, std::ostream* out) {
  *out << row.model << " at " << row.speed << ": \"" << row.command << '"';
}

class ModelAnswersTest : public ::testing::TestWithParam<Exchange> {};

TEST_P(ModelAnswersTest, AnswersExactlyAtItsSpeeds) {
  const Exchange& row = GetParam();
  auto line = StartOnMemoryLine(row.model);
  SetSpeed(*line.host, row.speed);
  Write(*line.host, std::string(row.command) + "\r");
  const std::string expected = row.answer;
  if (expected.empty()) {
    EXPECT_EQ(ReadFor(*line.host, 150ms), "");
    return;
  }
  EXPECT_EQ(ReadUntil(*line.host, expected), expected);
  EXPECT_EQ(ReadFor(*line.host, 50ms), "");  // and nothing after it
}

INSTANTIATE_TEST_SUITE_P(
    AnalogueModems, ModelAnswersTest,
    ::testing::Values(
        Exchange{"corvid336", 9600, "ATI3", "ATI3\r\r\nNORIX corvid 336 Voice V1.09\r\n\r\nOK\r\n"},
        Exchange{"corvid336", 57600, "AT+GCI?", "AT+GCI?\r\r\nERROR\r\n"},
        Exchange{"corvid336", 14400, "ATI3", ""},
        Exchange{"corvid560", 9600, "ATI3", "ATI3\r\r\nNORIX corvid 560 Voice V1.40\r\n\r\nOK\r\n"},
        Exchange{"corvid560", 57600, "AT+GCI?", "AT+GCI?\r\r\n+GCI: 3D\r\n\r\nOK\r\n"},
        Exchange{"int560", 9600, "ATI3", "ATI3\r\r\nNORIX 560 V Int V1.40\r\n\r\nOK\r\n"},
        Exchange{"int560", 28800, "AT", ""},
        Exchange{"usb560", 9600, "ATI3", "ATI3\r\r\nNORIX Corvid 560V USB V1.52\r\n\r\nOK\r\n"},
        // A USB port's speed goes nowhere: any speed reaches the modem.
        Exchange{"usb560", 14400, "ATI4", "ATI4\r\r\nNX56 USB rev A, flash _2M_\r\n\r\nOK\r\n"},
        Exchange{"foreign", 9600, "ATI3",
                 "ATI3\r\r\nExternal Data/Fax/Voice Modem, firmware release 3.12.07 built Nov 23 "
                 "1998\r\n\r\nOK\r\n"},
        Exchange{"foreign", 4321, "ATI3", ""}));

INSTANTIATE_TEST_SUITE_P(
    IsdnAdapters, ModelAnswersTest,
    ::testing::Values(
        Exchange{"solano1280i-ab", 9600, "ATI3",
                 "ATI3\r\r\nNORIX solano 1280i V1.42\r\n\r\nOK\r\n"},
        Exchange{"solano1280i-ab", 9600, "ATI7",
                 "ATI7\r\r\nAdded Internal Analog Interface\r\n\r\nOK\r\n"},
        Exchange{"solano1280i-ab", 14400, "ATI7", ""},
        Exchange{"solano1280i", 9600, "ATI7", "ATI7\r\r\nAdded No Internal HW\r\n\r\nOK\r\n"},
        Exchange{"solano1280mi", 9600, "ATI3", "ATI3\r\r\nNORIX solano 1280mi V1.42\r\n\r\nOK\r\n"},
        Exchange{"solano1280mi", 9600, "ATI7", "ATI7\r\r\nAdded Internal Modem\r\n\r\nOK\r\n"},
        Exchange{"solano1280mi", 9600, "AT!MATI3",
                 "AT!MATI3\r\r\nModem command: ATI3\r\n\r\nOK\r\n"
                 "ATI3\r\r\nNORIX solano 1280mi Modem V1.30\r\n\r\nOK\r\n"},
        Exchange{"solano1280i-old", 9600, "ATI3",
                 "ATI3\r\r\nNORIX solano 1280i V1.30\r\n\r\nOK\r\n"},
        Exchange{"solano1280i-old", 9600, "ATI7", "ATI7\r\r\nERROR\r\n"},
        Exchange{"solano1280mi-old", 9600, "ATI7", "ATI7\r\r\nERROR\r\n"},
        Exchange{"solano1280mi-old", 9600, "AT!MATI1",
                 "AT!MATI1\r\r\nModem command: ATI1\r\n\r\nOK\r\nATI1\r\r\n2D6B\r\n\r\nOK\r\n"},
        Exchange{"solano640i", 9600, "ATI3", "ATI3\r\r\nNORIX solano 640i V1.12\r\n\r\nOK\r\n"},
        Exchange{"solano640i", 9600, "ATI7", "ATI7\r\r\nERROR\r\n"},
        Exchange{"komet2", 9600, "ATI3", "ATI3\r\r\nNORIX KOMET II V2.05\r\n\r\nOK\r\n"},
        Exchange{"komet2", 57600, "AT!P0", "AT!P0\r\r\n1FBC\r\n\r\nOK\r\n"},
        Exchange{"komet2", 57600, "AT!P1", "AT!P1\r\r\nERROR\r\n"},
        Exchange{"komet2", 57600, "ATI7", "ATI7\r\r\nERROR\r\n"},
        Exchange{"komet2-early", 9600, "ATI3", "ATI3\r\r\nNORIX KOMET II V2.01\r\n\r\nOK\r\n"},
        Exchange{"komet2-early", 57600, "AT!P0", "AT!P0\r\r\nERROR\r\n"}));

INSTANTIATE_TEST_SUITE_P(
    RescueLoaders, ModelAnswersTest,
    ::testing::Values(Exchange{"modem-rescue", 9600, "ATI3", ""},
                      Exchange{"modem-rescue", 57600, "AT", "AT\r\r\nOK\r\n"},
                      Exchange{"modem-rescue", 57600, "ATI3", "ATI3\r\r\nERROR\r\n"},
                      Exchange{"modem-rescue", 115200, "AT", ""},
                      // At half its speed the loader echoes what its UART made of the bytes.
                      Exchange{"modem-rescue-115200", 57600, "AT", "\x06`\xE6"},
                      Exchange{"modem-rescue-115200", 9600, "ATI3", ""},
                      Exchange{"modem-rescue-115200", 115200, "AT", "AT\r\r\nOK\r\n"},
                      Exchange{"solano-rescue", 9600, "ATI3", ""},
                      Exchange{"solano-rescue", 57600, "AT", "\r\nAre You sure to upgrade (Y/N)? "},
                      // A rescue transfer wakes the waiting boot program with a CR alone.
                      Exchange{"solano-rescue", 57600, "", "\r\nAre You sure to upgrade (Y/N)? "},
                      Exchange{"solano-rescue", 115200, "AT", ""},
                      Exchange{"komet2-rescue", 9600, "ATI3", ""},
                      Exchange{"komet2-rescue", 57600, "AT",
                               "\r\nDo You really want to upgrade Your KOMET II (Y/N)? "}));

TEST(ModelRegistryTest, EveryModelHasAUniqueNameAndOneDescriptionLine) {
  std::set<std::string> names;
  for (const ModelEntry& entry : Models()) {
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
    EXPECT_EQ(FindModel(entry.name), &entry);
    EXPECT_FALSE(entry.description.empty()) << entry.name;
    EXPECT_EQ(entry.description.find('\n'), std::string::npos) << entry.name;
    EXPECT_NE(entry.make(), nullptr) << entry.name;
  }
}

// The port side of an open: link-layer time-outs short enough for many
// silent "AT".
class LinkOnMemoryLine {
 public:
  explicit LinkOnMemoryLine(std::unique_ptr<Model> model)
      : line_(StartOnMemoryLine(std::move(model))) {
    link::ConfigurePort(line_.host.get(), 57600);
    EXPECT_TRUE(line_.host->SetTimeouts({50, 0, 150, 1, 2000}));
  }

  // "AT" until the product answers, at most `attempts` times, as the checked
  // open of a device port does; true when the last answer was OK.
  bool CheckedOpen(int attempts) {
    link::AtResult result = link::AtResult::NoReply;
    for (int i = 0; i < attempts && result == link::AtResult::NoReply; ++i) {
      std::string reply;
      result = link::SendAtCommand(line_.host.get(), "AT", reply);
    }
    return result == link::AtResult::Ok;
  }

  [[nodiscard]] SimulatedProduct& Product() { return *line_.product; }
  [[nodiscard]] Port& Host() { return *line_.host; }

 private:
  MemoryProduct line_;
};

TEST(PcCardModemTest, WakesOnTheFifthAtSoFiveAttemptsOpenItAndTwoDoNot) {
  LinkOnMemoryLine twice(FindModel("marlin560")->make());
  EXPECT_FALSE(twice.CheckedOpen(2));

  LinkOnMemoryLine fiveTimes(FindModel("marlin560")->make());
  EXPECT_TRUE(fiveTimes.CheckedOpen(5));
  const auto transcript = fiveTimes.Product().Transcript();
  ASSERT_EQ(transcript.size(), 5U);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_FALSE(transcript[i].heard) << i;
  }
  EXPECT_TRUE(transcript[4].heard);
  // Awake now: every command is answered at once.
  std::string reply;
  EXPECT_EQ(link::SendAtCommand(&fiveTimes.Host(), "ATI3", reply), link::AtResult::Ok);
  EXPECT_EQ(reply, "NORIX Marlin 560 Voice V1.41\r\n");

  // A desktop modem needs no second attempt.
  LinkOnMemoryLine desktop(FindModel("corvid560")->make());
  EXPECT_TRUE(desktop.CheckedOpen(2));
  EXPECT_EQ(desktop.Product().Transcript().size(), 1U);
}

TEST(PcCardModemTest, DeepSleeperNeedsTheSecondOpenOfTheProductSelection) {
  LinkOnMemoryLine card(FindModel("marlin560-deep")->make());
  EXPECT_FALSE(card.CheckedOpen(5));
  EXPECT_TRUE(card.CheckedOpen(5));
  EXPECT_EQ(card.Product().Transcript().size(), 7U);
}

TEST(PcCardModemTest, SleepsAgainAfterAPauseAndIgnoresNoise) {
  PcCardSleep sleep;
  sleep.ignoredLines = 2;
  sleep.sleepAfter = 600ms;
  auto line = StartOnMemoryLine(MakePcCardModem(models::Marlin560VoiceData(), sleep));
  Port& host = *line.host;

  // Noise at a speed the card does not know does not count as a line.
  SetSpeed(host, 14400);
  Write(host, "AT\rAT\rAT\r");
  ASSERT_TRUE(line.product->WaitForLines(3, 1s));  // heard at 14400 before the speed changes
  SetSpeed(host, 9600);
  Write(host, "AT\r");
  EXPECT_EQ(ReadFor(host, 100ms), "");
  Write(host, "AT\r");
  EXPECT_EQ(ReadFor(host, 100ms), "");
  Write(host, "AT\r");
  EXPECT_EQ(ReadUntil(host, "OK\r\n"), "AT\r\r\nOK\r\n");
  // Awake, it stays awake while the host keeps talking...
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(200ms);
    Write(host, "AT\r");
    EXPECT_EQ(ReadUntil(host, "OK\r\n"), "AT\r\r\nOK\r\n") << i;
  }

  // ...and sleeps again after a pause.
  std::this_thread::sleep_for(800ms);
  Write(host, "AT\r");
  EXPECT_EQ(ReadFor(host, 100ms), "");
  Write(host, "AT\r");
  EXPECT_EQ(ReadFor(host, 100ms), "");
  Write(host, "ATI3\r");
  EXPECT_EQ(ReadUntil(host, "OK\r\n"), "ATI3\r\r\nNORIX Marlin 560 Voice V1.41\r\n\r\nOK\r\n");
}

TEST(PcCardModemTest, WithoutIgnoredLinesItIsNeverAsleep) {
  PcCardSleep sleep;
  sleep.ignoredLines = 0;
  sleep.sleepAfter = 10ms;
  auto line = StartOnMemoryLine(MakePcCardModem(models::Marlin560VoiceData(), sleep));
  SetSpeed(*line.host, 9600);
  for (int i = 0; i < 2; ++i) {
    Write(*line.host, "AT\r");
    EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "AT\r\r\nOK\r\n");
    std::this_thread::sleep_for(50ms);
  }
}

class AdapterOnMemoryLineTest : public ::testing::Test {
 protected:
  void Start(std::string_view model) {
    line_ = StartOnMemoryLine(model);
    SetSpeed(*line_.host, 57600);
  }
  // Sends the line and expects exactly `answer` back.
  void Expect(std::string_view command, const std::string& answer) {
    Write(*line_.host, std::string(command) + "\r");
    EXPECT_EQ(ReadUntil(*line_.host, answer), answer) << command;
  }

  MemoryProduct line_;
};

TEST_F(AdapterOnMemoryLineTest, InternalModemKeepsItsOwnSettings) {
  Start("solano1280mi");
  Expect("AT!MATE0", "AT!MATE0\r\r\nModem command: ATE0\r\n\r\nOK\r\nATE0\r\r\nOK\r\n");
  // Only the modem part stopped echoing; the relayed answer keeps its order.
  Expect("AT!MATI3",
         "AT!MATI3\r\r\nModem command: ATI3\r\n\r\nOK\r\n"
         "\r\nNORIX solano 1280mi Modem V1.30\r\n\r\nOK\r\n");
  Expect("ATI3", "ATI3\r\r\nNORIX solano 1280mi V1.42\r\n\r\nOK\r\n");
  // The modem part's own country command, relayed.
  Expect("at!mati5", "at!mati5\r\r\nModem command: ati5\r\n\r\nOK\r\n\r\n006\r\n\r\nOK\r\n");
  Expect("AT!MATX9", "AT!MATX9\r\r\nModem command: ATX9\r\n\r\nOK\r\n\r\nERROR\r\n");
  EXPECT_EQ(ReadFor(*line_.host, 50ms), "");
}

TEST_F(AdapterOnMemoryLineTest, RelayedDialIsEndedByTheModemPartsClock) {
  Start("solano1280mi");
  Expect("AT!MATS7=1", "AT!MATS7=1\r\r\nModem command: ATS7=1\r\n\r\nOK\r\nATS7=1\r\r\nOK\r\n");
  std::string answer;
  const auto took = Elapsed([&] {
    Expect("AT!MATD123", "AT!MATD123\r\r\nModem command: ATD123\r\n\r\nOK\r\nATD123\r");
    answer = ReadUntil(*line_.host, "NO CARRIER\r\n", 3s);
  });
  EXPECT_EQ(answer, "\r\nNO CARRIER\r\n");
  EXPECT_GE(took, 900ms);  // S7 of the modem part: one second
}

TEST_F(AdapterOnMemoryLineTest, RelayWithoutInternalModemIsAnError) {
  Start("solano1280i-ab");
  Expect("AT!MATI3", "AT!MATI3\r\r\nERROR\r\n");
  Expect("AT!M", "AT!M\r\r\nERROR\r\n");
  EXPECT_EQ(ReadFor(*line_.host, 50ms), "");
}

TEST_F(AdapterOnMemoryLineTest, AddOnSelectionChangesTheReport) {
  Start("solano1280i-ab");
  Expect("AT!M12", "AT!M12\r\r\nOK\r\n");
  Expect("ATI7", "ATI7\r\r\nAdded Internal Modem\r\n\r\nOK\r\n");
  Expect("AT!M0", "AT!M0\r\r\nOK\r\n");
  Expect("ATI7", "ATI7\r\r\nAdded No Internal HW\r\n\r\nOK\r\n");
  Expect("AT!M5", "AT!M5\r\r\nERROR\r\n");
  // The add-on selection is kept apart from the profiles: AT&F and ATZ leave it.
  Expect("AT!M2&FZ", "AT!M2&FZ\r\r\nOK\r\n");
  Expect("ATI7", "ATI7\r\r\nAdded Internal Analog Interface\r\n\r\nOK\r\n");
}

TEST_F(AdapterOnMemoryLineTest, OldFirmwareKnowsNoAddOnSelection) {
  Start("solano1280i-old");
  Expect("AT!M2", "AT!M2\r\r\nERROR\r\n");
  Expect("ATI7", "ATI7\r\r\nERROR\r\n");
}

TEST(AdapterBootProgramTest, PromptsForEveryLineAndNothingElse) {
  auto line = StartOnMemoryLine("komet2-rescue");
  Port& host = *line.host;
  SetSpeed(host, 57600);
  // Letters that answer nothing are lost; a CR asks for the prompt again.
  Write(host, "AT");
  EXPECT_EQ(ReadFor(host, 100ms), "");
  const std::string prompt = "\r\n" + std::string(kKometUpgradePrompt);
  Write(host, "\r\r");
  EXPECT_EQ(ReadUntil(host, prompt + prompt), prompt + prompt);
  // Noise at 9600 bit/s, CR included, goes unanswered.
  SetSpeed(host, 9600);
  Write(host, "AT\r");
  EXPECT_EQ(ReadFor(host, 100ms), "");
}

}  // namespace
}  // namespace norix::sim
