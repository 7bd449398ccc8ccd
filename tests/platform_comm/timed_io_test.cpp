// The read and write time-outs, the wait limit and purges, driven through the
// in-memory line whose host port runs the same engine as the tty backend.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "line_test_support.h"
#include "platform/comm/memory_line.h"

namespace norix::platform::comm {
namespace {

using std::chrono::milliseconds;
using test::Bytes;
using test::kLateAllowanceMs;
using test::Text;
using test::TimeMs;

constexpr milliseconds kLongWait{5000};
constexpr CommTimeouts kReturnAtOnce{kMaxTimeout, 0, 0, 0, 0};

class TimedIoTest : public ::testing::Test {
 protected:
  void SetTimeouts(const CommTimeouts& timeouts) { ASSERT_TRUE(line.host->SetTimeouts(timeouts)); }

  // What a read that returns at once finds queued.
  std::string Pending() {
    CommTimeouts saved;
    EXPECT_TRUE(line.host->GetTimeouts(saved));
    EXPECT_TRUE(line.host->SetTimeouts(kReturnAtOnce));
    std::array<std::uint8_t, 256> buffer{};
    const IoResult result = line.host->Read(buffer, kLongWait);
    EXPECT_TRUE(line.host->SetTimeouts(saved));
    EXPECT_EQ(result.status, IoStatus::Completed);
    return Text(std::span(buffer).first(result.count));
  }

  MemoryLine line = MakeMemoryLine("test line");
};

TEST_F(TimedIoTest, ReadEndsWhenTheCountIsReached) {
  SetTimeouts({100, 10, 5000, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("OK\r\nmore")));
  std::array<std::uint8_t, 4> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(Text(buffer), "OK\r\n");
  EXPECT_LT(ms, 100);
  EXPECT_EQ(Pending(), "more");
}

TEST_F(TimedIoTest, ReadEndsAtAGapLongerThanTheInterval) {
  SetTimeouts({60, 0, 5000, 0, 0});
  std::thread sender([this] {
    ASSERT_TRUE(line.device->Send(Bytes("AB")));
    std::this_thread::sleep_for(milliseconds(20));
    ASSERT_TRUE(line.device->Send(Bytes("C")));
    std::this_thread::sleep_for(milliseconds(400));
    ASSERT_TRUE(line.device->Send(Bytes("late")));
  });
  std::array<std::uint8_t, 16> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  sender.join();
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(Text(std::span(buffer).first(result.count)), "ABC");
  EXPECT_GE(ms, 55);
  EXPECT_LT(ms, 80 + kLateAllowanceMs);
  EXPECT_EQ(Pending(), "late");
}

TEST_F(TimedIoTest, IntervalCountsOnlyOnceAByteHasCome) {
  SetTimeouts({40, 0, 0, 0, 0});
  std::thread sender([this] {
    std::this_thread::sleep_for(milliseconds(200));
    ASSERT_TRUE(line.device->Send(Bytes("X")));
  });
  std::array<std::uint8_t, 8> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  sender.join();
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, 1U);
  EXPECT_GE(ms, 180);
  EXPECT_LT(ms, 240 + kLateAllowanceMs);
}

TEST_F(TimedIoTest, TotalTimeoutIsMultiplierPerByteAndConstant) {
  SetTimeouts({100, 20, 100, 0, 0});
  std::array<std::uint8_t, 5> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, 0U);
  EXPECT_GE(ms, 195);
  EXPECT_LT(ms, 200 + kLateAllowanceMs);
}

TEST_F(TimedIoTest, TotalTimeoutReturnsWhatCameWhileBytesKeepComing) {
  // Bytes every 20 ms keep the 100 ms interval from ending the read; the
  // 300 ms total does.
  SetTimeouts({100, 0, 300, 0, 0});
  std::atomic<bool> stop{false};
  std::thread sender([&] {
    while (!stop.load()) {
      ASSERT_TRUE(line.device->Send(Bytes("x")));
      std::this_thread::sleep_for(milliseconds(20));
    }
  });
  std::array<std::uint8_t, 1000> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  stop.store(true);
  sender.join();
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_GT(result.count, 3U);
  EXPECT_GE(ms, 295);
  EXPECT_LT(ms, 300 + kLateAllowanceMs);
}

