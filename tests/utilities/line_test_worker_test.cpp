#include "utilities/line_test_worker.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/at_exchange.h"
#include "link/link_fixture.h"
#include "utilities/line_test_plan.h"
#include "utilities/quick_line_clock.h"

namespace norix::utilities {
namespace {

using namespace std::chrono_literals;
using testing::Answer;
using testing::Chunk;

LineTestProduct Modem(bool gci) { return {gci, {}}; }

LineTestProduct Solano(bool internalModem) {
  LineTestProduct product{true, {}};
  product.features.isdnAdapter = true;
  product.features.internalModem = internalModem;
  product.features.analoguePort = !internalModem;
  return product;
}

LineTestProduct Komet() {
  LineTestProduct product{false, {}};
  product.features.isdnAdapter = true;
  product.features.komet = true;
  return product;
}

TEST(LineTestPlanTest, ResultTextByOutcomeAndProduct) {
  const device::AdapterFeatures modem;
  EXPECT_EQ(LineTestResultText(kLineWorking, modem, "NORIX Netrunner 56000 Voice "), 2098);
  EXPECT_EQ(LineTestResultText(kLineWorking, modem, "NORIX Corvid 560V USB "), 2097);
  EXPECT_EQ(LineTestResultText(kLineWorking, modem, "NORIX corvid 288 "), 2097);
  EXPECT_EQ(LineTestResultText(kLineNoDialTone, modem, "NORIX corvid 288 "), 2199);
  EXPECT_EQ(LineTestResultText(kLineUndetermined, modem, "NORIX corvid 288 "), 2100);
  const device::AdapterFeatures solano = Solano(false).features;
  EXPECT_EQ(LineTestResultText(kLineWorking, solano, "NORIX solano 1280i USB"), 2054);
  EXPECT_EQ(LineTestResultText(kLineNoDialTone, solano, ""), 2200);
  EXPECT_EQ(LineTestResultText(kLineUndetermined, solano, ""), 2100);
  const device::AdapterFeatures withModem = Solano(true).features;
  for (const std::uint16_t outcome : {kLineWorking, kLineNoDialTone, kLineUndetermined}) {
    EXPECT_EQ(LineTestResultText(outcome, withModem, ""), 2053);
  }
}

TEST(LineTestPlanTest, AnswerClassification) {
  EXPECT_EQ(ClassifyDialAnswer("NO CARRIER\r\n"), kLineWorking);
  EXPECT_EQ(ClassifyDialAnswer("NO DIALTONE\r\n"), kLineNoDialTone);
  EXPECT_EQ(ClassifyDialAnswer("BUSY\r\n"), kLineUndetermined);
  EXPECT_EQ(ClassifyDialAnswer(""), kLineUndetermined);
}

// A scripted product: answers by command, and answers the dial command with
// `dialAnswer` after the worker's five seconds of listening (none: silent),
// both on the quick clock.
class LineTestRunTest : public testing::LinkFixture {
 protected:
  void StartProduct(std::map<std::string, std::vector<std::string>> answers,
                    std::string dialAnswer) {
    Start([answers = std::move(answers), dialAnswer = std::move(dialAnswer)](
              const std::string& raw, const platform::comm::CommState&) -> std::vector<Chunk> {
      const std::string line = Strip(raw);
      if (line.starts_with("ATD")) {
        if (dialAnswer.empty()) {
          return {};
        }
        return {{"\r\n" + dialAnswer + "\r\n", 5300ms * kQuickLinePercent / 100}};
      }
      const auto it = answers.find(line);
      return {{Answer(line, it != answers.end() ? it->second : std::vector<std::string>{"OK"})}};
    });
    Quick(150);
  }

  // The line feed that ends the call comes in front of the next command.
  static std::string Strip(const std::string& line) {
    return line.starts_with("\n") ? line.substr(1) : line;
  }

  [[nodiscard]] std::vector<std::string> Commands() const {
    std::vector<std::string> commands;
    for (const std::string& line : product_->Lines()) {
      commands.push_back(Strip(line));
    }
    return commands;
  }

  shell::StopSignal stop_;
  QuickLineClock clock_;
};

TEST_F(LineTestRunTest, GciModemTurnsTheVolumeUpAndPutsItBack) {
  StartProduct({{"AT+VOL?", {"4", "OK"}}}, "NO CARRIER");
  EXPECT_EQ(RunLineTest(Port(), Modem(true), stop_, clock_), kLineWorking);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT*K0", "ATE0X4S6=4", "AT+VOL?", "AT+VOL=8",
                                                  "ATDT", "AT+VOL?", "AT+VOL=4", "AT&F"}));
  // Five seconds of listening and the rests around the answer, in full.
  EXPECT_EQ(clock_.Paused(), 6100ms);
}

