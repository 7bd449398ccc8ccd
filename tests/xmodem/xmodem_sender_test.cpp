#include "upgrade/xmodem_sender.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

using sim::xmodem::BlockFault;
using sim::xmodem::FrameVerdict;
using sim::xmodem::ReceiveEnd;
using upgrade::XmodemCheck;
using upgrade::XmodemFailure;

std::vector<std::uint8_t> Headers(const sim::xmodem::ReceiveResult& result) {
  std::vector<std::uint8_t> headers;
  for (const auto& frame : result.frames) {
    headers.push_back(frame.header);
  }
  return headers;
}

std::vector<FrameVerdict> Verdicts(const sim::xmodem::ReceiveResult& result) {
  std::vector<FrameVerdict> verdicts;
  for (const auto& frame : result.frames) {
    verdicts.push_back(frame.verdict);
  }
  return verdicts;
}

constexpr std::uint8_t kSoh = upgrade::kXmodemSoh;
constexpr std::uint8_t kStx = upgrade::kXmodemStx;

struct PlanOnWire {
  std::size_t length;
  bool use1K;
  XmodemCheck check;
  std::vector<std::uint8_t> headers;
};

class XmodemBlocksOnTheWire : public XmodemLine,
                              public ::testing::WithParamInterface<PlanOnWire> {};

TEST_P(XmodemBlocksOnTheWire, ArriveWholeAndInOrder) {
  const PlanOnWire& c = GetParam();
  const auto data = RandomBytes(c.length);
  const TransferOutcome outcome = Transfer(data, c.use1K, QuickReceiver(c.check));
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  EXPECT_EQ(outcome.stats.check, c.check);
  EXPECT_EQ(outcome.received.end, ReceiveEnd::Completed);
  EXPECT_EQ(Headers(outcome.received), c.headers);
  EXPECT_EQ(outcome.received.data, Padded(data));
  EXPECT_EQ(outcome.received.eotsSeen, 1);
  EXPECT_EQ(outcome.stats.frameWrites, c.headers.size());
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, XmodemBlocksOnTheWire,
    ::testing::Values(
        // Nothing to send: only the end of transmission follows the start byte.
        PlanOnWire{0, true, XmodemCheck::Crc, {}}, PlanOnWire{1024, true, XmodemCheck::Crc, {kStx}},
        // One data byte and 127 zeros in a short block after the long one.
        PlanOnWire{1025, true, XmodemCheck::Crc, {kStx, kSoh}},
        PlanOnWire{1025, true, XmodemCheck::Checksum, {kStx, kSoh}},
        // The last of three short blocks holds 44 bytes.
        PlanOnWire{300, false, XmodemCheck::Crc, {kSoh, kSoh, kSoh}},
        PlanOnWire{300, false, XmodemCheck::Checksum, {kSoh, kSoh, kSoh}},
        PlanOnWire{300, true, XmodemCheck::Crc, {kSoh, kSoh, kSoh}},
        PlanOnWire{2048 + 200, true, XmodemCheck::Checksum, {kStx, kStx, kSoh, kSoh}}));

using XmodemSender = XmodemLine;

TEST_F(XmodemSender, NumbersBlocksPast255) {
  const auto data = RandomBytes(300 * kShort, 11);
  const TransferOutcome outcome = Transfer(data, false, QuickReceiver(XmodemCheck::Checksum));
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  ASSERT_EQ(outcome.received.frames.size(), 300U);
  const auto& block256 = outcome.received.frames[255];
  EXPECT_EQ(block256.number, 0);
  EXPECT_EQ(block256.complement, 255);
  EXPECT_EQ(outcome.received.frames[256].number, 1);
  EXPECT_EQ(outcome.received.data, data);
}

TEST_F(XmodemSender, SendsARefusedBlockUpToFiveTimes) {
  auto options = QuickReceiver();
  options.refuse = {BlockFault{2, 4}};
  const auto data = RandomBytes(3 * kShort);
  TransferOutcome outcome = Transfer(data, false, options);
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  EXPECT_EQ(outcome.stats.frameWrites, 3U + 4U);
  EXPECT_EQ(Verdicts(outcome.received),
            (std::vector{FrameVerdict::Accepted, FrameVerdict::Refused, FrameVerdict::Refused,
                         FrameVerdict::Refused, FrameVerdict::Refused, FrameVerdict::Accepted,
                         FrameVerdict::Accepted}));
  EXPECT_EQ(outcome.received.data, data);
}

