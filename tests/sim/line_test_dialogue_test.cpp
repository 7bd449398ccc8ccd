// The line test's dialogue with each kind of product over an in-memory line:
// set-up, volume up, dial, a line feed that ends the wait, the final answer,
// volume back, "ATH" where it applies, and "AT&F". The product's own waits
// are set short (S6, S7) so that the answers come within the test's time.
#include <string>

#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;

class LineTestDialogue : public ::testing::Test {
 protected:
  void Start(std::string_view model, ProductOptions options = {}) {
    line_ = StartOnMemoryLine(model, options);
    SetSpeed(*line_.host, 57600);
  }
  Port& Host() { return *line_.host; }
  // Sends the command line and expects exactly `answer` back.
  void Expect(std::string_view command, const std::string& answer) {
    Write(Host(), std::string(command) + "\r");
    EXPECT_EQ(ReadUntil(Host(), answer), answer) << command;
  }
  // The set-up of the line test: echo off, extended result codes.
  void SetUp(std::string_view setUp) {
    Write(Host(), std::string(setUp) + "\r");
    ASSERT_EQ(ReadUntil(Host(), "OK\r\n"), std::string(setUp) + "\r\r\nOK\r\n");
  }
  // A final result code framed in CR LF on both sides, or what came of it
  // within `limit`.
  std::string ReadFinal(std::chrono::milliseconds limit) {
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (answer.size() < 4 || !answer.ends_with("\r\n")) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        break;
      }
      answer += ReadUntil(Host(), "\r\n", left);
    }
    return answer;
  }
  // Dials and waits up to `wait` for an answer; when none came, sends the
  // line feed that ends the call and reads the answer to that.
  std::string Dial(std::string_view dial, std::chrono::milliseconds wait) {
    Write(Host(), std::string(dial) + "\r");
    std::string answer = ReadFinal(wait);
    if (answer.empty()) {
      Write(Host(), "\n");
      answer = ReadFinal(1s);
    }
    return answer;
  }

  MemoryProduct line_;
};

TEST_F(LineTestDialogue, GciModemTurnsItsVolumeUpAndBackAndEndsInFactorySettings) {
  Start("netrunner56k");
  Expect("AT*K0", "AT*K0\r\r\nOK\r\n");
  SetUp("ATE0X4S6=4");
  Expect("AT+VOL?", "\r\n4\r\n\r\nOK\r\n");
  Expect("AT+VOL=8", "\r\nOK\r\n");
  EXPECT_EQ(Dial("ATDT", 300ms), "\r\nNO CARRIER\r\n");
  Expect("AT+VOL?", "\r\n8\r\n\r\nOK\r\n");
  Expect("AT+VOL=4", "\r\nOK\r\n");
  Expect("AT&F", "\r\nOK\r\n");
  // Factory settings again: echo on.
  Expect("AT#VOL?", "AT#VOL?\r\r\nERROR\r\n");
}

TEST_F(LineTestDialogue, NationalityCodeModemTakesTheHashVolume) {
  Start("netrunner33k6");
  SetUp("ATE0X4S6=4");
  Expect("AT#VOL?", "\r\n4\r\n\r\nOK\r\n");
  Expect("AT#VOL=8", "\r\nOK\r\n");
  Expect("AT+VOL?", "\r\nERROR\r\n");
  EXPECT_EQ(Dial("ATDT", 200ms), "\r\nNO CARRIER\r\n");
  Expect("AT#VOL?", "\r\n8\r\n\r\nOK\r\n");
}

TEST_F(LineTestDialogue, ModemWithoutDialToneAnswersNoDialtoneAfterS6) {
  ProductOptions options;
  options.dialTone = false;
  Start("corvid560", options);
  SetUp("ATE0X4S6=1");
  std::string answer;
  const auto took = Elapsed([&] { answer = Dial("ATDT", 2s); });
  EXPECT_EQ(answer, "\r\nNO DIALTONE\r\n");
  EXPECT_GE(took, 900ms);
  EXPECT_LT(took, 1900ms);
  // The line feed that the test sends after its wait finds the modem in
  // command mode, where it is no command.
  Write(Host(), "\n");
  Expect("AT", "\r\nOK\r\n");
}

TEST_F(LineTestDialogue, LineDelayEndsAnUnansweredCallBeforeTheLineFeed) {
  ProductOptions options;
  options.lineDelay = 300ms;
  Start("netrunner56k", options);
  SetUp("ATE0X4S6=4");
  std::string answer;
  const auto took = Elapsed([&] { answer = Dial("ATDT", 2s); });
  EXPECT_EQ(answer, "\r\nNO CARRIER\r\n");
  EXPECT_GE(took, 250ms);
  EXPECT_LT(took, 1500ms);
}

TEST_F(LineTestDialogue, SolanoDialsOneOnTheIsdnLineAndHangsUp) {
  Start("solano1280i");
  Expect("AT*K0", "AT*K0\r\r\nOK\r\n");
  SetUp("ATE0X4S6=4");
  // No loudspeaker: the volume query is refused, so no setting follows.
  Expect("AT#VOL?", "\r\nERROR\r\n");
  EXPECT_EQ(Dial("ATDT1", 200ms), "\r\nNO CARRIER\r\n");
  Expect("ATH", "\r\nOK\r\n");
  Expect("AT&F", "\r\nOK\r\n");
  Expect("AT", "AT\r\r\nOK\r\n");
}

TEST_F(LineTestDialogue, SolanoWithoutIsdnLineAnswersNoDialtone) {
  ProductOptions options;
  options.dialTone = false;
  Start("solano1280i-ab", options);
  SetUp("ATE0X4S6=1");
  EXPECT_EQ(Dial("ATDT1", 2s), "\r\nNO DIALTONE\r\n");
  Expect("ATH", "\r\nOK\r\n");
}

TEST_F(LineTestDialogue, KometEndsTheCallAfterItsShortCarrierWait) {
  Start("komet2");
  SetUp("ATE0X4S7=1");
  Expect("AT#VOL?", "\r\nERROR\r\n");
  std::string answer;
  const auto took = Elapsed([&] { answer = Dial("ATD", 3s); });
  EXPECT_EQ(answer, "\r\nNO CARRIER\r\n");
  EXPECT_GE(took, 900ms);
  Expect("AT&F", "\r\nOK\r\n");
}

TEST_F(LineTestDialogue, KometWithoutIsdnLineAnswersNoDialtone) {
  ProductOptions options;
  options.dialTone = false;
  Start("komet2", options);
  SetUp("ATE0X4S7=3S6=0");
  EXPECT_EQ(Dial("ATD", 2s), "\r\nNO DIALTONE\r\n");
}

TEST_F(LineTestDialogue, AdapterWithInternalModemUsesTheModemsLoudspeaker) {
  Start("solano1280mi");
  SetUp("ATE0X4S6=4");
  Expect("AT#VOL?", "\r\n4\r\n\r\nOK\r\n");
  Expect("AT#VOL=8", "\r\nOK\r\n");
  // The setting reached the modem part itself.
  Expect("AT!MATE0#VOL?",
         "\r\nModem command: ATE0#VOL?\r\n\r\nOK\r\nATE0#VOL?\r\r\n8\r\n\r\nOK\r\n");
  EXPECT_EQ(Dial("ATDM", 200ms), "\r\nNO CARRIER\r\n");
  Expect("AT#VOL=4", "\r\nOK\r\n");
  Expect("AT#VOL?", "\r\n4\r\n\r\nOK\r\n");
  Expect("AT&F", "\r\nOK\r\n");
}

}  // namespace
}  // namespace norix::sim
