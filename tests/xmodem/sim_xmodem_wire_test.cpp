// The simulator's own X-modem checks: published values, and agreement with
// the program's sender, which was written apart from them.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/xmodem/xmodem_wire.h"
#include "upgrade/crc16_xmodem.h"
#include "upgrade/xmodem_block.h"
#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

using sim::xmodem::BlockCheck;

struct WireCase {
  std::string data;
  std::uint16_t crc;
  std::uint8_t sum;
};

class SimXmodemChecks : public ::testing::TestWithParam<WireCase> {};

TEST_P(SimXmodemChecks, KnownValues) {
  const WireCase& c = GetParam();
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(c.data.data()),
                                            c.data.size());
  EXPECT_EQ(sim::xmodem::Crc16(bytes), c.crc);
  EXPECT_EQ(sim::xmodem::Sum8(bytes), c.sum);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, SimXmodemChecks,
    ::testing::Values(WireCase{"123456789", 0x31C3, 0xDD}, WireCase{"", 0x0000, 0x00},
                      WireCase{"A", 0x58E5, 0x41},
                      // Block 1 holding "A": the zero fill changes a non-zero register.
                      WireCase{"A" + std::string(127, '\0'), 0x5333, 0x41},
                      WireCase{std::string(128, '\xff'), 0xEDA9, 0x80}));

// Every frame the program's sender builds passes the simulator's check, and
// none does with one bit of its data or check changed.
TEST(SimXmodemChecks, AgreeWithTheProgramsFrames) {
  for (const auto check : {upgrade::XmodemCheck::Crc, upgrade::XmodemCheck::Checksum}) {
    const BlockCheck simCheck =
        check == upgrade::XmodemCheck::Crc ? BlockCheck::Crc : BlockCheck::Checksum;
    for (const std::size_t size : {kShort, kLong}) {
      const auto data = RandomBytes(size, static_cast<unsigned>(size) + 1);
      const auto frame = upgrade::BuildXmodemFrame(300, data, size, check);
      ASSERT_EQ(frame.size, upgrade::XmodemFrameSize(size, check));
      EXPECT_EQ(frame.bytes[0], size == kLong ? sim::xmodem::kStx : sim::xmodem::kSoh);
      EXPECT_EQ(frame.bytes[1], 300 % 256);
      EXPECT_EQ(frame.bytes[2], 255 - 300 % 256);
      auto bytes = std::vector<std::uint8_t>(frame.View().begin(), frame.View().end());
      const auto blockData = [&] { return std::span(bytes).subspan(3, size); };
      const auto trailer = [&] { return std::span(bytes).subspan(3 + size); };
      EXPECT_TRUE(sim::xmodem::CheckMatches(blockData(), trailer(), simCheck));
      for (const std::size_t at : {std::size_t{3}, 3 + size / 2, bytes.size() - 1}) {
        bytes[at] ^= 0x10U;
        EXPECT_FALSE(sim::xmodem::CheckMatches(blockData(), trailer(), simCheck))
            << "bit changed at " << at << ", block of " << size;
        bytes[at] ^= 0x10U;
      }
    }
  }
  const auto data = RandomBytes(4099, 99);
  EXPECT_EQ(sim::xmodem::Crc16(data), upgrade::Crc16Xmodem(data));
  EXPECT_EQ(sim::xmodem::Sum8(data), upgrade::XmodemChecksum(data));
}

}  // namespace
}  // namespace norix::testing
