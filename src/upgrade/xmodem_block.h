// X-modem blocks: the control bytes, the plan of block sizes for a memory
// range, and the frame of one block as it goes over the line:
//
//   SOH (128 data bytes) or STX (1024), number, 255 - number, data,
//   CRC-16/XMODEM high byte first (CRC mode) or the 8-bit sum (checksum mode)
//
// e.g. block 1 holding "A" in CRC mode, 128-byte form:
//   01 01 FE 41 00 00 ... 00 (127 zeros) 53 33
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace norix::upgrade {

inline constexpr std::uint8_t kXmodemSoh = 0x01;
inline constexpr std::uint8_t kXmodemStx = 0x02;
inline constexpr std::uint8_t kXmodemEot = 0x04;
inline constexpr std::uint8_t kXmodemAck = 0x06;
inline constexpr std::uint8_t kXmodemNak = 0x15;
inline constexpr std::uint8_t kXmodemCan = 0x18;
inline constexpr std::uint8_t kXmodemCrcStart = 'C';

inline constexpr std::size_t kXmodemShortBlock = 128;
inline constexpr std::size_t kXmodemLongBlock = 1024;
// Header (3 bytes) + the longest data + the CRC.
inline constexpr std::size_t kXmodemMaxFrame = 3 + kXmodemLongBlock + 2;

// How a block's data is checked; the receiver's start byte chooses it
// ('C' for the CRC, NAK for the checksum).
enum class XmodemCheck : std::uint8_t { Checksum, Crc };

// The blocks a range is sent in: longBlocks of 1024 bytes first (only with
// 1K blocks), then shortBlocks of 128 bytes, the last of which may be partly
// filled.
struct XmodemBlockPlan {
  std::size_t longBlocks = 0;
  std::size_t shortBlocks = 0;

  [[nodiscard]] std::size_t Count() const { return longBlocks + shortBlocks; }
  // Data size of block i (1 ..= Count()).
  [[nodiscard]] std::size_t BlockSize(std::size_t i) const {
    return i <= longBlocks ? kXmodemLongBlock : kXmodemShortBlock;
  }
};

[[nodiscard]] XmodemBlockPlan PlanXmodemBlocks(std::size_t length, bool use1K);

// Low 8 bits of the sum of the bytes.
[[nodiscard]] std::uint8_t XmodemChecksum(std::span<const std::uint8_t> data);

// Frame size of a block of `blockSize` data bytes.
[[nodiscard]] constexpr std::size_t XmodemFrameSize(std::size_t blockSize, XmodemCheck check) {
  return 3 + blockSize + (check == XmodemCheck::Crc ? 2 : 1);
}

struct XmodemFrame {
  std::array<std::uint8_t, kXmodemMaxFrame> bytes{};
  std::size_t size = 0;

  [[nodiscard]] std::span<const std::uint8_t> View() const { return {bytes.data(), size}; }
};

// The frame of block `sequence` (counted from 1; its number byte is the low
// 8 bits, so block 256 carries 0 and 255). `blockSize` is 128 or 1024;
// `data` holds at most blockSize bytes and the rest of the block is zeros.
// An empty frame (size 0) for any other block size or for too much data.
[[nodiscard]] XmodemFrame BuildXmodemFrame(std::size_t sequence, std::span<const std::uint8_t> data,
                                           std::size_t blockSize, XmodemCheck check);

}  // namespace norix::upgrade
