// The tty backend over a pseudo-terminal: exclusive open, speeds and framing
// seen from the far end, raw bytes, and the time-out engine on a real fd.
#include "platform/comm/serial_port.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "line_test_support.h"
#include "platform/comm/pty_line.h"

namespace norix::platform::comm {
namespace {

using std::chrono::milliseconds;
using test::Bytes;
using test::kLateAllowanceMs;
using test::Text;
using test::TimeMs;

constexpr CommTimeouts kReturnAtOnce{kMaxTimeout, 0, 0, 0, 0};

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pty = OpenPtyLine();
    ASSERT_NE(pty.device, nullptr) << pty.message;
    OpenPortResult opened = OpenSerialPort(pty.slavePath);
    ASSERT_NE(opened.port, nullptr) << opened.message;
    port = std::move(opened.port);
  }

  // Everything the device end receives until it has `count` bytes or 1 s passed.
  std::vector<std::uint8_t> ReceiveAtDevice(std::size_t count) {
    std::vector<std::uint8_t> received;
    std::array<std::uint8_t, 512> chunk{};
    const auto end = std::chrono::steady_clock::now() + milliseconds(1000);
    while (received.size() < count && std::chrono::steady_clock::now() < end) {
      const auto n = pty.device->Receive(chunk, milliseconds(100));
      if (n < 0) {
        break;
      }
      received.insert(received.end(), chunk.begin(), chunk.begin() + n);
    }
    return received;
  }

  // Whether the tty has exclusive mode on, seen through a fresh open of it.
  bool TtyIsExclusive() {
    const int fd = open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    int exclusive = 0;
    EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    close(fd);
    return exclusive != 0;
  }

  PtyLine pty;
  std::unique_ptr<Port> port;
};

TEST_F(SerialPortTest, SecondOpenIsBusyUntilTheFirstCloses) {
  EXPECT_EQ(port->Name(), pty.slavePath);
  EXPECT_TRUE(TtyIsExclusive());

  const OpenPortResult second = OpenSerialPort(pty.slavePath);
  EXPECT_EQ(second.port, nullptr);
  EXPECT_EQ(second.error, EBUSY);
  EXPECT_EQ(second.failure, OpenFailure::InUse);
  EXPECT_EQ(second.message,
            "cannot open " + pty.slavePath +
                ": Device or resource busy (in use by this program itself (process " +
                std::to_string(getpid()) + "))");

  port.reset();
  EXPECT_FALSE(TtyIsExclusive());
  // What the product sent while nobody had the port open is not read by the
  // next open: the open discards it.
  ASSERT_TRUE(pty.device->Send(Bytes("\r\nRING\r\n")));
  std::this_thread::sleep_for(milliseconds(20));
  OpenPortResult again = OpenSerialPort(pty.slavePath);
  ASSERT_NE(again.port, nullptr) << again.message;
  ASSERT_TRUE(again.port->SetTimeouts(kReturnAtOnce));
  std::array<std::uint8_t, 8> stale{};
  EXPECT_EQ(again.port->Read(stale, milliseconds(1000)).count, 0U);

  // The line still works both ways after the host closed and reopened it.
  ASSERT_TRUE(again.port->SetTimeouts({0, 0, 500, 0, 0}));
  ASSERT_EQ(again.port->Write(Bytes("ATZ\r")).count, 4U);
  EXPECT_EQ(Text(ReceiveAtDevice(4)), "ATZ\r");
  ASSERT_TRUE(pty.device->Send(Bytes("OK")));
  std::array<std::uint8_t, 2> buffer{};
  EXPECT_EQ(again.port->Read(buffer, milliseconds(1000)).count, 2U);
  EXPECT_EQ(Text(buffer), "OK");
}

