#include "upgrade/xmodem_block.h"

#include <algorithm>

#include "upgrade/crc16_xmodem.h"

namespace norix::upgrade {

XmodemBlockPlan PlanXmodemBlocks(std::size_t length, bool use1K) {
  XmodemBlockPlan plan;
  plan.longBlocks = use1K ? length / kXmodemLongBlock : 0;
  const std::size_t rest = length - plan.longBlocks * kXmodemLongBlock;
  plan.shortBlocks = rest / kXmodemShortBlock + (rest % kXmodemShortBlock != 0 ? 1 : 0);
  return plan;
}

std::uint8_t XmodemChecksum(std::span<const std::uint8_t> data) {
  unsigned sum = 0;
  for (const std::uint8_t byte : data) {
    sum += byte;
  }
  return static_cast<std::uint8_t>(sum & 0xFFU);
}

XmodemFrame BuildXmodemFrame(std::size_t sequence, std::span<const std::uint8_t> data,
                             std::size_t blockSize, XmodemCheck check) {
  XmodemFrame frame;
  if ((blockSize != kXmodemShortBlock && blockSize != kXmodemLongBlock) ||
      data.size() > blockSize) {
    return frame;
  }
  const auto number = static_cast<std::uint8_t>(sequence & 0xFFU);
  frame.bytes[0] = blockSize == kXmodemLongBlock ? kXmodemStx : kXmodemSoh;
  frame.bytes[1] = number;
  frame.bytes[2] = static_cast<std::uint8_t>(0xFFU - number);
  // The array starts zeroed, so the fill of a short last block is there.
  std::copy(data.begin(), data.end(), frame.bytes.begin() + 3);
  const std::span<const std::uint8_t> block(&frame.bytes[3], blockSize);
  std::size_t end = 3 + blockSize;
  if (check == XmodemCheck::Crc) {
    const std::uint16_t crc = Crc16Xmodem(block);
    frame.bytes[end++] = static_cast<std::uint8_t>(crc >> 8);
    frame.bytes[end++] = static_cast<std::uint8_t>(crc & 0xFFU);
  } else {
    frame.bytes[end++] = XmodemChecksum(block);
  }
  frame.size = end;
  return frame;
}

}  // namespace norix::upgrade
