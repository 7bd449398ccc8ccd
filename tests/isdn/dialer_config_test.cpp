// The dialler configuration made from a driver's init strings: the commands
// in the order they are sent, and strings that could add lines or quotes to
// a dialler's file.
#include "isdn/dialer_config.h"

#include <gtest/gtest.h>

namespace norix::isdn {
namespace {

TEST(DialerConfigTest, SendsTheDriversCommandsInOrderAndTheProtocolLast) {
  const DriverInitStrings strings{{"AT<cr>", "ATZ<CR>ATE0<cr><cr>", "ATS0=0"}, "AT&B0%B2\\P3<cr>"};
  EXPECT_EQ(DialerCommands(strings),
            (std::vector<std::string>{"AT", "ATZ", "ATE0", "ATS0=0", "AT&B0%B2\\P3"}));
  const DialerDevice device{"NORIX KOMET II", "/dev/ttyS0", DialerCommands(strings)};
  const std::string chat = ChatLines(device);
  EXPECT_NE(chat.find("\n'' 'AT'\nOK 'ATZ'\n"), std::string::npos) << chat;
  // chat reads "\P" as an escape: the backslash is sent doubled.
  EXPECT_NE(chat.find("\nOK 'AT&B0%B2\\\\P3'\n"), std::string::npos) << chat;
  // A port name with a line break would add a line of its own to the section.
  const DialerDevice broken{"NORIX KOMET II", "/dev/ttyS0\nInit9 = ATD1", device.commands};
  EXPECT_EQ(WvdialSection(broken, "norix0").find("[Dialer"), std::string::npos);
}

struct UnsafeCase {
  const char* name;
  std::vector<std::string> strings;
  bool chatWritten;
};

class DialerUnsafeTest : public ::testing::TestWithParam<UnsafeCase> {};

TEST_P(DialerUnsafeTest, ACommandAFileCannotCarryLeavesOnlyAComment) {
  const DialerDevice device{"NORIX\nKOMET II", "/dev/ttyS0",
                            DialerCommands({GetParam().strings, std::nullopt})};
  EXPECT_FALSE(DialerProblem(device.commands).empty());
  const std::string wvdial = WvdialSection(device, "norix0");
  EXPECT_EQ(wvdial.find("[Dialer"), std::string::npos) << wvdial;
  EXPECT_EQ(wvdial.find('\n'), wvdial.size() - 1) << wvdial;  // one comment line
  EXPECT_EQ(ChatLines(device).find("ABORT") != std::string::npos, GetParam().chatWritten);
}

INSTANTIATE_TEST_SUITE_P(
    Dialer, DialerUnsafeTest,
    ::testing::Values(
        UnsafeCase{"LineBreak", {"ATZ\nPhone = 1"}, false}, UnsafeCase{"Quote", {"AT'"}, false},
        UnsafeCase{"Caret", {"AT^M"}, false},
        UnsafeCase{"TenCommands", {"A<cr>B<cr>C<cr>D<cr>E<cr>F<cr>G<cr>H<cr>I<cr>J<cr>"}, true}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace norix::isdn
