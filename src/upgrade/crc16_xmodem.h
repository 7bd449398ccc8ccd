// CRC-16/XMODEM: polynomial 0x1021, initial value 0, no reflection, no final
// XOR. The check value of the nine characters "123456789" is 0x31C3.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace norix::upgrade {

inline constexpr std::uint16_t kCrc16XmodemPolynomial = 0x1021;

// The 256-entry table of the polynomial: entry b is the register after the
// eight shifts that feed the byte b into a zero register.
[[nodiscard]] const std::array<std::uint16_t, 256>& Crc16XmodemTable();

// Runs the register `crc` over the bytes, one table step per byte:
// crc = (crc << 8) ^ table[(crc >> 8) ^ byte], kept to 16 bits. Pass the
// result back in to continue over more bytes.
[[nodiscard]] std::uint16_t Crc16Xmodem(std::span<const std::uint8_t> data, std::uint16_t crc = 0);

}  // namespace norix::upgrade
