// X-modem as the simulated flash loaders see it on the line, written apart
// from the program's sender so that the two check each other:
//
//   SOH (128 data bytes) or STX (1024), number, 255 - number, data,
//   then the CRC-16/XMODEM high byte first (CRC mode) or the 8-bit sum
//
// e.g. block 1 holding "A" and 127 zeros in CRC mode:
//   01 01 FE 41 00 ... 00 53 33
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace norix::sim::xmodem {

inline constexpr std::uint8_t kSoh = 0x01;
inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kCan = 0x18;
inline constexpr std::uint8_t kCrcStart = 'C';

inline constexpr std::size_t kShortBlock = 128;
inline constexpr std::size_t kLongBlock = 1024;

// How the receiver wants blocks checked; its start byte tells the sender
// ('C' for the CRC, NAK for the checksum).
enum class BlockCheck : std::uint8_t { Checksum, Crc };

[[nodiscard]] constexpr std::size_t CheckSize(BlockCheck check) {
  return check == BlockCheck::Crc ? 2 : 1;
}

// What follows the header byte of the longest block: number, complement,
// data and the CRC.
inline constexpr std::size_t kMaxBlockRest = 2 + kLongBlock + 2;

// CRC-16/XMODEM (polynomial 0x1021, register starts at 0, no reflection, no
// final XOR), shifted in bit by bit. "123456789" gives 0x31C3.
[[nodiscard]] std::uint16_t Crc16(std::span<const std::uint8_t> data);

// The low 8 bits of the sum of the bytes.
[[nodiscard]] std::uint8_t Sum8(std::span<const std::uint8_t> data);

// True when `trailer` (CheckSize(check) bytes) is the check of `data`.
[[nodiscard]] bool CheckMatches(std::span<const std::uint8_t> data,
                                std::span<const std::uint8_t> trailer, BlockCheck check);

}  // namespace norix::sim::xmodem
