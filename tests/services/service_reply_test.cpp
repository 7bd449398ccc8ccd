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
  std::string_view digits;
  std::string_view number;
  bool withNumber;
  bool taken;
  bool read;
  bool numberTaken;
  bool numberRead;
};

TEST(ServiceReplyTest, ActivationLines) {
  // line, digits, number; with number, codes taken, read, number taken, read
  const ActivationCase cases[] = {
      {"1,*,21,*,987,#", "21", "987", true, true, true, true, true},
      {"1 * 21 * 987 #\r\n", "21", "987", true, true, true, true, true},
      {"0,*,31,*", "31", "", false, true, true, false, false},
      // An empty number: the separators run together, no number is there.
      {"0,*,67,*,,#", "67", "", true, true, true, false, false},
      // Garbled keys: nothing is taken.
      {"1,?,21,?,987,?", "", "", true, false, false, false, false},
      {"", "", "", true, false, false, false, false},
      {"OK", "", "", false, false, false, false, false},
      // Cut to the fields: shown, but not read whole.
      {"1,*,12345,*", "1234", "", false, true, false, false, false},
      {"1,*,21,*,123456789012345678901,#", "21", "12345678901234567890", true, true, true, true,
       false},
      // A character no dialling field takes.
      {"1,*,2&,*", "2&", "", false, true, false, false, false},
      {"1,*,21,*,9&F,#", "21", "9&F", true, true, true, true, false},
      // A suffix that is no key: taken (shown), not read.
      {"1,*,21,x", "21", "", false, true, false, false, false},
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
