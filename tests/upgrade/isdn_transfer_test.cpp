// Parts of the ISDN adapter upgrade that the simulated adapters cannot
// drive to their limits: the KOMET II's restart tries and the 8 s rule, the
// subscriber numbers of an adapter that answers badly, and the "ATI6"
// answer.
#include "upgrade/isdn_transfer.h"

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "support/scripted_product.h"
#include "transfer_fixture.h"
#include "upgrade/isdn_worker.h"

namespace norix::upgrade::testing {
namespace {

using norix::testing::Answer;
using norix::testing::Chunk;
using norix::testing::ScriptedProduct;

struct RestartCase {
  const char* name;
  bool usb;
  int refusals;       // "AT&F" answered ERROR this often before OK
  std::int64_t tick;  // seconds each reading of the clock adds
  bool answered;
  int tries;
  bool settingsStored;
  bool announced = true;  // behind USB: the adapter says OK when it is found again
};

void PrintTo(const RestartCase& c, std::ostream* os) { *os << c.name; }

class KometRestart : public ::testing::TestWithParam<RestartCase> {};

TEST_P(KometRestart, TriesAndStoresAsTheRestartTook) {
  const RestartCase& c = GetParam();
  auto line = platform::comm::MakeMemoryLine("restart");
  link::ConfigurePort(line.host.get(), 115200);
  if (c.usb && c.announced) {
    // The USB adapter announces itself when it is found again.
    const std::string_view ok = "\r\nOK\r\n";
    line.device->Send(std::span(reinterpret_cast<const std::uint8_t*>(ok.data()), ok.size()));
  }
  int refused = 0;
  ScriptedProduct adapter(*line.device, [&](const std::string& command, const auto&) {
    if (command == "AT&F" && refused++ < c.refusals) {
      return std::vector<Chunk>{{Answer("", {"ERROR"})}};
    }
    return std::vector<Chunk>{{Answer("", {"OK"})}};
  });
  FakeClock clock(c.tick);
  const auto before = link::CurrentTimeouts(line.host.get());

  const KometRestartResult result = WaitForKometRestart(line.host.get(), clock, c.usb);
  EXPECT_EQ(result.answered, c.answered);
  EXPECT_EQ(result.tries, c.tries);
  EXPECT_EQ(result.settingsStored, c.settingsStored);
  const auto lines = adapter.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "AT&F"), c.tries);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "AT&F&W&F1&W1"), c.settingsStored ? 1 : 0);
  EXPECT_EQ(link::CurrentTimeouts(line.host.get()).readConstant, before.readConstant);
}

INSTANTIATE_TEST_SUITE_P(
    Isdn, KometRestart,
    ::testing::Values(
        // Each refused try waits out its two seconds; the 2 s after the OK count too.
        RestartCase{"at once", false, 0, 0, true, 1, false},
        RestartCase{"exactly 8 s is not longer", false, 3, 0, true, 4, false},
        RestartCase{"longer than 8 s", false, 4, 0, true, 5, true},
        RestartCase{"a slow clock", false, 0, 4, true, 1, true},
        RestartCase{"never", false, 20, 0, false, 15, false},
        RestartCase{"behind USB", true, 4, 0, true, 5, true},
        RestartCase{"behind USB, never", true, 5, 0, false, 5, false},
        // The test clock waits 1 s of each silent read and counts the rest:
        // 30 s, 5 s and 5 s unanswered make a long restart.
        RestartCase{"behind USB, silent", true, 0, 0, true, 1, true, false}));

// Slot answers: 0 a number, 2 empty (OK alone), 4 ERROR, 1 garbled, 3 too
// long, 5 a number whose write-back fails.
TEST(IsdnNumbers, OnlyWhatWasReadIsWrittenBackAndFailuresAreNamed) {
  auto line = platform::comm::MakeMemoryLine("numbers");
  link::ConfigurePort(line.host.get(), 115200);
  ScriptedProduct adapter(*line.device, [](const std::string& command, const auto&) {
    if (command == "AT&Z*0?") {
      return std::vector<Chunk>{{Answer("", {"0301234", "OK"})}};
    }
    if (command == "AT&Z*2?") {
      return std::vector<Chunk>{{Answer("", {"OK"})}};
    }
    if (command == "AT&Z*1?") {
      return std::vector<Chunk>{{Answer("", {"03?1#", "OK"})}};
    }
    if (command == "AT&Z*3?") {
      return std::vector<Chunk>{{Answer("", {"123456789012345678901", "OK"})}};
    }
    if (command == "AT&Z*5?") {
      return std::vector<Chunk>{{Answer("", {"0309999", "OK"})}};
    }
    if (command == "AT&Z*4?" || command.starts_with("AT&Z*5=")) {
      return std::vector<Chunk>{{Answer("", {"ERROR"})}};
    }
    return std::vector<Chunk>{{Answer("", {"OK"})}};
  });
  std::array<SavedNumber, kMsnSlots> saved{};
  // A number of an adapter upgraded earlier in the run is not kept.
  saved[4] = {SavedNumber::State::Number, "0405555"};

  SaveNumbers(line.host.get(), kMsnSlots, saved);
  const std::vector<std::string> failed = RestoreNumbers(line.host.get(), kMsnSlots, saved);
  EXPECT_EQ(failed, std::vector<std::string>{"6: 0309999"});
  const auto lines = adapter.Lines();
  const std::vector<std::string> expected{"AT&Z*0?",        "AT&Z*2?", "AT&Z*4?",
                                          "AT&Z*1?",        "AT&Z*3?", "AT&Z*5?",
                                          "AT&Z*0=0301234", "AT&Z*2=", "AT&Z*5=0309999"};
  EXPECT_EQ(lines, expected);

  // Three slots on an adapter with a modem component.
  std::array<SavedNumber, kMsnSlots> three{};
  SaveNumbers(line.host.get(), 3, three);
  EXPECT_EQ(three[0].digits, "0301234");
  EXPECT_EQ(three[5].state, SavedNumber::State::NotRead);
}

TEST(IsdnBootCode, AdapterVersionReadAsHexDigits) {
  EXPECT_EQ(ReportedBootCodeVersion("0102\r\n"), std::optional<std::uint16_t>(0x0102));
  EXPECT_EQ(ReportedBootCodeVersion(" 1a2B"), std::optional<std::uint16_t>(0x1A2B));
  EXPECT_EQ(ReportedBootCodeVersion("123456"), std::optional<std::uint16_t>(0x1234));
  EXPECT_EQ(ReportedBootCodeVersion("no version"), std::nullopt);
  EXPECT_EQ(ReportedBootCodeVersion("V1.2"), std::nullopt);
  EXPECT_EQ(ReportedBootCodeVersion(""), std::nullopt);
}

}  // namespace
}  // namespace norix::upgrade::testing