TEST(SerialPortOpenTest, PathsThatAreNoSerialPortFail) {
  OpenPortResult missing = OpenSerialPort("/dev/norix-no-such-port");
  EXPECT_EQ(missing.port, nullptr);
  EXPECT_EQ(missing.error, ENOENT);
  EXPECT_EQ(missing.failure, OpenFailure::Gone);
  EXPECT_EQ(missing.message,
            "cannot open /dev/norix-no-such-port: No such file or directory (the device is not "
            "there: check that the product is plugged in and switched on)");

  OpenPortResult notTty = OpenSerialPort("/dev/null");
  EXPECT_EQ(notTty.port, nullptr);
  EXPECT_EQ(notTty.error, ENOTTY);
  EXPECT_EQ(notTty.failure, OpenFailure::Other);
  EXPECT_EQ(notTty.message, "cannot open /dev/null: Inappropriate ioctl for device");
}

TEST_F(SerialPortTest, EverySpeedReachesTheDeviceEnd) {
  for (const std::uint32_t speed :
       {300U, 600U, 1200U, 2400U, 4800U, 9600U, 14400U, 19200U, 38400U, 57600U, 115200U}) {
    CommState state;
    state.baudRate = speed;
    ASSERT_TRUE(port->SetState(state)) << speed;
    EXPECT_EQ(pty.device->HostState().baudRate, speed);
    CommState read;
    ASSERT_TRUE(port->GetState(read));
    EXPECT_EQ(read, state);
  }
}

TEST_F(SerialPortTest, FramingAndFlowControlRoundTrip) {
  CommState state;
  state.baudRate = 57600;
  state.outxCtsFlow = true;
  state.rtsControl = RtsControl::Handshake;
  ASSERT_TRUE(port->SetState(state));
  CommState seen = pty.device->HostState();
  EXPECT_TRUE(seen.outxCtsFlow);
  CommState read;
  ASSERT_TRUE(port->GetState(read));
  EXPECT_EQ(read, state);

  // RTS handshake alone also needs the one Linux flag, and reads back as set.
  state.outxCtsFlow = false;
  ASSERT_TRUE(port->SetState(state));
  EXPECT_TRUE(pty.device->HostState().outxCtsFlow);
  ASSERT_TRUE(port->GetState(read));
  EXPECT_EQ(read, state);

  // A pty keeps 8 data bits without parity whatever is set (the kernel's pty
  // driver forces them), so only the stop bits show framing here.
  state.rtsControl = RtsControl::Disable;
  state.stopBits = StopBits::Two;
  ASSERT_TRUE(port->SetState(state));
  seen = pty.device->HostState();
  EXPECT_FALSE(seen.outxCtsFlow);
  EXPECT_EQ(seen.stopBits, StopBits::Two);
  ASSERT_TRUE(port->GetState(read));
  EXPECT_EQ(read, state);

  CommState bad = state;
  bad.rtsControl = RtsControl::Toggle;
  EXPECT_FALSE(port->SetState(bad));
  ASSERT_TRUE(port->GetState(read));
  EXPECT_EQ(read, state);
}

TEST_F(SerialPortTest, EveryByteValuePassesUnchangedAndIsNotEchoed) {
  std::vector<std::uint8_t> all(256);
  for (std::size_t i = 0; i < all.size(); ++i) {
    all[i] = static_cast<std::uint8_t>(i);
  }
  ASSERT_TRUE(port->SetTimeouts({100, 10, 1000, 0, 0}));

  ASSERT_EQ(port->Write(all).count, all.size());
  EXPECT_EQ(ReceiveAtDevice(all.size()), all);

  ASSERT_TRUE(pty.device->Send(all));
  std::vector<std::uint8_t> read(all.size());
  const IoResult result = port->Read(read, milliseconds(2000));
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(read, all);

  // Nothing came back to either side.
  std::array<std::uint8_t, 16> buffer{};
  EXPECT_EQ(pty.device->Receive(buffer, milliseconds(50)), 0);
  ASSERT_TRUE(port->SetTimeouts(kReturnAtOnce));
  EXPECT_EQ(port->Read(buffer, milliseconds(1000)).count, 0U);
}