TEST_F(TimedIoTest, MaxIntervalWithoutTotalsReturnsAtOnce) {
  SetTimeouts(kReturnAtOnce);
  std::array<std::uint8_t, 8> buffer{};
  IoResult result;
  auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, 0U);
  EXPECT_LT(ms, 100);

  ASSERT_TRUE(line.device->Send(Bytes("abc")));
  ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  EXPECT_EQ(result.count, 3U);
  EXPECT_LT(ms, 100);
}

TEST_F(TimedIoTest, MaxIntervalAndMultiplierReturnOnTheFirstByte) {
  SetTimeouts({kMaxTimeout, kMaxTimeout, 2000, 0, 0});
  std::thread sender([this] {
    std::this_thread::sleep_for(milliseconds(100));
    ASSERT_TRUE(line.device->Send(Bytes("Z")));
  });
  std::array<std::uint8_t, 8> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  sender.join();
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, 1U);
  EXPECT_GE(ms, 60);
  EXPECT_LT(ms, 100 + kLateAllowanceMs);

  SetTimeouts({kMaxTimeout, kMaxTimeout, 150, 0, 0});
  const auto silentMs = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, 0U);
  EXPECT_GE(silentMs, 145);
}

TEST_F(TimedIoTest, WaitLimitKeepsTheBytesForTheNextRead) {
  // No time-outs at all: only the caller's wait limit ends the read.
  SetTimeouts({0, 0, 0, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("AB")));
  std::array<std::uint8_t, 16> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, milliseconds(300)); });
  EXPECT_EQ(result.status, IoStatus::WaitExpired);
  EXPECT_EQ(result.count, 0U);
  EXPECT_GE(ms, 295);
  EXPECT_LT(ms, 300 + kLateAllowanceMs);

  ASSERT_TRUE(line.device->Send(Bytes("CD")));
  EXPECT_EQ(Pending(), "ABCD");
}

TEST_F(TimedIoTest, WaitLimitEndsAReadTheTimeoutsWouldLetRunLonger) {
  SetTimeouts({100, 10, 5000, 0, 0});
  std::thread sender([this] {
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(line.device->Send(Bytes("d")));
      std::this_thread::sleep_for(milliseconds(25));
    }
  });
  std::array<std::uint8_t, 100> buffer{};
  const IoResult result = line.host->Read(buffer, milliseconds(250));
  sender.join();
  EXPECT_EQ(result.status, IoStatus::WaitExpired);
  EXPECT_EQ(Pending(), std::string(20, 'd'));
}

TEST_F(TimedIoTest, PushedBackBytesComeFirstAndMayBeReadInParts) {
  SetTimeouts({0, 0, 0, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("12345")));
  std::array<std::uint8_t, 16> buffer{};
  ASSERT_EQ(line.host->Read(buffer, milliseconds(50)).status, IoStatus::WaitExpired);
  std::array<std::uint8_t, 2> small{};
  const IoResult result = line.host->Read(small, milliseconds(50));
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(Text(small), "12");
  EXPECT_EQ(Pending(), "345");
}

TEST_F(TimedIoTest, RxAbortFromAnotherThreadEndsAPendingRead) {
  SetTimeouts({0, 0, 0, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("XY")));
  std::thread aborter([this] {
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_TRUE(line.host->Purge(kPurgeRxAbort));
  });
  std::array<std::uint8_t, 16> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, kLongWait); });
  aborter.join();
  EXPECT_EQ(result.status, IoStatus::Aborted);
  EXPECT_EQ(result.count, 0U);
  EXPECT_GE(ms, 60);
  EXPECT_LT(ms, 100 + kLateAllowanceMs);
  EXPECT_EQ(Pending(), "XY");
}

TEST_F(TimedIoTest, RxAbortWithoutAPendingReadLeavesTheNextReadAlone) {
  EXPECT_TRUE(line.host->Purge(kPurgeRxAbort));
  SetTimeouts({0, 0, 100, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("hi")));
  std::array<std::uint8_t, 2> buffer{};
  const IoResult result = line.host->Read(buffer, kLongWait);
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(Text(buffer), "hi");
}

