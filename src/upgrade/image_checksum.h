// The checksum of an upgrade file's firmware section: the sum of its bytes,
// each taken as a signed 8-bit value, modulo 65536. "abc" gives 0x0126, a
// single 0xFF byte gives 0xFFFF.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace norix::upgrade {

[[nodiscard]] std::uint16_t ImageChecksum(std::span<const std::uint8_t> bytes);

// Exactly four upper-case hexadecimal digits ("%04X"), as the file's
// FileChecksum value is written; compared case-sensitively.
[[nodiscard]] std::string ChecksumText(std::uint16_t checksum);
[[nodiscard]] std::string ChecksumText(std::span<const std::uint8_t> bytes);

}  // namespace norix::upgrade
