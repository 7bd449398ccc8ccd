// A tty as a Port: exclusive open, termios2 settings, and the time-out engine
// over the non-blocking fd with poll().
#include <cerrno>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/comm/byte_channel.h"
#include "platform/comm/comm_state_check.h"
#include "platform/comm/fd_wait.h"
#include "platform/comm/serial_port.h"
#include "platform/comm/timed_io.h"
#include "platform/comm/tty_control.h"

namespace norix::platform::comm {
namespace {

class TtyChannel final : public ByteChannel {
 public:
  explicit TtyChannel(int fd) : fd_(fd) {}

  [[nodiscard]] bool Valid() const { return readerWake_.Valid() && writerWake_.Valid(); }

  std::ptrdiff_t TakeReceived(std::span<std::uint8_t> buffer) override {
    if (buffer.empty()) {
      return 0;
    }
    for (;;) {
      const ssize_t n = read(fd_, buffer.data(), buffer.size());
      if (n > 0) {
        return n;
      }
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return 0;
      }
      // 0 bytes with VMIN 1 is a hang-up; EIO a pty whose master is gone.
      return -1;
    }
  }

  std::ptrdiff_t PutOutgoing(std::span<const std::uint8_t> data) override {
    if (data.empty()) {
      return 0;
    }
    for (;;) {
      const ssize_t n = write(fd_, data.data(), data.size());
      if (n >= 0) {
        return n;
      }
      if (errno == EINTR) {
        continue;
      }
      return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
    }
  }

  bool WaitReceivable(Deadline deadline) override {
    return WaitForFd(fd_, POLLIN, readerWake_, deadline) != FdWait::Broken;
  }

  bool WaitSendable(Deadline deadline) override {
    return WaitForFd(fd_, POLLOUT, writerWake_, deadline) != FdWait::Broken;
  }

  void WakeReader() override { readerWake_.Signal(); }
  void WakeWriter() override { writerWake_.Signal(); }

  bool DiscardReceived() override { return FlushTtyInput(fd_); }
  bool DiscardUnsent() override { return FlushTtyOutput(fd_); }

 private:
  int fd_;
  WakeEvent readerWake_;
  WakeEvent writerWake_;
};

class SerialPort final : public Port {
 public:
  SerialPort(int fd, std::string path, const CommState& state)
      : fd_(fd), path_(std::move(path)), channel_(fd), io_(channel_), lastSet_(state) {}

  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  SerialPort(SerialPort&&) = delete;
  SerialPort& operator=(SerialPort&&) = delete;

  ~SerialPort() override {
    // The exclusive flag belongs to the tty, not to this fd: a pty whose
    // slave someone else keeps open would stay exclusive after this close.
    (void)SetTtyExclusive(fd_, false);
    close(fd_);
  }

  [[nodiscard]] bool Valid() const { return channel_.Valid(); }

  IoResult Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds waitLimit) override {
    return io_.Read(buffer, waitLimit);
  }

  IoResult Write(std::span<const std::uint8_t> data) override { return io_.Write(data); }

  bool GetState(CommState& state) const override {
    CommState read;
    if (!ReadTtyState(fd_, read)) {
      return false;
    }
    // The one CRTSCTS flag stands for both CTS output flow and RTS handshake;
    // while it agrees with what was set, report the two as they were set.
    const std::lock_guard lock(mutex_);
    const bool setWithFlow = lastSet_.outxCtsFlow || lastSet_.rtsControl == RtsControl::Handshake;
    if (read.outxCtsFlow == setWithFlow) {
      read.outxCtsFlow = lastSet_.outxCtsFlow;
      read.rtsControl = lastSet_.rtsControl;
    }
    state = read;
    return true;
  }

  bool SetState(const CommState& state) override {
    if (!IsSupportedCommState(state)) {
      return false;
    }
    const std::lock_guard lock(mutex_);
    if (!WriteTtyState(fd_, state)) {
      return false;
    }
    const bool handshake = state.outxCtsFlow || state.rtsControl == RtsControl::Handshake;
    if (!handshake && !SetRtsLine(fd_, state.rtsControl == RtsControl::Enable)) {
      return false;
    }
    lastSet_ = state;
    return true;
  }

  bool GetTimeouts(CommTimeouts& timeouts) const override {
    timeouts = io_.Timeouts();
    return true;
  }

  bool SetTimeouts(const CommTimeouts& timeouts) override {
    io_.SetTimeouts(timeouts);
    return true;
  }

  bool Purge(std::uint32_t actions) override { return io_.Purge(actions); }

  std::string Name() const override { return path_; }

 private:
  int fd_;
  std::string path_;
  TtyChannel channel_;
  TimedIo io_;
  mutable std::mutex mutex_;  // guards lastSet_ and orders state changes
  CommState lastSet_;
};

// Called once the failed open's fd is closed, so that it is not taken for
// the holder of the port.
OpenPortResult Failure(const std::string& path, int error) {
  return {nullptr, error, DescribeOpenFailure(path, error, GatherOpenFailureFacts(path, error)),
          ClassifyOpenError(error)};
}

}  // namespace

OpenPortResult OpenSerialPort(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return Failure(path, errno);
  }
  const auto fail = [&](int error) {
    close(fd);
    return Failure(path, error);
  };
  // Each open is its own file description, so flock() refuses a second open
  // in this process as well as in another, and also for root, which TIOCEXCL
  // lets through.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    return fail(errno == EWOULDBLOCK ? EBUSY : errno);
  }
  CommState state;
  if (!ReadTtyState(fd, state)) {
    return fail(errno);
  }
  if (!SetTtyExclusive(fd, true)) {
    return fail(errno);
  }
  // The speed stays as the device had it; the rest is 8N1, raw, no flow
  // control, RTS on, and nothing left over from an earlier user.
  state.byteSize = 8;
  state.parity = Parity::None;
  state.stopBits = StopBits::One;
  state.outxCtsFlow = false;
  state.rtsControl = RtsControl::Enable;
  if (state.baudRate == 0) {
    state.baudRate = CommState{}.baudRate;
  }
  if (!MakeTtyRaw(fd) || !WriteTtyState(fd, state) || !SetRtsLine(fd, true) || !FlushTtyInput(fd) ||
      !FlushTtyOutput(fd)) {
    const int error = errno;
    (void)SetTtyExclusive(fd, false);
    return fail(error);
  }
  auto port = std::make_unique<SerialPort>(fd, path, state);
  if (!port->Valid()) {
    const int error = errno;
    port.reset();  // closes fd
    return Failure(path, error);
  }
  return {std::move(port), 0, {}};
}

}  // namespace norix::platform::comm
