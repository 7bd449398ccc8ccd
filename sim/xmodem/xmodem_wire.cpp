#include "sim/xmodem/xmodem_wire.h"

namespace norix::sim::xmodem {

std::uint16_t Crc16(std::span<const std::uint8_t> data) {
  constexpr unsigned kPolynomial = 0x1021U;
  unsigned crc = 0;
  for (const std::uint8_t byte : data) {
    // Each data bit, most significant first, enters at the top of the
    // register; a one shifted out feeds the polynomial back.
    for (unsigned mask = 0x80U; mask != 0; mask >>= 1U) {
      const bool top = (crc & 0x8000U) != 0;
      const bool bit = (byte & mask) != 0;
      crc = (crc << 1U) & 0xFFFFU;
      if (top != bit) {
        crc ^= kPolynomial;
      }
    }
  }
  return static_cast<std::uint16_t>(crc);
}

std::uint8_t Sum8(std::span<const std::uint8_t> data) {
  unsigned sum = 0;
  for (const std::uint8_t byte : data) {
    sum += byte;
  }
  return static_cast<std::uint8_t>(sum & 0xFFU);
}

bool CheckMatches(std::span<const std::uint8_t> data, std::span<const std::uint8_t> trailer,
                  BlockCheck check) {
  if (trailer.size() != CheckSize(check)) {
    return false;
  }
  if (check == BlockCheck::Crc) {
    const std::uint16_t crc = Crc16(data);
    return trailer[0] == (crc >> 8U) && trailer[1] == (crc & 0xFFU);
  }
  return trailer[0] == Sum8(data);
}

}  // namespace norix::sim::xmodem
