// The simulated product driven by raw bytes over an in-memory line.
#include "sim/simulated_product.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/models/models.h"
#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;

constexpr const char* kName = "NORIX Netrunner 56000 Voice V1.10";

class ProductOnMemoryLineTest : public ::testing::Test {
 protected:
  MemoryProduct line_ = StartOnMemoryLine("netrunner56k");
  Port& host_ = *line_.host;

  // Sends the bytes and reads until the answer ends with `end`.
  std::string Talk(std::string_view bytes, std::string_view end) {
    Write(host_, bytes);
    return ReadUntil(host_, end);
  }
};

TEST_F(ProductOnMemoryLineTest, EchoesAndFramesTheAnswer) {
  // The echo is the command characters and the CR; then the informational
  // text and the final code, each framed in CR LF.
  EXPECT_EQ(Talk("ATI3\r", "OK\r\n"), std::string("ATI3\r\r\n") + kName + "\r\n\r\nOK\r\n");
  // The host sends the CR as a write of its own; the echo follows as it comes.
  Write(host_, "AT");
  EXPECT_EQ(ReadUntil(host_, "AT"), "AT");
  EXPECT_EQ(Talk("\r", "OK\r\n"), "\r\r\nOK\r\n");
  EXPECT_EQ(Talk("ATX9\r", "ERROR\r\n"), "ATX9\r\r\nERROR\r\n");
}

