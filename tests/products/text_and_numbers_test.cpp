#include <cstdint>
#include <optional>
#include <string_view>

#include <gtest/gtest.h>

#include "device/adapter_features.h"
#include "device/ident_record.h"
#include "device/reply_numbers.h"

namespace norix::products {
using namespace norix::device;
namespace {

struct NumberCase {
  std::string_view text;
  std::uint32_t decimal;
  std::uint32_t version;
  std::optional<std::uint32_t> hex;
};

class ReplyNumbersTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReplyNumbersTest, ReadsDigitsUpToTheFirstOther) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(LeadingDecimal(c.text), c.decimal) << c.text;
  EXPECT_EQ(VersionNumber(c.text), c.version) << c.text;
  EXPECT_EQ(LeadingHexWord(c.text), c.hex) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplyNumbersTest,
    ::testing::Values(NumberCase{"1.10", 1, 110, 1}, NumberCase{"2.07", 2, 207, 2},
                      NumberCase{"1.30\r\n", 1, 130, 1}, NumberCase{"10.5", 10, 1000, 0x10},
                      NumberCase{"7.5", 7, 705, 7}, NumberCase{"1", 1, 100, 1},
                      NumberCase{"12", 12, 1200, 0x12}, NumberCase{"", 0, 0, std::nullopt},
                      NumberCase{"\r\n", 0, 0, std::nullopt},  // "V" at the end of a line
                      NumberCase{"37F\r\n", 37, 3700, 0x37F},
                      NumberCase{"  0x1a2B\r\n", 0, 0, 0x1A2B},  // blanks and prefix as "%lx"
                      NumberCase{"0xZ", 0, 0, 0},                // a lone "0x" reads as 0
                      NumberCase{"features", 0, 0, 0xFEA},       // stops at 't'
                      NumberCase{"OK\r\n", 0, 0, std::nullopt},
                      NumberCase{"-5", 0, 0, std::nullopt},
                      // Overlong digit runs saturate instead of overflowing.
                      NumberCase{"99999999999999999999", 65535, 6553500 + 65535, 0xFFFFFFFFU},
                      NumberCase{"123456789.123456789", 65535, 6553500 + 65535, 0xFFFFFFFFU}));

TEST(IdentRecord, SetTextCutsToCapacity) {
  IdentRecord record;
  record.SetText(std::string(400, 'x'));
  EXPECT_EQ(record.text.size(), kIdentTextCapacity);
  record.SetText(kModemRescueMode);
  EXPECT_EQ(record.text, kModemRescueMode);
}

TEST(AdapterFeatures, ClearForgetsEveryField) {
  AdapterFeatures features{true, true, true, true, true, 0x37F, {}};
  features.Clear();
  EXPECT_FALSE(features.isdnAdapter || features.noInternalHardware || features.internalModem ||
               features.analoguePort || features.komet);
  EXPECT_EQ(features.featureWord, 0U);
}

}  // namespace
}  // namespace norix::products
