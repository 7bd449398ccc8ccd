#include "sim/command_interpreter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace norix::sim {
namespace {

using Texts = std::vector<std::string>;

class CommandInterpreterTest : public ::testing::Test {
 protected:
  CommandInterpreter modem_{StandardFactorySettings(16), 2};

  std::string Register(unsigned index) {
    const Reply reply = modem_.Execute("ATS" + std::to_string(index) + "?");
    EXPECT_EQ(reply.result, ResultCode::Ok);
    return reply.information.empty() ? std::string() : reply.information.front();
  }
};

TEST_F(CommandInterpreterTest, OnlyLinesBeginningWithAtAreCommands) {
  for (const char* line : {"", "A", "HELLO", "At", "aT", " AT", "TA"}) {
    const Reply reply = modem_.Execute(line);
    EXPECT_FALSE(reply.result.has_value()) << line;
    EXPECT_TRUE(reply.information.empty()) << line;
  }
  EXPECT_EQ(modem_.Execute("AT").result, ResultCode::Ok);
  EXPECT_EQ(modem_.Execute("at").result, ResultCode::Ok);
  EXPECT_EQ(modem_.Execute("atE0").result, ResultCode::Ok);
  EXPECT_FALSE(modem_.Current().Echo());
}

TEST_F(CommandInterpreterTest, RunsSeveralCommandsOfOneLine) {
  EXPECT_EQ(modem_.Execute("ATE0V0Q1").result, ResultCode::Ok);
  EXPECT_FALSE(modem_.Current().Echo());
  EXPECT_FALSE(modem_.Current().Verbose());
  EXPECT_TRUE(modem_.Current().Quiet());
  // Spaces and separators between commands are allowed.
  EXPECT_EQ(modem_.Execute("AT E1 ; V1;Q0").result, ResultCode::Ok);
  EXPECT_TRUE(modem_.Current().Echo());
  EXPECT_TRUE(modem_.Current().Verbose());
  EXPECT_FALSE(modem_.Current().Quiet());
  // A missing number means 0.
  EXPECT_EQ(modem_.Execute("ATE").result, ResultCode::Ok);
  EXPECT_FALSE(modem_.Current().Echo());
}

TEST_F(CommandInterpreterTest, FirstFailingCommandEndsTheLineWithError) {
  const Reply reply = modem_.Execute("ATS7?E0YE1");
  EXPECT_EQ(reply.result, ResultCode::Error);
  EXPECT_EQ(reply.information, Texts{"050"});  // the commands before it still count
  EXPECT_FALSE(modem_.Current().Echo());       // E0 ran, E1 did not

  EXPECT_EQ(modem_.Execute("ATE2").result, ResultCode::Error);
  EXPECT_EQ(modem_.Execute("ATQ9").result, ResultCode::Error);
  EXPECT_FALSE(modem_.Current().Quiet());
}

TEST_F(CommandInterpreterTest, SRegistersAreWrittenReadAndChecked) {
  EXPECT_EQ(Register(3), "013");
  EXPECT_EQ(Register(7), "050");
  EXPECT_EQ(modem_.Execute("ATS7=30S0=2").result, ResultCode::Ok);
  EXPECT_EQ(Register(7), "030");
  EXPECT_EQ(Register(0), "002");
  // Out of range value or register, and a number far too long to hold.
  EXPECT_EQ(modem_.Execute("ATS7=256").result, ResultCode::Error);
  EXPECT_EQ(modem_.Execute("ATS16?").result, ResultCode::Error);
  EXPECT_EQ(modem_.Execute("ATS7=99999999999999999999").result, ResultCode::Error);
  EXPECT_EQ(modem_.Execute("ATS4294967303=1").result, ResultCode::Error);
  EXPECT_EQ(Register(7), "030");
  // A register selected by "Sn" is read by "?" and written by "=".
  EXPECT_EQ(modem_.Execute("ATS8=9").result, ResultCode::Ok);
  const Reply selected = modem_.Execute("ATS8?=4?");
  EXPECT_EQ(selected.result, ResultCode::Ok);
  EXPECT_EQ(selected.information, (Texts{"009", "004"}));
}

TEST_F(CommandInterpreterTest, FactorySettingsAndStoredProfiles) {
  // Store S7=30 with echo off, change both, restore from the profile.
  ASSERT_EQ(modem_.Execute("ATS7=30E0&W").result, ResultCode::Ok);
  ASSERT_EQ(modem_.Execute("ATS7=40E1").result, ResultCode::Ok);
  ASSERT_EQ(modem_.Execute("ATZ").result, ResultCode::Ok);
  EXPECT_EQ(Register(7), "030");
  EXPECT_FALSE(modem_.Current().Echo());
  // AT&F brings the factory values back but leaves the stored profile alone.
  ASSERT_EQ(modem_.Execute("AT&F").result, ResultCode::Ok);
  EXPECT_EQ(Register(7), "050");
  EXPECT_TRUE(modem_.Current().Echo());
  ASSERT_EQ(modem_.Execute("ATZ0").result, ResultCode::Ok);
  EXPECT_EQ(Register(7), "030");
  // "AT&F&W" makes the factory settings the stored ones.
  ASSERT_EQ(modem_.Execute("AT&F&W").result, ResultCode::Ok);
  ASSERT_EQ(modem_.Execute("ATS7=45Z").result, ResultCode::Ok);
  EXPECT_EQ(Register(7), "050");
  // Profile 1 exists, profile 2 does not; there is one set of factory values.
  EXPECT_EQ(modem_.Execute("ATS7=11&W1&FZ1").result, ResultCode::Ok);
  EXPECT_EQ(Register(7), "011");
  EXPECT_EQ(modem_.Execute("AT&W2").result, ResultCode::Error);
  EXPECT_EQ(modem_.Execute("ATZ2").result, ResultCode::Error);
  EXPECT_EQ(modem_.Execute("AT&F1").result, ResultCode::Error);
}

TEST_F(CommandInterpreterTest, OverflowedLineRunsNothing) {
  const Reply reply = modem_.Execute("ATE0S7=1", true);
  EXPECT_EQ(reply.result, ResultCode::Error);
  EXPECT_TRUE(modem_.Current().Echo());
  EXPECT_EQ(Register(7), "050");
  // An overflowed line that is no command line still gets no answer.
  EXPECT_FALSE(modem_.Execute("XX", true).result.has_value());
}

TEST_F(CommandInterpreterTest, RepeatRunsTheLastCommandLine) {
  EXPECT_EQ(modem_.Repeat().result, ResultCode::Ok);  // nothing yet: a bare "AT"
  ASSERT_EQ(modem_.Execute("ATS7?").result, ResultCode::Ok);
  ASSERT_FALSE(modem_.Execute("not a command").result.has_value());
  const Reply reply = modem_.Repeat();
  EXPECT_EQ(reply.result, ResultCode::Ok);
  EXPECT_EQ(reply.information, Texts{"050"});
}

TEST_F(CommandInterpreterTest, LongestCommandNameWins) {
  std::vector<std::string> calls;
  modem_.Commands().Add("*N", [&](CommandCursor& args, CommandInterpreter&) {
    calls.push_back("*N" + std::string(args.TakeRest()));
    return CommandOutcome::Next();
  });
  modem_.Commands().Add("*nc", [&](CommandCursor& args, CommandInterpreter&) {
    const auto number = args.Number();
    calls.push_back("*NC" + std::to_string(number.value_or(999)));
    return CommandOutcome::Next();
  });
  EXPECT_EQ(modem_.Execute("AT*nc003E0").result, ResultCode::Ok);
  EXPECT_EQ(modem_.Execute("AT*N-").result, ResultCode::Ok);
  EXPECT_EQ(calls, (Texts{"*NC3", "*N-"}));
  EXPECT_FALSE(modem_.Current().Echo());
}

TEST_F(CommandInterpreterTest, HandlerCanEndTheLineWithItsOwnCode) {
  modem_.Commands().Add("D", [](CommandCursor& args, CommandInterpreter&) {
    static_cast<void>(args.TakeRest());
    return CommandOutcome::End(ResultCode::NoDialtone);
  });
  modem_.Commands().Add(
      "O", [](CommandCursor&, CommandInterpreter&) { return CommandOutcome::EndSilently(); });
  EXPECT_EQ(modem_.Execute("ATDT123E0").result, ResultCode::NoDialtone);
  EXPECT_TRUE(modem_.Current().Echo());  // the rest was the dial string
  const Reply silent = modem_.Execute("ATOE0");
  EXPECT_FALSE(silent.result.has_value());
  EXPECT_TRUE(modem_.Current().Echo());
}

struct FramingCase {
  bool verbose;
  bool quiet;
  ResultCode code;
  const char* information;
  const char* result;
};

class ReplyFramingTest : public ::testing::TestWithParam<FramingCase> {};

TEST_P(ReplyFramingTest, FramesTextsAndCodes) {
  const FramingCase& c = GetParam();
  ModemSettings settings = StandardFactorySettings(16);
  settings.options["V"] = c.verbose ? 1U : 0U;
  settings.options["Q"] = c.quiet ? 1U : 0U;
  EXPECT_EQ(FormatInformation("B5", settings), c.information);
  EXPECT_EQ(FormatResult(c.code, settings), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ReplyFramingTest,
    ::testing::Values(FramingCase{true, false, ResultCode::Ok, "\r\nB5\r\n", "\r\nOK\r\n"},
                      FramingCase{true, false, ResultCode::NoDialtone, "\r\nB5\r\n",
                                  "\r\nNO DIALTONE\r\n"},
                      FramingCase{false, false, ResultCode::Error, "B5\r\n", "4\r"},
                      FramingCase{false, false, ResultCode::NoCarrier, "B5\r\n", "3\r"},
                      FramingCase{true, true, ResultCode::Ok, "\r\nB5\r\n", ""}));

}  // namespace
}  // namespace norix::sim