TEST_F(SerialPortTest, TimeoutsHoldOnTheTty) {
  ASSERT_TRUE(port->SetTimeouts({50, 10, 100, 0, 0}));
  std::array<std::uint8_t, 5> buffer{};
  IoResult result;
  auto ms = TimeMs([&] { result = port->Read(buffer, milliseconds(5000)); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(result.count, 0U);
  EXPECT_GE(ms, 145);
  EXPECT_LT(ms, 150 + kLateAllowanceMs);

  // A gap of more than the interval ends the read with what came.
  ASSERT_TRUE(port->SetTimeouts({50, 0, 5000, 0, 0}));
  ASSERT_TRUE(pty.device->Send(Bytes("ab")));
  std::array<std::uint8_t, 10> larger{};
  ms = TimeMs([&] { result = port->Read(larger, milliseconds(5000)); });
  EXPECT_EQ(result.status, IoStatus::Completed);
  EXPECT_EQ(Text(std::span(larger).first(result.count)), "ab");
  EXPECT_LT(ms, 50 + kLateAllowanceMs);
}

TEST_F(SerialPortTest, WaitLimitAndAbortKeepTheBytesOnTheTty) {
  ASSERT_TRUE(port->SetTimeouts({0, 0, 0, 0, 0}));
  ASSERT_TRUE(pty.device->Send(Bytes("12")));
  std::array<std::uint8_t, 8> buffer{};
  IoResult result;
  auto ms = TimeMs([&] { result = port->Read(buffer, milliseconds(200)); });
  EXPECT_EQ(result.status, IoStatus::WaitExpired);
  EXPECT_GE(ms, 195);
  EXPECT_LT(ms, 200 + kLateAllowanceMs);

  ASSERT_TRUE(pty.device->Send(Bytes("34")));
  std::thread aborter([this] {
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_TRUE(port->Purge(kPurgeRxAbort));
  });
  ms = TimeMs([&] { result = port->Read(buffer, milliseconds(5000)); });
  aborter.join();
  EXPECT_EQ(result.status, IoStatus::Aborted);
  EXPECT_LT(ms, 100 + kLateAllowanceMs);

  ASSERT_TRUE(port->SetTimeouts(kReturnAtOnce));
  result = port->Read(buffer, milliseconds(1000));
  EXPECT_EQ(Text(std::span(buffer).first(result.count)), "1234");
}

TEST_F(SerialPortTest, RxClearDropsWhatTheTtyHolds) {
  ASSERT_TRUE(pty.device->Send(Bytes("junk")));
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_TRUE(port->Purge(kPurgeRxClear | kPurgeTxClear));
  ASSERT_TRUE(port->SetTimeouts(kReturnAtOnce));
  std::array<std::uint8_t, 8> buffer{};
  EXPECT_EQ(port->Read(buffer, milliseconds(1000)).count, 0U);
}

TEST_F(SerialPortTest, DeviceShutdownAndTeardown) {
  std::ptrdiff_t n = 0;
  std::thread receiver([&] {
    std::array<std::uint8_t, 8> buffer{};
    n = pty.device->Receive(buffer, milliseconds(5000));
  });
  std::this_thread::sleep_for(milliseconds(50));
  pty.device->Shutdown();
  receiver.join();
  EXPECT_EQ(n, -1);
  EXPECT_FALSE(pty.device->Send(Bytes("x")));

  // Without the device end the host's tty hangs up: reads fail at once.
  pty.device.reset();
  ASSERT_TRUE(port->SetTimeouts({0, 0, 0, 0, 0}));
  std::array<std::uint8_t, 8> buffer{};
  IoResult result;
  const auto ms = TimeMs([&] { result = port->Read(buffer, milliseconds(3000)); });
  EXPECT_EQ(result.status, IoStatus::Failed);
  EXPECT_LT(ms, kLateAllowanceMs);
}

}  // namespace
}  // namespace norix::platform::comm