TEST_F(TimedIoTest, RxClearDropsReceivedAndPushedBackBytes) {
  SetTimeouts({0, 0, 0, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("old")));
  std::array<std::uint8_t, 16> buffer{};
  ASSERT_EQ(line.host->Read(buffer, milliseconds(50)).status, IoStatus::WaitExpired);
  ASSERT_TRUE(line.device->Send(Bytes("older")));
  EXPECT_TRUE(line.host->Purge(kPurgeRxClear));
  EXPECT_EQ(Pending(), "");
  ASSERT_TRUE(line.device->Send(Bytes("new")));
  EXPECT_EQ(Pending(), "new");
}

TEST_F(TimedIoTest, AbortWithClearDropsTheBytesOfThePendingRead) {
  SetTimeouts({0, 0, 0, 0, 0});
  ASSERT_TRUE(line.device->Send(Bytes("stale")));
  std::thread purger([this] {
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_TRUE(line.host->Purge(kPurgeRxAbort | kPurgeRxClear));
  });
  std::array<std::uint8_t, 16> buffer{};
  const IoResult result = line.host->Read(buffer, kLongWait);
  purger.join();
  EXPECT_EQ(result.status, IoStatus::Aborted);
  EXPECT_EQ(Pending(), "");
}

TEST_F(TimedIoTest, UnknownPurgeActionIsRefused) {
  ASSERT_TRUE(line.device->Send(Bytes("keep")));
  EXPECT_FALSE(line.host->Purge(kPurgeRxClear | 0x100U));
  EXPECT_EQ(Pending(), "keep");
}

TEST_F(TimedIoTest, WriteTimeoutCompletesWithThePartialCount) {
  // Nobody takes the bytes at the device end, so the line's buffer fills.
  SetTimeouts({0, 0, 0, 0, 150});
  const std::vector<std::uint8_t> data(20000, 0x55);
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Write(data); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_GT(result.count, 0U);
  EXPECT_LT(result.count, data.size());
  EXPECT_GE(ms, 145);
  EXPECT_LT(ms, 150 + kLateAllowanceMs);
}

TEST_F(TimedIoTest, WriteWithoutTimeoutsWaitsForTheDeviceToTakeEverything) {
  std::vector<std::uint8_t> data(20000);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 7);
  }
  std::vector<std::uint8_t> received;
  std::thread reader([&] {
    std::array<std::uint8_t, 333> chunk{};
    while (received.size() < data.size()) {
      const auto n = line.device->Receive(chunk, milliseconds(2000));
      ASSERT_GT(n, 0);
      received.insert(received.end(), chunk.begin(), chunk.begin() + n);
    }
  });
  const IoResult result = line.host->Write(data);
  reader.join();
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, data.size());
  EXPECT_EQ(received, data);
}

TEST_F(TimedIoTest, TxAbortEndsABlockedWrite) {
  const std::vector<std::uint8_t> data(20000, 0xAA);
  std::thread aborter([this] {
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_TRUE(line.host->Purge(kPurgeTxAbort));
  });
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Write(data); });
  aborter.join();
  EXPECT_EQ(result.status, IoStatus::Aborted);
  EXPECT_LT(result.count, data.size());
  EXPECT_LT(ms, 100 + kLateAllowanceMs);
}

TEST_F(TimedIoTest, TxClearDropsUnsentBytes) {
  ASSERT_EQ(line.host->Write(Bytes("unsent")).count, 6U);
  EXPECT_TRUE(line.host->Purge(kPurgeTxClear));
  ASSERT_EQ(line.host->Write(Bytes("sent")).count, 4U);
  std::array<std::uint8_t, 16> buffer{};
  const auto n = line.device->Receive(buffer, milliseconds(100));
  EXPECT_EQ(Text(std::span(buffer).first(static_cast<std::size_t>(n))), "sent");
}

TEST_F(TimedIoTest, EmptyReadAndWriteCompleteAtOnce) {
  SetTimeouts({0, 0, 0, 0, 0});
  EXPECT_EQ(line.host->Read({}, kLongWait).status, IoStatus::Completed);
  EXPECT_EQ(line.host->Write({}).status, IoStatus::Completed);
}

}  // namespace
}  // namespace norix::platform::comm
