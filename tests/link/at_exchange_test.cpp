#include "link/at_exchange.h"

#include <map>

#include <gtest/gtest.h>

#include "link_fixture.h"

namespace norix::testing {
namespace {

using link::AtResult;
using link::SendAtCommand;

using AtExchange = LinkFixture;

// A product that answers from a table of command -> raw answer bytes.
Responder Table(std::map<std::string, std::vector<Chunk>> answers) {
  return [answers = std::move(answers)](const std::string& line, const platform::comm::CommState&) {
    auto it = answers.find(line);
    return it == answers.end() ? std::vector<Chunk>{} : it->second;
  };
}

struct Case {
  const char* name;
  std::string answer;  // everything the product sends after the command
  AtResult result;
  std::string reply;
};

class Classification : public LinkFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(Classification, AnswerGivesResultAndReplyLine) {
  const Case& c = GetParam();
  Start(Table({{"ATX", {{c.answer}}}}));
  Quick(150, 60);
  std::string reply = "stale";
  EXPECT_EQ(SendAtCommand(Port(), "ATX", reply), c.result);
  EXPECT_EQ(reply, c.reply);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Classification,
    ::testing::Values(
        Case{"OkWithoutEcho", "\r\nOK\r\n", AtResult::Ok, "OK\r\n"},
        Case{"OkWithEcho", "ATX\r\r\nOK\r\n", AtResult::Ok, "OK\r\n"},
        Case{"Error", "ATX\r\r\nERROR\r\n", AtResult::Error, "ERROR\r\n"},
        Case{"NoCarrier", "\r\nNO CARRIER\r\n", AtResult::NoCarrier, "NO CARRIER\r\n"},
        Case{"NoDialtone", "\r\nNO DIALTONE\r\n", AtResult::NoDialtone, "NO DIALTONE\r\n"},
        Case{"Vcon", "\r\nVCON\r\n", AtResult::Vcon, "VCON\r\n"},
        Case{"InfoThenOk", "ATX\r\r\nNORIX Netrunner 56000 Voice V1.10\r\n\r\nOK\r\n", AtResult::Ok,
             "NORIX Netrunner 56000 Voice V1.10\r\n"},
        Case{"InfoThenError", "\r\n003\r\n\r\nERROR\r\n", AtResult::Error, "003\r\n"},
        Case{"InfoThenBothErrorWins", "\r\nINFO\r\nOK ERROR\r\n", AtResult::Error, "INFO\r\n"},
        Case{"InfoWithoutFinalCode", "\r\nINFO\r\nMORE\r\n", AtResult::NoReply, "INFO\r\n"},
        Case{"EchoOnly", "ATX\r", AtResult::NoReply, ""},
        // The echo is compared case-sensitively: a lower-case echo is taken
        // for an informational line, and the OK after it decides.
        Case{"LowerCaseEchoIsInformation", "atx\r\r\nOK\r\n", AtResult::Ok, "atx\r\r\n"}),
    [](const ::testing::TestParamInfo<Case>& param) { return param.param.name; });

TEST_F(AtExchange, SilentProductGivesNoReplyAfterTheReadTimeOut) {
  Start(Table({}));
  link::SetReadTimeout(Port(), 300);
  std::string reply = "stale";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SendAtCommand(Port(), "AT", reply), AtResult::NoReply);
  EXPECT_EQ(reply, "");
  EXPECT_GE(Since(start).count(), 300);
  EXPECT_LT(Since(start).count(), 1500);
}

TEST_F(AtExchange, EmptyCommandSendsNothing) {
  Start(Table({}));
  std::string reply = "kept";
  EXPECT_EQ(SendAtCommand(Port(), "", reply), AtResult::NoReply);
  EXPECT_EQ(reply, "kept");
  EXPECT_FALSE(product_->WaitForLines(1, std::chrono::milliseconds(100)));
}

TEST_F(AtExchange, TheUnreadRestOfALongAnswerStaysOnThePort) {
  // More than 127 bytes after the first line: the rest read ends after 127
  // bytes, the final OK stays on the port for whoever reads next.
  std::string answer = "ATI4\r\r\nFIRST\r\n";
  for (int i = 0; i < 6; ++i) {
    answer += "\r\nline of twenty chars\r\n";
  }
  answer += "\r\nOK\r\n";
  Start(Table({{"ATI4", {{answer}}}}));
  Quick(150, 60);
  std::string reply;
  EXPECT_EQ(SendAtCommand(Port(), "ATI4", reply), AtResult::NoReply);
  EXPECT_EQ(reply, "FIRST\r\n");
  std::string rest;
  EXPECT_GT(link::ReadBlock(Port(), rest, 200), 0U);
  EXPECT_NE(rest.find("OK"), std::string::npos);
}

TEST_F(AtExchange, APauseInTheRestLeavesTheFinalCodeUnread) {
  Start(Table({{"ATI5", {{"ATI5\r\r\n003\r\n\r\n"}, {"OK\r\n", std::chrono::milliseconds(300)}}}}));
  Quick(150, 60);
  std::string reply;
  EXPECT_EQ(SendAtCommand(Port(), "ATI5", reply), AtResult::NoReply);
  EXPECT_EQ(reply, "003\r\n");
  link::SetReadTimeout(Port(), 1000);
  std::string line;
  EXPECT_EQ(link::ReadLine(Port(), line), 4U);
  EXPECT_EQ(line, "OK\r\n");
}

// The rest of an answer ends with its final result code line: what the
// product sends after it, within the read interval, is left for the next
// read instead of being swallowed while the exchange waits out the interval.
TEST_F(AtExchange, TheRestEndsAtTheFinalCodeLine) {
  for (const std::string final : {"OK", "ERROR"}) {
    SCOPED_TRACE(final);
    Start(Table({{"ATI3",
                  {{"ATI3\r\r\nNORIX corvid 560 Voice V1.50\r\n\r\n" + final + "\r\n"},
                   {"\r\nRING\r\n", std::chrono::milliseconds(200)}}}}));
    ASSERT_TRUE(Port()->SetTimeouts({1000, 0, 1000, 1, 2000}));
    std::string reply;
    EXPECT_EQ(SendAtCommand(Port(), "ATI3", reply), final == "OK" ? AtResult::Ok : AtResult::Error);
    EXPECT_EQ(reply, "NORIX corvid 560 Voice V1.50\r\n");
    EXPECT_EQ(link::CurrentTimeouts(Port()),
              (platform::comm::CommTimeouts{1000, 0, 1000, 1, 2000}));
    std::string line;
    EXPECT_EQ(link::ReadLine(Port(), line), 6U);
    EXPECT_EQ(line, "RING\r\n");
    TearDown();
  }
}

// A command that carries a further line (as the settings restore after an
// upgrade does) has that line's echo follow its answer: the rest read takes
// it, so that it does not stand in front of the next exchange's answer.
TEST_F(AtExchange, TheEchoOfAFurtherLineGoesWithTheAnswer) {
  Start(Table({{"AT%7AB", {{"AT%7AB\r\r\nOK\r\n"}}},
               {"\nAB", {{"AB\r", std::chrono::milliseconds(200)}}}}));
  ASSERT_TRUE(Port()->SetTimeouts({1000, 0, 1000, 1, 2000}));
  std::string reply;
  EXPECT_EQ(SendAtCommand(Port(), "AT%7AB\r\nAB\r\n", reply), AtResult::Ok);
  EXPECT_EQ(reply, "AT%7AB\r\r\n");
  ASSERT_TRUE(Port()->SetTimeouts({40, 0, 300, 1, 2000}));
  std::string left;
  EXPECT_EQ(link::ReadBlock(Port(), left, 100), 0U) << left;
}

TEST_F(AtExchange, LongReplyLinesAreCutToTheReplyBuffer) {
  Start(Table({{"ATI9", {{"\r\n" + std::string(600, 'n') + "\r\n\r\nOK\r\n"}}}}));
  Quick(150, 60);
  std::string reply;
  EXPECT_EQ(SendAtCommand(Port(), "ATI9", reply), AtResult::Ok);
  EXPECT_EQ(reply, std::string(link::kReplyCapacity, 'n'));
}

TEST_F(AtExchange, GciSupportNeedsOkToTheQuery) {
  Start(Table({{"AT", {{"\r\nOK\r\n"}}}, {"AT+GCI?", {{"\r\n+GCI: B5\r\n\r\nOK\r\n"}}}}));
  Quick(150, 60);
  EXPECT_EQ(link::QueryGciSupport(Port()), 1);
  EXPECT_EQ(product_->Lines(), (std::vector<std::string>{"AT", "AT+GCI?"}));
}

TEST_F(AtExchange, NoGciSupportWhenTheQueryIsRefused) {
  Start(Table({{"AT", {{"\r\nOK\r\n"}}}, {"AT+GCI?", {{"\r\nERROR\r\n"}}}}));
  Quick(150, 60);
  EXPECT_EQ(link::QueryGciSupport(Port()), 0);
}

// A modem that takes the factory reset and "ATI3" at 9600 bit/s and then
// answers "AT" only at the speeds in `speeds`.
Responder AnswersAt(std::vector<std::uint32_t> speeds) {
  return [speeds](const std::string& line, const platform::comm::CommState& state) {
    const bool setUp = (line == "AT&F" || line == "ATI3") && state.baudRate == 9600;
    if (!setUp && std::find(speeds.begin(), speeds.end(), state.baudRate) == speeds.end()) {
      return std::vector<Chunk>{};
    }
    if (line == "ATI3") {
      return std::vector<Chunk>{{Answer(line, {"NORIX Netrunner 56000 Voice V1.10", "OK"})}};
    }
    return std::vector<Chunk>{{Answer(line, {"OK"})}};
  };
}

struct ProbeCase {
  const char* name;
  std::vector<std::uint32_t> speeds;
  int result;
  std::uint32_t speedAfter;
};

class SpeedProbe : public LinkFixture, public ::testing::WithParamInterface<ProbeCase> {};

TEST_P(SpeedProbe, FindsTheHighestSpeedThatAnswers) {
  const ProbeCase& c = GetParam();
  Start(AnswersAt(c.speeds), 57600);
  EXPECT_EQ(link::ProbeSpeed(Port()), c.result);
  EXPECT_EQ(line_.device->HostState().baudRate, c.speedAfter);
  platform::comm::CommTimeouts t;
  ASSERT_TRUE(Port()->GetTimeouts(t));
  EXPECT_EQ(t.readConstant, c.result != 0 ? 5000U : 500U);
  if (c.result != 0) {
    // Found: a last factory reset at the speed that answered.
    const auto lines = product_->Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "AT&F");
    EXPECT_EQ(product_->Speeds().back(), c.speedAfter);
  }
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedProbe,
                         ::testing::Values(ProbeCase{"At38400", {9600, 38400}, 1, 38400},
                                           ProbeCase{"At19200", {9600, 19200}, 2, 19200},
                                           ProbeCase{"At9600", {9600}, 4, 9600},
                                           ProbeCase{"At4800", {4800}, 8, 4800},
                                           ProbeCase{"Nowhere", {}, 0, 4800}),
                         [](const ::testing::TestParamInfo<ProbeCase>& param) {
                           return param.param.name;
                         });

TEST_F(AtExchange, ProbeGivesUpWhenTheFactoryResetFails) {
  Start([](const std::string&, const platform::comm::CommState&) { return std::vector<Chunk>{}; });
  link::SetReadTimeout(Port(), 200);
  EXPECT_EQ(link::ProbeSpeed(Port()), 0);
  EXPECT_EQ(product_->Lines(), std::vector<std::string>{"AT&F"});
  EXPECT_EQ(link::ProbeSpeed(nullptr), 0);
}

}  // namespace
}  // namespace norix::testing
