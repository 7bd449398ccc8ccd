// The simulator's receiver against hand-made frames: what it answers to
// broken, repeated and out-of-step blocks.
#include "sim/xmodem/xmodem_receiver.h"

#include <vector>

#include <gtest/gtest.h>

#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

using sim::xmodem::FrameVerdict;
using sim::xmodem::ReceiveEnd;
using upgrade::BuildXmodemFrame;
using upgrade::XmodemCheck;

class XmodemReceiver : public XmodemLine {
 protected:
  void SetUp() override {
    XmodemLine::SetUp();
    ASSERT_TRUE(Port()->SetTimeouts({100, 0, 1000, 1, 2000}));
  }

  int Reply() { return link::ReadByte(Port()); }

  void Write(std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    ASSERT_TRUE(link::PortWrite(Port(), bytes, written));
    ASSERT_EQ(written, bytes.size());
  }

  void WriteFrame(std::size_t sequence, const std::vector<std::uint8_t>& data,
                  XmodemCheck check = XmodemCheck::Crc) {
    const auto frame = BuildXmodemFrame(sequence, data, 128, check);
    Write(frame.View());
  }

  void WriteEot() {
    const std::uint8_t eot = upgrade::kXmodemEot;
    Write(std::span(&eot, 1));
  }
};

TEST_F(XmodemReceiver, StartsWithTheByteOfItsMode) {
  StartReceiver(QuickReceiver(XmodemCheck::Checksum));
  EXPECT_EQ(Reply(), upgrade::kXmodemNak);
  // Repeated while no block comes.
  EXPECT_EQ(Reply(), upgrade::kXmodemNak);
  WriteFrame(1, RandomBytes(128), XmodemCheck::Checksum);
  EXPECT_EQ(Reply(), upgrade::kXmodemAck);
  WriteEot();
  EXPECT_EQ(Reply(), upgrade::kXmodemAck);
  const auto result = ReceiverResult();
  EXPECT_EQ(result.end, ReceiveEnd::Completed);
  EXPECT_GE(result.startBytesSent, 2);
}

TEST_F(XmodemReceiver, RefusesBrokenBlocksAndTakesRepeatsOnce) {
  StartReceiver(QuickReceiver());
  ASSERT_EQ(Reply(), 'C');
  const auto first = RandomBytes(128, 1);
  const auto second = RandomBytes(128, 2);

  // A complement that does not match the number.
  auto frame = BuildXmodemFrame(1, first, 128, XmodemCheck::Crc);
  frame.bytes[2] ^= 0x01;
  Write(frame.View());
  EXPECT_EQ(Reply(), 'C');  // before the first block, the start byte again

  // A CRC that does not match the data.
  frame = BuildXmodemFrame(1, first, 128, XmodemCheck::Crc);
  frame.bytes[frame.size - 1] ^= 0x80;
  Write(frame.View());
  EXPECT_EQ(Reply(), 'C');

  WriteFrame(1, first);
  EXPECT_EQ(Reply(), upgrade::kXmodemAck);
  // The same block again: its ACK was lost. Acknowledged, not kept twice.
  WriteFrame(1, first);
  EXPECT_EQ(Reply(), upgrade::kXmodemAck);

  // A block that stops half-way is refused after the byte wait.
  frame = BuildXmodemFrame(2, second, 128, XmodemCheck::Crc);
  Write(frame.View().first(60));
  EXPECT_EQ(Reply(), upgrade::kXmodemNak);

  WriteFrame(2, second);
  EXPECT_EQ(Reply(), upgrade::kXmodemAck);
  WriteEot();
  EXPECT_EQ(Reply(), upgrade::kXmodemAck);

  const auto result = ReceiverResult();
  EXPECT_EQ(result.end, ReceiveEnd::Completed);
  std::vector<std::uint8_t> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(result.data, expected);
  std::vector<FrameVerdict> verdicts;
  for (const auto& record : result.frames) {
    verdicts.push_back(record.verdict);
  }
  EXPECT_EQ(verdicts,
            (std::vector{FrameVerdict::BadNumber, FrameVerdict::BadCheck, FrameVerdict::Accepted,
                         FrameVerdict::Duplicate, FrameVerdict::Short, FrameVerdict::Accepted}));
}

TEST_F(XmodemReceiver, CancelsABlockOutOfStep) {
  StartReceiver(QuickReceiver());
  ASSERT_EQ(Reply(), 'C');
  WriteFrame(1, RandomBytes(128));
  ASSERT_EQ(Reply(), upgrade::kXmodemAck);
  WriteFrame(3, RandomBytes(128));
  EXPECT_EQ(Reply(), upgrade::kXmodemCan);
  EXPECT_EQ(Reply(), upgrade::kXmodemCan);
  const auto result = ReceiverResult();
  EXPECT_EQ(result.end, ReceiveEnd::Cancelled);
  EXPECT_EQ(result.data.size(), 128U);
}

TEST_F(XmodemReceiver, GivesUpAfterTooManyErrorsInARow) {
  auto options = QuickReceiver();
  options.maxErrors = 3;
  StartReceiver(options);
  ASSERT_EQ(Reply(), 'C');
  auto frame = BuildXmodemFrame(1, RandomBytes(128), 128, XmodemCheck::Crc);
  frame.bytes[10] ^= 0x01;
  Write(frame.View());
  EXPECT_EQ(Reply(), 'C');
  Write(frame.View());
  EXPECT_EQ(Reply(), 'C');
  Write(frame.View());
  EXPECT_EQ(Reply(), upgrade::kXmodemCan);
  EXPECT_EQ(ReceiverResult().end, ReceiveEnd::TooManyErrors);
}

TEST_F(XmodemReceiver, EndsWhenTheSenderCancels) {
  StartReceiver(QuickReceiver());
  ASSERT_EQ(Reply(), 'C');
  const std::uint8_t can = upgrade::kXmodemCan;
  Write(std::span(&can, 1));
  EXPECT_EQ(receiver_.get().end, ReceiveEnd::SenderCancelled);
}

TEST_F(XmodemReceiver, ShutdownEndsEveryWait) {
  auto options = QuickReceiver();
  options.startInterval = std::chrono::seconds(30);
  StartReceiver(options);
  ASSERT_EQ(Reply(), 'C');
  EXPECT_EQ(ReceiverResult().end, ReceiveEnd::LineClosed);
}

}  // namespace
}  // namespace norix::testing