TEST_F(XmodemSender, GivesUpAfterTheFifthRefusalWithoutEot) {
  auto options = QuickReceiver();
  options.refuse = {BlockFault{1, 5}};
  const TransferOutcome outcome = Transfer(RandomBytes(3 * kShort), false, options);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.failure, XmodemFailure::BlockRefused);
  EXPECT_EQ(outcome.stats.frameWrites, 5U);
  EXPECT_EQ(outcome.stats.eotWrites, 0U);
  EXPECT_EQ(outcome.received.eotsSeen, 0);
  EXPECT_TRUE(outcome.received.data.empty());
}

TEST_F(XmodemSender, RepeatsBlocksCorruptedOnTheWay) {
  for (const XmodemCheck check : {XmodemCheck::Crc, XmodemCheck::Checksum}) {
    SetUp();
    auto options = QuickReceiver(check);
    options.corrupt = {BlockFault{1, 1}, BlockFault{3, 2}};
    const auto data = RandomBytes(kLong + 2 * kShort + 5);
    const TransferOutcome outcome = Transfer(data, true, options);
    ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
    EXPECT_EQ(Verdicts(outcome.received),
              (std::vector{FrameVerdict::BadCheck, FrameVerdict::Accepted, FrameVerdict::Accepted,
                           FrameVerdict::BadCheck, FrameVerdict::BadCheck, FrameVerdict::Accepted,
                           FrameVerdict::Accepted}));
    EXPECT_EQ(outcome.received.data, Padded(data));
    TearDown();
  }
}

TEST_F(XmodemSender, SurvivesThreeLostAnswersSpreadOverBlocks) {
  auto options = QuickReceiver();
  // The receiver takes each block but its ACK never arrives; the repeat is
  // then a duplicate, which must be acknowledged and not stored twice.
  options.dropReply = {BlockFault{1, 1}, BlockFault{3, 1}, BlockFault{4, 1}};
  const auto data = RandomBytes(5 * kShort, 3);
  const TransferOutcome outcome = Transfer(data, false, options);
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  EXPECT_EQ(outcome.stats.replyTimeouts, 3U);
  EXPECT_EQ(Verdicts(outcome.received),
            (std::vector{FrameVerdict::Dropped, FrameVerdict::Duplicate, FrameVerdict::Accepted,
                         FrameVerdict::Dropped, FrameVerdict::Duplicate, FrameVerdict::Dropped,
                         FrameVerdict::Duplicate, FrameVerdict::Accepted}));
  EXPECT_EQ(outcome.received.data, data);
}

TEST_F(XmodemSender, FailsOnTheFourthLostAnswerOfTheTransfer) {
  auto options = QuickReceiver();
  options.dropReply = {BlockFault{1, 1}, BlockFault{2, 1}, BlockFault{4, 1}, BlockFault{6, 1}};
  const TransferOutcome outcome = Transfer(RandomBytes(8 * kShort), false, options);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.failure, XmodemFailure::ReplyTimeouts);
  EXPECT_EQ(outcome.stats.replyTimeouts, 4U);
  EXPECT_EQ(outcome.stats.blocksAcked, 5U);
  EXPECT_EQ(outcome.stats.eotWrites, 0U);
}

TEST_F(XmodemSender, StopsWhenTheReceiverCancels) {
  auto options = QuickReceiver();
  options.cancelAt = 2;
  const TransferOutcome outcome = Transfer(RandomBytes(4 * kShort), false, options);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.failure, XmodemFailure::Cancelled);
  EXPECT_EQ(outcome.stats.frameWrites, 2U);
  EXPECT_EQ(outcome.stats.eotWrites, 0U);
  EXPECT_EQ(outcome.received.end, ReceiveEnd::Cancelled);
}

TEST_F(XmodemSender, NeedsAStartByte) {
  auto options = QuickReceiver();
  options.noStart = true;
  const auto begin = std::chrono::steady_clock::now();
  const TransferOutcome outcome = Transfer(RandomBytes(128), false, options);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.failure, XmodemFailure::NoStartByte);
  // All 59 reads waited for their time-out before the sender gave up.
  EXPECT_GE(std::chrono::steady_clock::now() - begin,
            std::chrono::milliseconds(59 * kQuickTimings.startReadMs));
  EXPECT_TRUE(outcome.received.frames.empty());
}

