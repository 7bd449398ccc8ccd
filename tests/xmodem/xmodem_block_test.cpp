#include "upgrade/xmodem_block.h"

#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "upgrade/crc16_xmodem.h"

namespace norix::testing {
namespace {

using upgrade::BuildXmodemFrame;
using upgrade::PlanXmodemBlocks;
using upgrade::XmodemCheck;

struct PlanCase {
  std::size_t length;
  bool use1K;
  std::size_t longBlocks;
  std::size_t shortBlocks;
};

class XmodemBlockPlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(XmodemBlockPlan, SplitsTheRange) {
  const PlanCase& c = GetParam();
  const auto plan = PlanXmodemBlocks(c.length, c.use1K);
  EXPECT_EQ(plan.longBlocks, c.longBlocks);
  EXPECT_EQ(plan.shortBlocks, c.shortBlocks);
  // The blocks hold the range with less than one short block to spare.
  std::size_t capacity = 0;
  for (std::size_t i = 1; i <= plan.Count(); ++i) {
    capacity += plan.BlockSize(i);
  }
  EXPECT_GE(capacity, c.length);
  EXPECT_LT(capacity - c.length, upgrade::kXmodemShortBlock);
}

INSTANTIATE_TEST_SUITE_P(Lengths, XmodemBlockPlan,
                         ::testing::Values(PlanCase{0, true, 0, 0}, PlanCase{0, false, 0, 0},
                                           PlanCase{1, true, 0, 1}, PlanCase{128, false, 0, 1},
                                           PlanCase{129, false, 0, 2}, PlanCase{300, false, 0, 3},
                                           PlanCase{1023, true, 0, 8}, PlanCase{1024, true, 1, 0},
                                           PlanCase{1024, false, 0, 8}, PlanCase{1025, true, 1, 1},
                                           PlanCase{2048 + 129, true, 2, 2},
                                           PlanCase{524288, true, 512, 0}));

std::vector<std::uint8_t> Counting(std::size_t size) {
  std::vector<std::uint8_t> data(size);
  std::iota(data.begin(), data.end(), std::uint8_t{1});
  return data;
}

TEST(XmodemFrame, LayoutInCrcMode) {
  const auto data = Counting(44);
  const auto frame = BuildXmodemFrame(3, data, 128, XmodemCheck::Crc);
  ASSERT_EQ(frame.size, 133U);
  EXPECT_EQ(frame.bytes[0], upgrade::kXmodemSoh);
  EXPECT_EQ(frame.bytes[1], 3);
  EXPECT_EQ(frame.bytes[2], 252);
  std::vector<std::uint8_t> block(frame.bytes.begin() + 3, frame.bytes.begin() + 131);
  std::vector<std::uint8_t> expected = data;
  expected.resize(128, 0);
  EXPECT_EQ(block, expected);
  const std::uint16_t crc = upgrade::Crc16Xmodem(expected);
  EXPECT_EQ(frame.bytes[131], crc >> 8);
  EXPECT_EQ(frame.bytes[132], crc & 0xFF);
}

TEST(XmodemFrame, LayoutInChecksumModeWithLongBlock) {
  const auto data = Counting(1024);
  const auto frame = BuildXmodemFrame(1, data, 1024, XmodemCheck::Checksum);
  ASSERT_EQ(frame.size, 1028U);
  EXPECT_EQ(frame.bytes[0], upgrade::kXmodemStx);
  unsigned sum = 0;
  for (const auto byte : data) {
    sum += byte;
  }
  EXPECT_EQ(frame.bytes[1027], sum & 0xFF);
}

TEST(XmodemFrame, ShortBlockWithOneByte) {
  const std::uint8_t a = 'A';
  const auto frame = BuildXmodemFrame(1, std::span(&a, 1), 128, XmodemCheck::Crc);
  ASSERT_EQ(frame.size, 133U);
  EXPECT_EQ(frame.bytes[131], 0x53);
  EXPECT_EQ(frame.bytes[132], 0x33);
}

TEST(XmodemFrame, NumbersWrapAfter255) {
  const std::uint8_t one = 0x5A;
  for (const auto& [sequence, number] :
       std::vector<std::pair<std::size_t, int>>{{255, 255}, {256, 0}, {257, 1}, {512, 0}}) {
    const auto frame = BuildXmodemFrame(sequence, std::span(&one, 1), 128, XmodemCheck::Crc);
    EXPECT_EQ(frame.bytes[1], number) << sequence;
    EXPECT_EQ(frame.bytes[2], 255 - number) << sequence;
  }
}

TEST(XmodemFrame, RefusesWhatDoesNotFit) {
  const auto data = Counting(129);
  EXPECT_EQ(BuildXmodemFrame(1, data, 128, XmodemCheck::Crc).size, 0U);
  EXPECT_EQ(BuildXmodemFrame(1, data, 512, XmodemCheck::Crc).size, 0U);
  EXPECT_EQ(BuildXmodemFrame(1, {}, 128, XmodemCheck::Crc).size, 133U);
}

}  // namespace
}  // namespace norix::testing