TEST_F(ProductOnMemoryLineTest, EchoCanBeSwitchedOffAndOn) {
  // The line that switches echo off is still echoed: its CR came before it ran.
  EXPECT_EQ(Talk("ATE0\r", "OK\r\n"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(Talk("AT+GCI?\r", "OK\r\n"), "\r\n+GCI: B5\r\n\r\nOK\r\n");
  EXPECT_EQ(Talk("ATE1\r", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(Talk("AT\r", "OK\r\n"), "AT\r\r\nOK\r\n");
}

TEST_F(ProductOnMemoryLineTest, NumericAndQuietResults) {
  // Numeric framing: texts end in CR LF, codes are a number and CR.
  EXPECT_EQ(Talk("ATE0V0I1\r", "\n0\r"), "ATE0V0I1\r7C4E\r\n0\r");
  EXPECT_EQ(Talk("ATI3\r", "0\r"), std::string(kName) + "\r\n0\r");
  EXPECT_EQ(Talk("ATI9\r", "4\r"), "4\r");
  Write(host_, "ATV1Q1\r");
  EXPECT_EQ(ReadFor(host_, 150ms), "");  // no final code at all
  Write(host_, "ATI1\r");
  EXPECT_EQ(ReadFor(host_, 150ms), "\r\n7C4E\r\n");
}

TEST_F(ProductOnMemoryLineTest, RunsSeveralCommandsOfOneLine) {
  EXPECT_EQ(Talk("AT&F&W\r", "OK\r\n"), "AT&F&W\r\r\nOK\r\n");
  EXPECT_EQ(Talk("ATE0I5+GCI=31\r", "OK\r\n"), "ATE0I5+GCI=31\r\r\nB5\r\n\r\nOK\r\n");
  EXPECT_EQ(Talk("ATI5\r", "OK\r\n"), "\r\n31\r\n\r\nOK\r\n");
  EXPECT_EQ(Talk("ATI3I1\r", "OK\r\n"), std::string("\r\n") + kName + "\r\n\r\n7C4E\r\n\r\nOK\r\n");
}

TEST_F(ProductOnMemoryLineTest, ProfilesKeepAnSRegister) {
  ASSERT_EQ(Talk("ATE0S7=33&W\r", "OK\r\n"), "ATE0S7=33&W\r\r\nOK\r\n");
  ASSERT_EQ(Talk("ATS7=44\r", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(Talk("ATS7?\r", "OK\r\n"), "\r\n044\r\n\r\nOK\r\n");
  ASSERT_EQ(Talk("ATZ\r", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(Talk("ATS7?\r", "OK\r\n"), "\r\n033\r\n\r\nOK\r\n");
  // AT&F restores echo too, so its own answer comes without echo but the
  // next line is echoed.
  ASSERT_EQ(Talk("AT&F\r", "OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(Talk("ATS7?\r", "OK\r\n"), "ATS7?\r\r\n050\r\n\r\nOK\r\n");
}

TEST_F(ProductOnMemoryLineTest, LineThatIsNoCommandGetsOnlyItsEcho) {
  Write(host_, "HELLO\r\nhello AT\r");
  EXPECT_EQ(ReadFor(host_, 200ms), "HELLO\rhello AT\r");  // the line feed is not echoed
  EXPECT_EQ(Talk("AT\r", "OK\r\n"), "AT\r\r\nOK\r\n");
  ASSERT_TRUE(line_.product->WaitForLines(3, 1s));
  EXPECT_EQ(line_.product->Commands(), (std::vector<std::string>{"HELLO", "hello AT", "AT"}));
}

TEST_F(ProductOnMemoryLineTest, BackspaceEditsTheLineAndIsEchoed) {
  EXPECT_EQ(Talk("ATI4\b1\r", "OK\r\n"), "ATI4\b1\r\r\n7C4E\r\n\r\nOK\r\n");
  ASSERT_TRUE(line_.product->WaitForLines(1, 1s));
  EXPECT_EQ(line_.product->Commands(), std::vector<std::string>{"ATI1"});
}

TEST_F(ProductOnMemoryLineTest, OverlongLineIsRefused) {
  ASSERT_EQ(Talk("ATE0\r", "OK\r\n"), "ATE0\r\r\nOK\r\n");
  std::string line = "ATS7=1";
  line.append(kCommandLineCapacity, ' ');
  line += "S7=2\r";
  EXPECT_EQ(Talk(line, "ERROR\r\n"), "\r\nERROR\r\n");
  EXPECT_EQ(Talk("ATS7?\r", "OK\r\n"), "\r\n050\r\n\r\nOK\r\n");
}

TEST_F(ProductOnMemoryLineTest, RepeatsTheLastLine) {
  ASSERT_EQ(Talk("ATE0I1\r", "OK\r\n"), "ATE0I1\r\r\n7C4E\r\n\r\nOK\r\n");
  EXPECT_EQ(Talk("A/", "OK\r\n"), "\r\n7C4E\r\n\r\nOK\r\n");
}

TEST_F(ProductOnMemoryLineTest, SilentAtSpeedsItDoesNotKnow) {
  SetSpeed(host_, 14400);
  Write(host_, "ATI3\r");
  EXPECT_EQ(ReadFor(host_, 200ms), "");
  SetSpeed(host_, 115200);
  EXPECT_EQ(Talk("ATI3\r", "OK\r\n"), std::string("ATI3\r\r\n") + kName + "\r\n\r\nOK\r\n");

  ASSERT_TRUE(line_.product->WaitForLines(2, 1s));
  const auto transcript = line_.product->Transcript();
  ASSERT_EQ(transcript.size(), 2U);
  EXPECT_EQ(transcript[0].line, "ATI3");
  EXPECT_EQ(transcript[0].baudRate, 14400U);
  EXPECT_FALSE(transcript[0].heard);
  EXPECT_EQ(transcript[1].baudRate, 115200U);
  EXPECT_TRUE(transcript[1].heard);
  EXPECT_EQ(line_.product->Commands(), std::vector<std::string>{"ATI3"});
}

TEST_F(ProductOnMemoryLineTest, TranscriptKeepsTheOrderOfCommands) {
  for (const char* command : {"AT", "AT+GCI?", "ATI3", "AT+GCI=?", "ATI5"}) {
    Write(host_, command);
    Write(host_, "\r");
    ReadUntil(host_, "OK\r\n");
  }
  EXPECT_EQ(line_.product->Commands(),
            (std::vector<std::string>{"AT", "AT+GCI?", "ATI3", "AT+GCI=?", "ATI5"}));
}

TEST(SimulatedProductTest, AnswersAfterTheReplyDelay) {
  ProductOptions options;
  options.replyDelay = 150ms;
  auto line = StartOnMemoryLine("netrunner56k", options);
  Write(*line.host, "AT\r");
  std::string echo;
  std::string answer;
  std::chrono::milliseconds echoTime{0};
  const auto totalTime = Elapsed([&] {
    echoTime = Elapsed([&] { echo = ReadUntil(*line.host, "AT\r"); });
    answer = ReadUntil(*line.host, "OK\r\n");
  });
  EXPECT_EQ(echo, "AT\r");
  EXPECT_LT(echoTime, 140ms);
  EXPECT_EQ(answer, "\r\nOK\r\n");
  EXPECT_GE(totalTime, 150ms);
}

TEST(SimulatedProductTest, PausesBeforeTheFinalCode) {
  ProductOptions options;
  options.resultPause = 150ms;
  auto line = StartOnMemoryLine("netrunner56k", options);
  Write(*line.host, "ATI1\r");
  EXPECT_EQ(ReadUntil(*line.host, "7C4E\r\n"), "ATI1\r\r\n7C4E\r\n");
  std::string rest;
  const auto pause = Elapsed([&] { rest = ReadUntil(*line.host, "OK\r\n"); });
  EXPECT_EQ(rest, "\r\nOK\r\n");
  EXPECT_GE(pause, 120ms);
}

TEST(SimulatedProductTest, PacesBytesAtTheHostSpeed) {
  ProductOptions options;
  options.pace = true;
  auto line = StartOnMemoryLine("netrunner56k", options);
  SetSpeed(*line.host, 2400);
  Write(*line.host, "ATI3\r");
  // 5 echo bytes and 43 answer bytes at 240 bytes per second: 200 ms, of
  // which the last byte's own time is not waited for.
  std::string answer;
  const auto took = Elapsed([&] { answer = ReadUntil(*line.host, "OK\r\n"); });
  EXPECT_EQ(answer.size(), 48U);
  EXPECT_GE(took, 190ms);
  EXPECT_LT(took, 900ms);
}

TEST(SimulatedProductTest, GarblesEveryNthByte) {
  ProductOptions options;
  options.garbleEvery = 3;
  auto line = StartOnMemoryLine("netrunner56k", options);
  Write(*line.host, "AT\r");
  std::string expected = "AT\r\r\nOK\r\n";
  for (std::size_t i = 2; i < expected.size(); i += 3) {
    expected[i] = static_cast<char>(expected[i] ^ 0x55);
  }
  EXPECT_EQ(ReadFor(*line.host, 200ms), expected);
}

TEST(SimulatedProductTest, SilentPortNeverAnswers) {
  auto line = StartOnMemoryLine("silent");
  for (const std::uint32_t speed : {9600U, 57600U, 115200U}) {
    SetSpeed(*line.host, speed);
    Write(*line.host, "AT\r");
  }
  EXPECT_EQ(ReadFor(*line.host, 150ms), "");
  ASSERT_TRUE(line.product->WaitForLines(3, 1s));
  EXPECT_TRUE(line.product->Commands().empty());
}

// A PC Card style model: asleep until it has heard two lines.
class SleepyModel final : public Model {
 public:
  [[nodiscard]] bool AnswersAt(std::uint32_t) const override { return true; }
  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(16);
  }
  void AddCommands(CommandSet&) override {}
  [[nodiscard]] bool Listening() const override { return heard_ >= 2; }
  void OnUnheardLine(std::string_view) override { ++heard_; }

 private:
  int heard_ = 0;
};

TEST(SimulatedProductTest, ModelDecidesWhenItListens) {
  auto line = StartOnMemoryLine(std::make_unique<SleepyModel>());
  Write(*line.host, "AT\rAT\r");
  EXPECT_EQ(ReadFor(*line.host, 150ms), "");
  Write(*line.host, "AT\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "AT\r\r\nOK\r\n");
  const auto transcript = line.product->Transcript();
  ASSERT_EQ(transcript.size(), 3U);
  EXPECT_FALSE(transcript[0].heard);
  EXPECT_FALSE(transcript[1].heard);
  EXPECT_TRUE(transcript[2].heard);
}

TEST(SimulatedProductTest, StopEndsEvenInTheMiddleOfALongDelay) {
  ProductOptions options;
  options.replyDelay = 20s;
  auto line = StartOnMemoryLine("netrunner56k", options);
  Write(*line.host, "AT\r");
  ASSERT_TRUE(line.product->WaitForLines(1, 1s));
  EXPECT_LT(Elapsed([&] { line.product->Stop(); }), 1s);
  line.product->Stop();  // a second stop does nothing
  EXPECT_EQ(ReadFor(*line.host, 50ms), "AT\r");
}

TEST(SimulatedProductTest, EndsWhenTheHostGoes) {
  auto line = StartOnMemoryLine("netrunner56k");
  line.host.reset();
  EXPECT_LT(Elapsed([&] { line.product->Stop(); }), 1s);
}

TEST(SimulatedProductTest, UnstartedProductStopsCleanly) {
  auto memory = platform::comm::MakeMemoryLine();
  SimulatedProduct product("idle", FindModel("netrunner56k")->make(), std::move(memory.device));
  product.Stop();
  product.Start();  // a stopped product stays stopped
  EXPECT_TRUE(product.Transcript().empty());
}

}  // namespace
}  // namespace norix::sim