TEST_F(XmodemSender, TakesOnlyNakOrCAsStartByte) {
  // Line noise before the receiver starts is passed over.
  line_.device->Send(std::vector<std::uint8_t>{'x', upgrade::kXmodemAck, 0xFF});
  const auto data = RandomBytes(200);
  const TransferOutcome outcome = Transfer(data, false, QuickReceiver(XmodemCheck::Checksum));
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  EXPECT_EQ(outcome.stats.check, XmodemCheck::Checksum);
  EXPECT_EQ(outcome.received.data, Padded(data));
}

TEST_F(XmodemSender, RepeatsEotUntilAcknowledged) {
  auto options = QuickReceiver();
  options.refuseEots = 7;
  options.ignoreEots = 2;
  TransferOutcome outcome = Transfer(RandomBytes(10), false, options);
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  EXPECT_EQ(outcome.stats.eotWrites, 10U);
  EXPECT_EQ(outcome.received.end, ReceiveEnd::Completed);
}

TEST_F(XmodemSender, FailsWhenTenEotsGoUnanswered) {
  auto options = QuickReceiver();
  options.refuseEots = 10;
  const TransferOutcome outcome = Transfer(RandomBytes(10), false, options);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.failure, XmodemFailure::NoEndAck);
  EXPECT_EQ(outcome.stats.eotWrites, 10U);
}

TEST_F(XmodemSender, PutsThePortTimeOutsBack) {
  const platform::comm::CommTimeouts callers{7, 3, 1234, 2, 555};
  for (const bool refuse : {false, true}) {
    SetUp();
    ASSERT_TRUE(Port()->SetTimeouts(callers));
    auto options = QuickReceiver();
    if (refuse) {
      options.refuse = {BlockFault{1, 5}};
    }
    const TransferOutcome outcome = Transfer(RandomBytes(300), false, options);
    EXPECT_EQ(outcome.sent, !refuse);
    platform::comm::CommTimeouts after;
    ASSERT_TRUE(Port()->GetTimeouts(after));
    EXPECT_EQ(after, callers);
    TearDown();
  }
}

TEST_F(XmodemSender, FailsOnAMissingPort) {
  upgrade::XmodemSender sender(kQuickTimings);
  const auto data = RandomBytes(10);
  EXPECT_FALSE(sender.Send(nullptr, nullptr, data, true));
  EXPECT_EQ(sender.LastFailure(), XmodemFailure::NoStartByte);
}

// Records what the sender shows.
class RecordedProgress final : public upgrade::XmodemProgress {
 public:
  void SetRange(int blocks) override { events.push_back("range " + std::to_string(blocks)); }
  void SetItemText(int control, int textId) override {
    events.push_back("text " + std::to_string(control) + " #" + std::to_string(textId));
  }
  void SetText(int control, std::string_view text) override {
    events.push_back("text " + std::to_string(control) + " " + std::string(text));
  }
  void Step() override { events.push_back("step"); }

  std::vector<std::string> events;
};

TEST_F(XmodemSender, DrivesTheProgressPage) {
  RecordedProgress progress;
  const TransferOutcome outcome =
      Transfer(RandomBytes(20 * kShort), false, QuickReceiver(), &progress);
  ASSERT_TRUE(outcome.sent) << upgrade::XmodemFailureText(outcome.failure);
  // The first estimate always shows, as dashes within the first tenth of the
  // blocks; later ones only when they change enough (the rule has its own
  // tests). The bar takes one step per block.
  ASSERT_GE(progress.events.size(), 3U);
  EXPECT_EQ(progress.events[0], "range 20");
  EXPECT_EQ(progress.events[1], "text 1038 #2038");
  EXPECT_EQ(progress.events[2], "text 1039 --:--");
  EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "step"), 20);
  EXPECT_EQ(progress.events.back(), "step");
}

TEST_F(XmodemSender, ShowsNoTimeWhenTheReceiverNeverStarts) {
  RecordedProgress progress;
  auto options = QuickReceiver();
  options.noStart = true;
  const TransferOutcome outcome = Transfer(RandomBytes(10), true, options, &progress);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(progress.events, std::vector<std::string>{"range 1"});
}

}  // namespace
}  // namespace norix::testing