TEST_F(LineTestRunTest, RefusedVolumeQueryGetsNoVolumeSettingAtAll) {
  StartProduct({{"AT#VOL?", {"ERROR"}}}, "NO DIALTONE");
  EXPECT_EQ(RunLineTest(Port(), Modem(false), stop_, clock_), kLineNoDialTone);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT*K0", "ATE0X4S6=4", "AT#VOL?", "ATDT",
                                                  "AT#VOL?", "AT&F"}));
}

TEST_F(LineTestRunTest, SolanoWithoutModemDialsOneAndHangsUp) {
  StartProduct({{"AT+VOL?", {"ERROR"}}}, "NO CARRIER");
  EXPECT_EQ(RunLineTest(Port(), Solano(false), stop_, clock_), kLineWorking);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT*K0", "ATE0X4S6=4", "AT+VOL?", "ATDT1",
                                                  "AT+VOL?", "ATH", "AT&F"}));
}

TEST_F(LineTestRunTest, SolanoWithModemDialsTheModemAndKometDialsPlain) {
  StartProduct({{"AT+VOL?", {"ERROR"}}, {"AT#VOL?", {"ERROR"}}}, "NO DIALTONE");
  EXPECT_EQ(RunLineTest(Port(), Solano(true), stop_, clock_), kLineNoDialTone);
  EXPECT_EQ(RunLineTest(Port(), Komet(), stop_, clock_), kLineNoDialTone);
  EXPECT_EQ(Commands(),
            (std::vector<std::string>{"AT*K0", "ATE0X4S6=4", "AT+VOL?", "ATDM", "AT+VOL?", "AT&F",
                                      "AT*K0", "ATE0X4S7=3", "AT#VOL?", "ATD", "AT#VOL?", "AT&F"}));
}

TEST_F(LineTestRunTest, RefusedSetupStopsBeforeDialling) {
  StartProduct({{"ATE0X4S6=4", {"ERROR"}}}, "NO CARRIER");
  EXPECT_EQ(RunLineTest(Port(), Modem(true), stop_, clock_), kLineUndetermined);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT*K0", "ATE0X4S6=4"}));
}

TEST_F(LineTestRunTest, StoppedBeforeDiallingDoesNotDialButPutsTheVolumeBack) {
  StartProduct({{"AT+VOL?", {"4", "OK"}}}, "NO CARRIER");
  stop_.Request();
  EXPECT_EQ(RunLineTest(Port(), Modem(true), stop_, clock_), kLineUndetermined);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT*K0", "ATE0X4S6=4", "AT+VOL?", "AT+VOL=8",
                                                  "AT+VOL?", "AT+VOL=4", "AT&F"}));
  EXPECT_EQ(clock_.Paused(), 0ms);
}

// A late final code and a stray result line of an earlier exchange are no
// part of the test, and a product that reports its call's end behind the
// answer to "AT&F" leaves nothing for the page's next exchange.
TEST_F(LineTestRunTest, InputLeftOnTheLineIsNoPartOfTheTestOrOfTheNextExchange) {
  StartProduct(
      {{"AT+VOL?", {"4", "OK"}}, {"AT&F", {"OK", "NO CARRIER"}}, {"AT#REV?", {"V1.10", "OK"}}},
      "NO CARRIER");
  Unprompted("\r\nOK\r\n\r\nERROR\r\n");
  EXPECT_EQ(RunLineTest(Port(), Modem(true), stop_, clock_), kLineWorking);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"AT*K0", "ATE0X4S6=4", "AT+VOL?", "AT+VOL=8",
                                                  "ATDT", "AT+VOL?", "AT+VOL=4", "AT&F"}));
  std::string reply;
  EXPECT_EQ(link::SendAtCommand(Port(), "AT#REV?", reply), link::AtResult::Ok) << reply;
}

TEST_F(LineTestRunTest, StoppedWorkerEndsSoonAndStillResetsTheProduct) {
  StartProduct({{"AT+VOL?", {"5", "OK"}}}, "");
  LineTestWorker worker;
  ASSERT_TRUE(worker.Start(Port(), Modem(true), platform::window::kNullHwnd, 0x8006));
  EXPECT_FALSE(worker.Start(Port(), Modem(true), platform::window::kNullHwnd, 0x8006));
  ASSERT_TRUE(product_->WaitForLines(5, 3s));  // it has dialled
  const auto start = std::chrono::steady_clock::now();
  worker.Stop();
  EXPECT_LT(testing::Since(start), 3s);
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 3U);
  EXPECT_EQ(commands.back(), "AT&F");
  EXPECT_EQ(commands[commands.size() - 2], "AT+VOL=5");
}

}  // namespace
}  // namespace norix::utilities
