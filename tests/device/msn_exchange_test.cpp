#include "device/msn_exchange.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/link_fixture.h"

namespace norix::device {
namespace {

using link::AtResult;
using testing::Answer;
using testing::Chunk;

struct ReplyCase {
  const char* name;
  AtResult result;
  std::string reply;
  SlotState state;
  std::string number;
};

class SlotReplyTest : public ::testing::TestWithParam<ReplyCase> {};

// Only an answer that ended with OK reads a slot; anything else is unknown,
// never a number made of the reply's text.
TEST_P(SlotReplyTest, ClassifiesTheAnswer) {
  const SlotReading reading = ClassifySlotReply(GetParam().result, GetParam().reply);
  EXPECT_EQ(reading.state, GetParam().state);
  EXPECT_EQ(reading.number, GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SlotReplyTest,
    ::testing::Values(
        ReplyCase{"Number", AtResult::Ok, "4711\r\n", SlotState::kNumber, "4711"},
        ReplyCase{"EmptySlot", AtResult::Ok, "OK\r\n", SlotState::kEmpty, ""},
        ReplyCase{"Error", AtResult::Error, "ERROR\r\n", SlotState::kUnknown, ""},
        ReplyCase{"Silence", AtResult::NoReply, "", SlotState::kUnknown, ""},
        ReplyCase{"NumberWithoutFinalOk", AtResult::NoReply, "4711\r\n", SlotState::kUnknown, ""},
        ReplyCase{"Garbled", AtResult::Ok, "47\x1b?1\r\n", SlotState::kUnknown, ""},
        ReplyCase{"Text", AtResult::Ok, "NO CARRIER\r\n", SlotState::kUnknown, ""},
        ReplyCase{"LongestNumber", AtResult::Ok, std::string(kMsnMaxDigits, '7') + "\r\n",
                  SlotState::kNumber, std::string(kMsnMaxDigits, '7')},
        ReplyCase{"LongerThanAFieldTakes", AtResult::Ok,
                  std::string(kMsnMaxDigits + 1, '7') + "\r\n", SlotState::kUnknown, ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NumberTextTest, AcceptsWholeNumbersOfDigitsOnly) {
  EXPECT_TRUE(IsNumberText("0401234567", kMsnMaxDigits));
  EXPECT_TRUE(IsNumberText(std::string(kMsnMaxDigits, '9'), kMsnMaxDigits));
  EXPECT_FALSE(IsNumberText(std::string(kMsnMaxDigits + 1, '9'), kMsnMaxDigits));
  EXPECT_FALSE(IsNumberText("", kMsnMaxDigits));
  EXPECT_FALSE(IsNumberText("12;ATZ", kMsnMaxDigits));  // pasted text adding a command
  EXPECT_FALSE(IsNumberText("12 34", kMsnMaxDigits));
  EXPECT_FALSE(IsNumberText("17", 1));  // a one-digit local number
}

class MsnExchangeTest : public testing::LinkFixture {
 protected:
  void SetUp() override {
    Start([](const std::string& line, const platform::comm::CommState&) -> std::vector<Chunk> {
      if (line == "AT&Z*0?") {
        return {{Answer(line, {"4711", "OK"})}};
      }
      return {{Answer(line, {"OK"})}};
    });
    Quick(150);
  }
};

// A line that came after the last answer (late, or unasked) must not pass
// for the next slot's number, which OK would then write into that slot.
TEST_F(MsnExchangeTest, InputWaitingBeforeAQueryIsNotTakenForItsAnswer) {
  Unprompted("\r\n5555\r\n\r\nOK\r\n");
  const SlotReading empty = ReadNumberSlot(Port(), "AT&Z*2");
  EXPECT_EQ(empty.state, SlotState::kEmpty);
  const SlotReading stored = ReadNumberSlot(Port(), "AT&Z*0");
  EXPECT_EQ(stored.state, SlotState::kNumber);
  EXPECT_EQ(stored.number, "4711");
  EXPECT_EQ(WriteNumberSlot(Port(), "AT&Z*4", "0401234567"), AtResult::Ok);
  EXPECT_EQ(WriteNumberSlot(Port(), "AT&Z*2", ""), AtResult::Ok);
  EXPECT_EQ(product_->Lines(),
            (std::vector<std::string>{"AT&Z*2?", "AT&Z*0?", "AT&Z*4=0401234567", "AT&Z*2="}));
}

}  // namespace
}  // namespace norix::device
