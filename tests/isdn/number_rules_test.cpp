// The rules behind the number pages that the flows do not reach one by
// one: how attribute and prefix answers are read, and how the Telephone
// setting page's rows come from and go to the six slots.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "isdn/komet_numbers_exchange.h"
#include "isdn/telephone_setting_plan.h"

namespace norix::isdn {
namespace {

using device::SlotReading;
using device::SlotState;
using link::AtResult;

struct AttributeCase {
  const char* name;
  AtResult result;
  std::string reply;
  std::optional<int> value;
};

class AttributeReplyTest : public ::testing::TestWithParam<AttributeCase> {};

// Anything but a number from 0 to 255 answered with OK is unknown: read as
// 0 it would have the row's sides written away.
TEST_P(AttributeReplyTest, ReadsOnlyWholeNumbers) {
  const auto value = ParseAttributeReply(GetParam().result, GetParam().reply);
  EXPECT_EQ(value ? std::optional<int>(*value) : std::nullopt, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, AttributeReplyTest,
    ::testing::Values(AttributeCase{"Value", AtResult::Ok, "160\r\n", 160},
                      AttributeCase{"Zero", AtResult::Ok, "0\r\n", 0},
                      AttributeCase{"Error", AtResult::Error, "ERROR\r\n", std::nullopt},
                      AttributeCase{"Silence", AtResult::NoReply, "", std::nullopt},
                      AttributeCase{"Garbled", AtResult::Ok,
                                    "1\x7f"
                                    "0\r\n",
                                    std::nullopt},
                      AttributeCase{"TooLarge", AtResult::Ok, "256\r\n", std::nullopt}),
    [](const auto& test) { return std::string(test.param.name); });

struct PrefixCase {
  const char* name;
  AtResult result;
  std::string reply;
  LocalMode mode;
  std::string command;  // what OK writes back unchanged, then the partner
  std::string partner;
};

class LocalPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(LocalPrefixTest, DecidesTheModeAndWritesItBack) {
  const LocalPrefix prefix = ParseLocalPrefixReply(GetParam().result, GetParam().reply);
  EXPECT_EQ(prefix.mode, GetParam().mode);
  if (prefix.mode != LocalMode::kUnknown) {
    EXPECT_EQ(LocalPrefixCommand(prefix), GetParam().command);
    EXPECT_EQ(PrefixPartnerCommand(prefix), GetParam().partner);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LocalPrefixTest,
    ::testing::Values(PrefixCase{"TwoDigitsStar", AtResult::Ok, "*\r\n", LocalMode::kTwoDigits,
                                 "AT&Z#L=*", "AT*S10=,#"},
                      PrefixCase{"TwoDigitsHash", AtResult::Ok, "#\r\n", LocalMode::kTwoDigits,
                                 "AT&Z#L=#", "AT*S10=,*"},
                      PrefixCase{"OneDigit", AtResult::Ok, "#,*\r\n", LocalMode::kOneDigit,
                                 "AT&Z#L=#,*", "AT*S10=,#"},
                      PrefixCase{"OneDigitBlanks", AtResult::Ok, "* , #\r\n", LocalMode::kOneDigit,
                                 "AT&Z#L=*,#", "AT*S10=,*"},
                      PrefixCase{"OtherSymbol", AtResult::Ok, "x\r\n", LocalMode::kUnknown, "", ""},
                      PrefixCase{"Error", AtResult::Error, "ERROR\r\n", LocalMode::kUnknown, "",
                                 ""},
                      PrefixCase{"Silence", AtResult::NoReply, "", LocalMode::kUnknown, "", ""}),
    [](const auto& test) { return std::string(test.param.name); });

SlotReading Number(const char* digits) { return {SlotState::kNumber, digits}; }
const SlotReading kEmpty{SlotState::kEmpty, ""};
const SlotReading kUnread{SlotState::kUnknown, ""};

std::vector<std::string> Commands(const TelephonePlan& plan) {
  std::vector<std::string> commands;
  for (const SlotWrite& write : plan.writes) {
    commands.push_back(write.Command());
  }
  return commands;
}

// Six different numbers: four rows; the slots of the two left out are kept
// like unread ones, so OK cannot erase numbers the user never saw.
TEST(TelephonePlanTest, NumbersWithoutARowKeepTheirSlots) {
  const TelephoneReading reading = BuildTelephoneRows({Number("1"), Number("2"), Number("3")},
                                                      {Number("4"), Number("5"), Number("6")});
  ASSERT_EQ(reading.rows.size(), kTelephoneRows);
  EXPECT_EQ(reading.rows[3].number, "4");
  EXPECT_TRUE(reading.AnyReserved());
  const TelephonePlan plan = PlanTelephoneWrites(reading.rows, reading.reserved);
  EXPECT_EQ(Commands(plan),
            (std::vector<std::string>{"AT&Z*0=1", "AT&Z*2=2", "AT&Z*4=3", "AT&Z*1=4"}));
}

// The same number on the adapter side twice makes two rows; a port slot
// with that number ticks the first.
TEST(TelephonePlanTest, EqualNumbersAndRefusalWhenASideIsFull) {
  const TelephoneReading reading =
      BuildTelephoneRows({Number("7"), Number("7"), kEmpty}, {kUnread, Number("7"), kUnread});
  ASSERT_EQ(reading.rows.size(), 2U);
  EXPECT_TRUE(reading.rows[0].adapter && reading.rows[0].port);
  EXPECT_TRUE(reading.rows[1].adapter && !reading.rows[1].port);
  std::vector<TelephoneRow> rows = reading.rows;
  rows[1].port = true;  // two port ticks, one free port slot
  EXPECT_EQ(PlanTelephoneWrites(rows, reading.reserved).full, Side::kPort);
  EXPECT_EQ(Commands(PlanTelephoneWrites(reading.rows, reading.reserved)),
            (std::vector<std::string>{"AT&Z*0=7", "AT&Z*3=7", "AT&Z*2=7", "AT&Z*4="}));
}

}  // namespace
}  // namespace norix::isdn
