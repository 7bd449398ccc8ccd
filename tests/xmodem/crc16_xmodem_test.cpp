#include "upgrade/crc16_xmodem.h"

#include <random>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace norix::testing {
namespace {

using upgrade::Crc16Xmodem;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The CRC computed bit by bit, as the polynomial defines it.
std::uint16_t BitwiseCrc(std::span<const std::uint8_t> data) {
  std::uint16_t crc = 0;
  for (const std::uint8_t byte : data) {
    crc = static_cast<std::uint16_t>(crc ^ (byte << 8));
    for (int bit = 0; bit < 8; ++bit) {
      const unsigned shifted = static_cast<unsigned>(crc) << 1U;
      crc = static_cast<std::uint16_t>((crc & 0x8000U) != 0 ? shifted ^ 0x1021U : shifted);
    }
  }
  return crc;
}

TEST(Crc16Xmodem, KnownValues) {
  EXPECT_EQ(Crc16Xmodem(Bytes("123456789")), 0x31C3);
  EXPECT_EQ(Crc16Xmodem(Bytes("")), 0x0000);
  EXPECT_EQ(Crc16Xmodem(Bytes("A")), 0x58E5);
  // Zero bytes leave a zero register alone: the fill of a short last block
  // changes nothing unless data came before it.
  const std::vector<std::uint8_t> zeros(128, 0);
  EXPECT_EQ(Crc16Xmodem(zeros), 0x0000);
}

TEST(Crc16Xmodem, TableStepsMatchTheBitwiseDefinition) {
  const auto& table = upgrade::Crc16XmodemTable();
  EXPECT_EQ(table[0], 0x0000);
  EXPECT_EQ(table[1], 0x1021);
  EXPECT_EQ(table[255], 0x1EF0);
  for (unsigned byte = 0; byte < 256; ++byte) {
    const std::uint8_t one = static_cast<std::uint8_t>(byte);
    ASSERT_EQ(Crc16Xmodem(std::span(&one, 1)), BitwiseCrc(std::span(&one, 1))) << byte;
  }

  std::mt19937 random(1234);
  std::uniform_int_distribution<int> value(0, 255);
  for (const std::size_t size : {2U, 3U, 127U, 128U, 1024U, 4099U}) {
    std::vector<std::uint8_t> data(size);
    for (auto& byte : data) {
      byte = static_cast<std::uint8_t>(value(random));
    }
    EXPECT_EQ(Crc16Xmodem(data), BitwiseCrc(data)) << size;
    // Continuing over a split gives the CRC of the whole.
    const std::span<const std::uint8_t> all(data);
    const std::uint16_t head = Crc16Xmodem(all.first(size / 3));
    EXPECT_EQ(Crc16Xmodem(all.subspan(size / 3), head), BitwiseCrc(data)) << size;
  }
}

}  // namespace
}  // namespace norix::testing
