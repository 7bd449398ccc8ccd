// The number commands of the ISDN adapter models: what they store and read
// back, the ERROR a malformed or out-of-range value gets, and the chosen
// commands that fail by option.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model_under_test.h"

namespace norix::sim {
namespace {

using namespace test;

struct CommandCase {
  const char* name;
  const char* model;
  std::vector<std::string> setup;  // answered OK
  std::string command;
  ResultCode result;
  std::vector<std::string> information;
};

class NumberCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(NumberCommandTest, AnswersAsTheAdapter) {
  ModelUnderTest adapter(GetParam().model);
  for (const std::string& line : GetParam().setup) {
    ASSERT_EQ(adapter.Result(line), ResultCode::Ok) << line;
  }
  const Reply reply = adapter.Run(GetParam().command);
  EXPECT_EQ(reply.result, GetParam().result);
  EXPECT_EQ(reply.information, GetParam().information);
}

const ResultCode kOk = ResultCode::Ok;
const ResultCode kError = ResultCode::Error;

INSTANTIATE_TEST_SUITE_P(
    Commands, NumberCommandTest,
    ::testing::Values(
        CommandCase{
            "StoredNumber", "solano1280i", {"AT&Z*5=0401234567"}, "AT&Z*5?", kOk, {"0401234567"}},
        CommandCase{"ErasedSlot", "solano1280i", {"AT&Z*0=1", "AT&Z*0="}, "AT&Z*0?", kOk, {}},
        CommandCase{"FactoryResetKeepsNumbers",
                    "solano1280i",
                    {"AT&Z*2=77", "AT&F", "ATZ"},
                    "AT&Z*2?",
                    kOk,
                    {"77"}},
        CommandCase{"LetterInNumber", "solano1280i", {}, "AT&Z*0=12a", kError, {}},
        CommandCase{"NumberTooLong", "solano1280i", {}, "AT&Z*0=123456789012345678901", kError, {}},
        CommandCase{"SlotBeyondTheSix", "solano1280i", {}, "AT&Z*6=1", kError, {}},
        CommandCase{"NoAttributesOnSolano", "solano1280i", {}, "AT&Z*P0?", kError, {}},
        CommandCase{
            "OldFirmwareReadsNothingBack", "solano1280i-old", {"AT&Z*1=5"}, "AT&Z*1?", kError, {}},
        CommandCase{"OldFirmwareHasTwoSlots", "solano1280i-old", {}, "AT&Z*2=5", kError, {}},
        CommandCase{"KometAttribute", "komet2", {"AT&Z*P7=226"}, "AT&Z*P7?", kOk, {"226"}},
        CommandCase{"KometAttributeMinusOne", "komet2", {}, "AT&Z*P0=-1", kError, {}},
        CommandCase{"KometRingingTypeFour", "komet2", {}, "AT&Z*P0=3", kError, {}},
        CommandCase{"KometUnknownBit", "komet2", {}, "AT&Z*P0=16", kError, {}},
        CommandCase{"LocalNumberFactory", "komet2", {}, "AT&Z#3?", kOk, {"21"}},
        CommandCase{"LocalNumberThreeDigits", "komet2", {}, "AT&Z#0=123", kError, {}},
        CommandCase{"LocalAttributeNoDataSide", "komet2", {}, "AT&Z#P0=128", kError, {}},
        CommandCase{"LocalBothPorts", "komet2", {"AT&Z#P1=97"}, "AT&Z#P1?", kOk, {"97"}},
        CommandCase{"OneDigitPrefix", "komet2", {"AT&Z#L=*,#"}, "AT&Z#L?", kOk, {"*,#"}},
        CommandCase{"PrefixOtherSymbol", "komet2", {}, "AT&Z#L=x", kError, {}},
        // The partner symbol is the portability key; an empty flag keeps it.
        CommandCase{"PartnerKeepsPortabilityFlag",
                    "komet2",
                    {"AT*S10=1,*", "AT*S10=,#"},
                    "AT*S10?",
                    kOk,
                    {"1,#"}},
        CommandCase{"PartnerOtherSymbol", "komet2", {}, "AT*S10=,1", kError, {}},
        CommandCase{"NoLocalNumbersOnSolano", "solano1280i", {}, "AT&Z#L?", kError, {}}),
    [](const auto& test) { return std::string(test.param.name); });

// Chosen commands fail by option, are not carried out, and leave the
// others working.
TEST(NumberFaultTest, ChosenCommandsAnswerErrorOrNothing) {
  ProductOptions options;
  options.failingCommands = {"AT&Z*2="};
  options.unansweredCommands = {"AT&Z*P1"};
  ModelUnderTest adapter("komet2", options);
  EXPECT_EQ(adapter.Result("AT&Z*2=55"), ResultCode::Error);
  EXPECT_EQ(adapter.Run("AT&Z*2?").information, std::vector<std::string>{});
  const Reply silent = adapter.Run("AT&Z*P1=64");
  EXPECT_FALSE(silent.result.has_value());
  EXPECT_TRUE(silent.information.empty());
  EXPECT_EQ(adapter.Run("AT&Z*P1?").result, std::nullopt);
  EXPECT_EQ(adapter.Result("AT&Z*3=55"), ResultCode::Ok);
  EXPECT_EQ(adapter.Text("AT&Z*3?"), "55");
}

}  // namespace
}  // namespace norix::sim
