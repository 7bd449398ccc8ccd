// The provider service reply parser: what a line gives, what counts as read
// whole (and may be written back unchanged), and what is cut or refused.
#include "services/service_reply.h"

#include <optional>
#include <string_view>

#include <gtest/gtest.h>

namespace norix::services {
namespace {

struct ActivationCase {
  std::string_view line;
  bool withNumber;
  bool taken;
  bool read;
  std::string_view digits;
  bool numberTaken;
  bool numberRead;
  std::string_view number;
};

TEST(ServiceReplyTest, ActivationLines) {
  const ActivationCase cases[] = {
      {"1,*,21,*,987,#", true, true, true, "21", true, true, "987"},
      {"1 * 21 * 987 #\r\n", true, true, true, "21", true, true, "987"},
      {"0,*,31,*", false, true, true, "31", false, false, ""},
      // An empty number: the separators run together, no number is there.
      {"0,*,67,*,,#", true, true, true, "67", false, false, ""},
      // Garbled keys: nothing is taken.
      {"1,?,21,?,987,?", true, false, false, "", false, false, ""},
      {"", true, false, false, "", false, false, ""},
      {"OK", false, false, false, "", false, false, ""},
      // Cut to the fields: shown, but not read whole.
      {"1,*,12345,*", false, true, false, "1234", false, false, ""},
      {"1,*,21,*,123456789012345678901,#", true, true, true, "21", true, false,
       "12345678901234567890"},
      // A character no dialling field takes.
      {"1,*,2&,*", false, true, false, "2&", false, false, ""},
      {"1,*,21,*,9&F,#", true, true, true, "21", true, false, "9&F"},
      // A suffix that is no key: taken (shown), not read.
      {"1,*,21,x", false, true, false, "21", false, false, ""},
  };
  for (const ActivationCase& c : cases) {
    const ActivationReply reply = ParseActivationReply(c.line, c.withNumber);
    EXPECT_EQ(reply.codesTaken, c.taken) << c.line;
    EXPECT_EQ(reply.codesRead, c.read) << c.line;
    EXPECT_EQ(reply.digits, c.digits) << c.line;
    EXPECT_EQ(reply.numberTaken, c.numberTaken) << c.line;
    EXPECT_EQ(reply.numberRead, c.numberRead) << c.line;
    EXPECT_EQ(reply.number, c.number) << c.line;
  }
  const ActivationReply on = ParseActivationReply("1,#,43,*", false);
  EXPECT_TRUE(on.on);
  EXPECT_EQ(on.prefix, '#');
  EXPECT_EQ(on.suffix, '*');
}

TEST(ServiceReplyTest, CancelLinesAndValues) {
  const CancelReply cancel = ParseCancelReply("#,21,#");
  EXPECT_TRUE(cancel.taken && cancel.read);
  EXPECT_EQ(cancel.digits, "21");
  EXPECT_FALSE(ParseCancelReply("?,21,?").taken);
  EXPECT_FALSE(ParseCancelReply("#,21").taken);
  const CancelReply cut = ParseCancelReply("#,99999,#");
  EXPECT_TRUE(cut.taken);
  EXPECT_FALSE(cut.read);
  EXPECT_EQ(cut.digits, "9999");

  const std::pair<std::string_view, std::optional<std::int32_t>> values[] = {
      {"012", 12},
      {" 3\r\n", 3},
      {"1,*", 1},
      {",1", std::nullopt},
      {"ERROR", std::nullopt},
      {"", std::nullopt},
      {"99999999999", 2147483647},
      {"-4", -4}};
  for (const auto& [line, value] : values) {
    EXPECT_EQ(ReplyValue(line), value) << line;
  }
}

}  // namespace
}  // namespace norix::services
