#include "upgrade/crc16_xmodem.h"

#include <cstddef>

namespace norix::upgrade {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (std::size_t byte = 0; byte < table.size(); ++byte) {
    auto crc = static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000U) != 0 ? static_cast<std::uint16_t>((crc << 1) ^ kCrc16XmodemPolynomial)
                                 : static_cast<std::uint16_t>(crc << 1);
    }
    table[byte] = crc;
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

const std::array<std::uint16_t, 256>& Crc16XmodemTable() { return kTable; }

std::uint16_t Crc16Xmodem(std::span<const std::uint8_t> data, std::uint16_t crc) {
  for (const std::uint8_t byte : data) {
    crc = static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ byte) & 0xFFU]);
  }
  return crc;
}

}  // namespace norix::upgrade
