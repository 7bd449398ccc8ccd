#include "upgrade/image_checksum.h"

#include <string_view>

namespace norix::upgrade {

std::uint16_t ImageChecksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (const std::uint8_t byte : bytes) {
    // Adding the signed value modulo 2^16 is adding the byte, less 256 for
    // the bytes 0x80 to 0xFF.
    sum += byte;
    if (byte >= 0x80) {
      sum -= 0x100;
    }
  }
  return static_cast<std::uint16_t>(sum & 0xFFFFU);
}

std::string ChecksumText(std::uint16_t checksum) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::string text(4, '0');
  std::size_t value = checksum;
  for (std::size_t i = 4; i-- > 0;) {
    text[i] = kDigits[value & 0xFU];
    value >>= 4U;
  }
  return text;
}

std::string ChecksumText(std::span<const std::uint8_t> bytes) {
  return ChecksumText(ImageChecksum(bytes));
}

}  // namespace norix::upgrade
