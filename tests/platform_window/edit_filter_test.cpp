// What typing leaves in an edit under its rules, and the same rules applied
// by the model when the user types into a running dialog.
#include "platform/window/edit_filter.h"

#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/window/control_api.h"
#include "platform/window/user_input.h"

namespace norix::platform::window::testing {
namespace {

struct FilterCase {
  const char* name;
  EditRules rules;
  std::string current;
  std::string typed;
  std::string expected;
};

EditRules Digits(int limit = kDefaultEditLimit) {
  EditRules rules;
  rules.digitsOnly = true;
  rules.limit = limit;
  return rules;
}

EditRules Allowed(std::string chars, bool uppercase = false) {
  EditRules rules;
  rules.allowedChars = std::move(chars);
  rules.uppercase = uppercase;
  return rules;
}

EditRules Limited(int limit, bool multiLine = false) {
  EditRules rules;
  rules.limit = limit;
  rules.multiLine = multiLine;
  return rules;
}

class EditFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(EditFilter, AppendTyped) {
  const FilterCase& c = GetParam();
  EXPECT_EQ(AppendTyped(c.current, c.typed, c.rules), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EditFilter,
    ::testing::Values(
        FilterCase{"DigitsDropOthers", Digits(), "", "0a1-2 3", "0123"},
        FilterCase{"DigitsStopAtLimit", Digits(20), "1234567890123456789", "012",
                   "12345678901234567890"},
        FilterCase{"LimitCountsWhatIsThere", Digits(2), "7", "89", "78"},
        FilterCase{"ProgramTextOverLimitTakesNoMore", Limited(2), "abc", "d", "abc"},
        FilterCase{"AllowedSetOnly", Allowed("#*"), "", "#a*b#", "#*#"},
        FilterCase{"UppercaseBeforeTheAllowedCheck", Allowed("ABC", true), "", "abcd", "ABC"},
        FilterCase{"UppercaseLeavesOthers", Allowed("", true), "", "at&f1 ü", "AT&F1 ü"},
        FilterCase{"EnterAndTabAreNotText", Limited(30), "", "ATI3\r\n\t", "ATI3"},
        FilterCase{"MultiLineKeepsLineFeeds", Limited(30, true), "", "a\r\nb", "a\nb"},
        FilterCase{"LimitCountsCharactersNotBytes", Limited(3), "", "æøåx", "æøå"},
        FilterCase{"AllowedMultiByteCharacters", Allowed("æø"), "", "aæbøå", "æø"},
        FilterCase{"BrokenUtf8IsDropped", Limited(10), "", std::string("a\xC3") + "b\xFF", "ab"},
        FilterCase{"DigitsRefuseMultiByte", Digits(), "", "١2", "2"}),
    [](const ::testing::TestParamInfo<FilterCase>& param) {
      return std::string(param.param.name);
    });

TEST(EditFilterCount, CountsCharacters) {
  EXPECT_EQ(CountCharacters(""), 0U);
  EXPECT_EQ(CountCharacters("abc"), 3U);
  EXPECT_EQ(CountCharacters("æøå"), 3U);
  EXPECT_EQ(CountCharacters("a\xFF"), 2U);
}

TEST_F(DialogTest, TypingGoesThroughTheEditsRules) {
  MessageLog log;
  DialogThread page(desktop_, kPage, LoggingProc(log));
  const HWND hwnd = host_.WaitForDialog(kPage, kLong);
  ASSERT_NE(hwnd, kNullHwnd);

  ASSERT_TRUE(SetEditLimit(hwnd, kDigits, 3));
  EXPECT_TRUE(host_.Type(hwnd, kDigits, "3a0b0c5"));
  EXPECT_EQ(host_.Text(hwnd, kDigits), "300");
  EXPECT_TRUE(log.WaitForCommand(kDigits, EN_CHANGE, kLong));
  EXPECT_EQ(GetFocus(hwnd), GetDlgItem(hwnd, kDigits)) << "typing focuses the edit";

  EXPECT_TRUE(host_.Type(hwnd, kUpper, "ati3"));
  EXPECT_EQ(host_.Text(hwnd, kUpper), "ATI3");
  EXPECT_TRUE(log.WaitForCommand(kDigits, EN_KILLFOCUS, kLong));

  ASSERT_TRUE(SetEditCharFilter(hwnd, kEntry, "#*"));
  EXPECT_TRUE(host_.Type(hwnd, kEntry, "1#2*"));
  EXPECT_EQ(host_.Text(hwnd, kEntry), "#*");
  ASSERT_TRUE(SetEditCharFilter(hwnd, kEntry, ""));
  EXPECT_TRUE(host_.ReplaceText(hwnd, kEntry, "free text"));
  EXPECT_EQ(host_.Text(hwnd, kEntry), "free text");

  EXPECT_FALSE(host_.Type(hwnd, kReadOnly, "x")) << "read-only";
  EXPECT_EQ(host_.Text(hwnd, kReadOnly), "fixed");
  EXPECT_FALSE(host_.Type(hwnd, kStatus, "x")) << "not an edit";

  EXPECT_EQ(UserEditText(hwnd, kDigits, "12x34"), "123") << "whole-text edits are filtered too";
  ASSERT_TRUE(SetEditLimit(hwnd, kDigits, 0));
  EXPECT_EQ(UserEditText(hwnd, kDigits, "1234567"), "1234567") << "0 lifts the limit";
}

}  // namespace
}  // namespace norix::platform::window::testing
