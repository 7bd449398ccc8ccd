#include "sim/line/line_emulator.h"

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim/line/line_pacer.h"
#include "xmodem_fixture.h"

namespace norix::testing {
namespace {

using sim::line::LineEmulator;
using sim::line::LinePacer;
using std::chrono::nanoseconds;

TEST(LinePacer, SpacesBytesByTenBitTimes) {
  const LinePacer::Clock::time_point t0{std::chrono::seconds(100)};
  LinePacer pacer(115200);
  EXPECT_EQ(LinePacer::Duration(1, 115200), nanoseconds(86805));
  // A burst leaves back to back.
  EXPECT_EQ(pacer.Schedule(t0) - t0, nanoseconds(86805));
  EXPECT_EQ(pacer.Schedule(t0) - t0, nanoseconds(173611));
  EXPECT_EQ(pacer.Schedule(t0 + nanoseconds(1000)) - t0, nanoseconds(260416));
  // After the line has gone idle the next byte starts when it is handed over.
  const auto later = t0 + std::chrono::milliseconds(5);
  EXPECT_EQ(pacer.Schedule(later) - later, nanoseconds(86805));
}

TEST(LinePacer, DoesNotDriftOverLongBursts) {
  const LinePacer::Clock::time_point t0{};
  for (const std::uint32_t rate : {300U, 9600U, 14400U, 115200U, 921600U}) {
    LinePacer pacer(rate);
    LinePacer::Clock::time_point last;
    const std::uint64_t bytes = std::uint64_t{rate} / 10 * 30;  // 30 seconds of line
    for (std::uint64_t i = 0; i < bytes; ++i) {
      last = pacer.Schedule(t0);
    }
    EXPECT_EQ(last - t0, std::chrono::seconds(30)) << rate;
  }
}

TEST(LinePacer, WithoutARateHandsOnAtOnce) {
  LinePacer pacer(0);
  const LinePacer::Clock::time_point t0{std::chrono::seconds(3)};
  EXPECT_EQ(pacer.Schedule(t0), t0);
  EXPECT_EQ(pacer.Schedule(t0), t0);
}

// Two in-memory lines joined by the emulator: host port A talks to host
// port B as over a serial cable.
class LineEmulatorTest : public ::testing::Test {
 protected:
  void Join(std::uint32_t bitRate, std::size_t bufferBytes = 4096) {
    a_ = platform::comm::MakeMemoryLine("a");
    b_ = platform::comm::MakeMemoryLine("b");
    for (auto* port : {a_.host.get(), b_.host.get()}) {
      ASSERT_TRUE(port->SetTimeouts({200, 0, 3000, 0, 0}));
    }
    line_ = std::make_unique<LineEmulator>(std::move(a_.device), std::move(b_.device),
                                           sim::line::LineOptions{bitRate, bufferBytes});
    line_->Start();
  }

  static std::vector<std::uint8_t> ReadAll(platform::comm::Port* port, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::size_t got = 0;
    while (got < count) {
      std::size_t n = 0;
      if (!link::PortRead(port, std::span(bytes).subspan(got), n) || n == 0) {
        break;
      }
      got += n;
    }
    bytes.resize(got);
    return bytes;
  }

  static void WriteAll(platform::comm::Port* port, const std::vector<std::uint8_t>& bytes) {
    std::size_t written = 0;
    EXPECT_TRUE(link::PortWrite(port, bytes, written));
    EXPECT_EQ(written, bytes.size());
  }

  platform::comm::MemoryLine a_;
  platform::comm::MemoryLine b_;
  std::unique_ptr<LineEmulator> line_;
};

TEST_F(LineEmulatorTest, CarriesBothWaysAtOnceUnchanged) {
  for (const std::uint32_t rate : {0U, 921600U}) {
    Join(rate);
    const auto there = RandomBytes(20000, 1);
    const auto back = RandomBytes(15000, 2);
    std::thread writer([&] {
      WriteAll(a_.host.get(), there);
      WriteAll(b_.host.get(), back);
    });
    std::vector<std::uint8_t> gotBack;
    std::thread reader([&] { gotBack = ReadAll(a_.host.get(), back.size()); });
    EXPECT_EQ(ReadAll(b_.host.get(), there.size()), there) << rate;
    reader.join();
    writer.join();
    EXPECT_EQ(gotBack, back) << rate;
    line_->Stop();
    EXPECT_EQ(line_->RelayedAToB(), there.size());
    EXPECT_EQ(line_->RelayedBToA(), back.size());
  }
}

TEST_F(LineEmulatorTest, NeverDeliversFasterThanTheLine) {
  Join(115200);
  const auto bytes = RandomBytes(2304);  // 200 ms of line
  const auto begin = std::chrono::steady_clock::now();
  WriteAll(a_.host.get(), bytes);
  const auto first = ReadAll(b_.host.get(), 1);
  const auto firstAt = std::chrono::steady_clock::now() - begin;
  auto rest = ReadAll(b_.host.get(), bytes.size() - 1);
  const auto allAt = std::chrono::steady_clock::now() - begin;
  rest.insert(rest.begin(), first.begin(), first.end());
  EXPECT_EQ(rest, bytes);
  EXPECT_GE(firstAt, LinePacer::Duration(1, 115200));
  EXPECT_GE(allAt, LinePacer::Duration(bytes.size(), 115200));
}

TEST_F(LineEmulatorTest, DeliversTheLastBytesOfASenderThatHasGone) {
  // A program that writes its last answer and ends at once: the bytes it
  // left on the line still arrive.
  Join(9600);
  const auto last = RandomBytes(100);  // about 100 ms of line
  WriteAll(a_.host.get(), last);
  a_.host.reset();
  EXPECT_EQ(ReadAll(b_.host.get(), last.size()), last);
}

TEST_F(LineEmulatorTest, StopsPromptlyWithBytesStillOnASlowLine) {
  Join(300);
  WriteAll(a_.host.get(), RandomBytes(1000));  // half a minute of line
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto begin = std::chrono::steady_clock::now();
  line_->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
  EXPECT_LT(line_->RelayedAToB(), 10U);
  // Both hosts see the line gone.
  EXPECT_EQ(link::WriteText(a_.host.get(), "x"), 0U);
  EXPECT_EQ(link::WriteText(b_.host.get(), "x"), 0U);
}

TEST_F(LineEmulatorTest, JoinsTwoPtys) {
  auto ptyA = platform::comm::OpenPtyLine();
  auto ptyB = platform::comm::OpenPtyLine();
  ASSERT_TRUE(ptyA.device) << ptyA.message;
  ASSERT_TRUE(ptyB.device) << ptyB.message;
  LineEmulator line(std::move(ptyA.device), std::move(ptyB.device), {115200, 4096});
  line.Start();
  auto portA = platform::comm::OpenSerialPort(ptyA.slavePath);
  auto portB = platform::comm::OpenSerialPort(ptyB.slavePath);
  ASSERT_TRUE(portA.port) << portA.message;
  ASSERT_TRUE(portB.port) << portB.message;
  for (auto* port : {portA.port.get(), portB.port.get()}) {
    ASSERT_TRUE(port->SetTimeouts({200, 0, 3000, 0, 0}));
  }
  const auto hello = RandomBytes(3000, 5);
  const auto reply = RandomBytes(500, 6);
  WriteAll(portA.port.get(), hello);
  EXPECT_EQ(ReadAll(portB.port.get(), hello.size()), hello);
  WriteAll(portB.port.get(), reply);
  EXPECT_EQ(ReadAll(portA.port.get(), reply.size()), reply);
  line.Stop();
}

}  // namespace
}  // namespace norix::testing
