// The in-memory line's two ends: state hand-over, shutdown and teardown in
// either order.
#include "platform/comm/memory_line.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include <gtest/gtest.h>

#include "line_test_support.h"

namespace norix::platform::comm {
namespace {

using std::chrono::milliseconds;
using test::Bytes;
using test::kLateAllowanceMs;
using test::Text;
using test::TimeMs;

constexpr CommTimeouts kQuick{0, 0, 100, 0, 100};

TEST(MemoryLineTest, DeviceSeesTheStateTheHostSets) {
  MemoryLine line = MakeMemoryLine("m1");
  EXPECT_EQ(line.host->Name(), "m1");
  CommState state;
  ASSERT_TRUE(line.host->GetState(state));
  EXPECT_EQ(state, CommState{});
  EXPECT_EQ(line.device->HostState(), CommState{});

  state.baudRate = 14400;
  state.outxCtsFlow = true;
  state.rtsControl = RtsControl::Handshake;
  ASSERT_TRUE(line.host->SetState(state));
  EXPECT_EQ(line.device->HostState(), state);
}

TEST(MemoryLineTest, UnsupportedStatesAreRefusedAndLeaveTheOldOne) {
  MemoryLine line = MakeMemoryLine();
  CommState bad;
  bad.baudRate = 0;
  EXPECT_FALSE(line.host->SetState(bad));
  bad = CommState{};
  bad.byteSize = 9;
  EXPECT_FALSE(line.host->SetState(bad));
  bad = CommState{};
  bad.rtsControl = RtsControl::Toggle;
  EXPECT_FALSE(line.host->SetState(bad));
  bad = CommState{};
  bad.stopBits = StopBits::OneAndHalf;
  EXPECT_FALSE(line.host->SetState(bad));
  bad.byteSize = 5;
  EXPECT_TRUE(line.host->SetState(bad));
  EXPECT_EQ(line.device->HostState(), bad);
}

TEST(MemoryLineTest, BytesTravelBothWaysInOrder) {
  MemoryLine line = MakeMemoryLine();
  ASSERT_TRUE(line.host->SetTimeouts(kQuick));
  ASSERT_EQ(line.host->Write(Bytes("AT\r")).count, 3U);
  std::array<std::uint8_t, 16> buffer{};
  auto n = line.device->Receive(buffer, milliseconds(100));
  EXPECT_EQ(Text(std::span(buffer).first(static_cast<std::size_t>(n))), "AT\r");

  ASSERT_TRUE(line.device->Send(Bytes("\r\nOK\r\n")));
  const IoResult result = line.host->Read(std::span(buffer).first(6), milliseconds(1000));
  EXPECT_EQ(Text(std::span(buffer).first(result.count)), "\r\nOK\r\n");
}

TEST(MemoryLineTest, ReceiveWaitsForItsTimeoutWhenNothingComes) {
  MemoryLine line = MakeMemoryLine();
  std::array<std::uint8_t, 4> buffer{};
  std::ptrdiff_t n = 1;
  const auto ms = TimeMs([&] { n = line.device->Receive(buffer, milliseconds(120)); });
  EXPECT_EQ(n, 0);
  EXPECT_GE(ms, 115);
  EXPECT_LT(ms, 120 + kLateAllowanceMs);
}

TEST(MemoryLineTest, ShutdownEndsAPendingReceiveAndFailsTheHost) {
  MemoryLine line = MakeMemoryLine();
  ASSERT_TRUE(line.device->Send(Bytes("last")));
  std::thread closer([&] {
    std::this_thread::sleep_for(milliseconds(100));
    line.device->Shutdown();
  });
  std::array<std::uint8_t, 4> buffer{};
  std::ptrdiff_t n = 0;
  const auto ms = TimeMs([&] { n = line.device->Receive(buffer, milliseconds(5000)); });
  closer.join();
  EXPECT_EQ(n, -1);
  EXPECT_LT(ms, 100 + kLateAllowanceMs);
  EXPECT_FALSE(line.device->Send(Bytes("x")));

  // What the device sent before the shutdown is still read, then reads fail.
  ASSERT_TRUE(line.host->SetTimeouts(kQuick));
  IoResult result = line.host->Read(buffer, milliseconds(1000));
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(Text(buffer), "last");
  result = line.host->Read(buffer, milliseconds(1000));
  EXPECT_EQ(result.status, IoStatus::Failed);
  EXPECT_EQ(line.host->Write(Bytes("AT")).status, IoStatus::Failed);
}

TEST(MemoryLineTest, ShutdownWakesAHostReadWithoutTimeouts) {
  MemoryLine line = MakeMemoryLine();
  std::thread closer([&] {
    std::this_thread::sleep_for(milliseconds(100));
    line.device->Shutdown();
  });
  std::array<std::uint8_t, 4> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = line.host->Read(buffer, milliseconds(5000)); });
  closer.join();
  EXPECT_EQ(result.status, IoStatus::Failed);
  EXPECT_LT(ms, 100 + kLateAllowanceMs);
}

TEST(MemoryLineTest, DestroyingTheHostEndsTheDeviceAfterItsLastBytes) {
  MemoryLine line = MakeMemoryLine();
  ASSERT_EQ(line.host->Write(Bytes("bye")).count, 3U);
  line.host.reset();
  std::array<std::uint8_t, 8> buffer{};
  EXPECT_EQ(line.device->Receive(buffer, milliseconds(100)), 3);
  EXPECT_EQ(line.device->Receive(buffer, milliseconds(100)), -1);
  EXPECT_FALSE(line.device->Send(Bytes("x")));
  EXPECT_EQ(line.device->HostState(), CommState{});
}

TEST(MemoryLineTest, DestroyingTheHostWakesAPendingReceive) {
  MemoryLine line = MakeMemoryLine();
  std::ptrdiff_t n = 0;
  std::thread receiver([&] {
    std::array<std::uint8_t, 8> buffer{};
    n = line.device->Receive(buffer, milliseconds(5000));
  });
  std::this_thread::sleep_for(milliseconds(50));
  line.host.reset();
  receiver.join();
  EXPECT_EQ(n, -1);
}

TEST(MemoryLineTest, DestroyingTheDeviceFailsTheHost) {
  MemoryLine line = MakeMemoryLine();
  line.device.reset();
  ASSERT_TRUE(line.host->SetTimeouts(kQuick));
  std::array<std::uint8_t, 4> buffer{};
  EXPECT_EQ(line.host->Read(buffer, milliseconds(1000)).status, IoStatus::Failed);
  EXPECT_EQ(line.host->Write(Bytes("AT")).status, IoStatus::Failed);
}

}  // namespace
}  // namespace norix::platform::comm
