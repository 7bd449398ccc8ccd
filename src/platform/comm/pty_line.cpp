#include "platform/comm/pty_line.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "platform/comm/fd_wait.h"
#include "platform/comm/tty_control.h"

namespace norix::platform::comm {
namespace {

// Bytes the host leaves unread fill the pty; a real line would overrun. A
// Send that finds no room for this long drops the rest instead of hanging
// the model that sends.
constexpr std::chrono::milliseconds kSendStallLimit{2000};

class PtyDeviceEnd final : public DeviceEnd {
 public:
  // Takes over both fds. The slave fd stays open for the life of the device
  // end: without it the master reads EIO whenever the host has closed the
  // slave, and would hang up between two opens of the host.
  PtyDeviceEnd(int master, int slave) : master_(master), slave_(slave) {}

  PtyDeviceEnd(const PtyDeviceEnd&) = delete;
  PtyDeviceEnd& operator=(const PtyDeviceEnd&) = delete;
  PtyDeviceEnd(PtyDeviceEnd&&) = delete;
  PtyDeviceEnd& operator=(PtyDeviceEnd&&) = delete;

  ~PtyDeviceEnd() override {
    close(slave_);
    close(master_);
  }

  [[nodiscard]] bool Valid() const { return wake_.Valid(); }

  std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                         std::chrono::milliseconds timeout) override {
    const Deadline deadline = DeadlineAfter(
        Clock::now(), timeout.count() > 0 ? static_cast<std::uint64_t>(timeout.count()) : 0);
    for (;;) {
      if (shut_.load()) {
        return -1;
      }
      if (buffer.empty()) {
        return 0;
      }
      const ssize_t n = read(master_, buffer.data(), buffer.size());
      if (n > 0) {
        return n;
      }
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
        return -1;
      }
      switch (WaitForFd(master_, POLLIN, wake_, deadline)) {
        case FdWait::TimedOut:
          return 0;
        case FdWait::Broken:
          return -1;
        case FdWait::Ready:
        case FdWait::Woken:
          break;
      }
    }
  }

  bool Send(std::span<const std::uint8_t> data) override {
    Deadline stallEnds = DeadlineAfter(Clock::now(), kSendStallLimit.count());
    while (!data.empty()) {
      if (shut_.load()) {
        return false;
      }
      const ssize_t n = write(master_, data.data(), data.size());
      if (n > 0) {
        data = data.subspan(static_cast<std::size_t>(n));
        stallEnds = DeadlineAfter(Clock::now(), kSendStallLimit.count());
        continue;
      }
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        return false;
      }
      switch (WaitForFd(master_, POLLOUT, wake_, stallEnds)) {
        case FdWait::TimedOut:
          return true;  // nobody reads: the rest is lost as on an overrun
        case FdWait::Broken:
          return false;
        case FdWait::Ready:
        case FdWait::Woken:
          break;
      }
    }
    return !shut_.load();
  }

  CommState HostState() const override {
    // On Linux the master reports the slave's termios.
    CommState state;
    if (!ReadTtyState(master_, state)) {
      return CommState{};
    }
    return state;
  }

  void Shutdown() override {
    shut_.store(true);
    wake_.Signal();
  }

 private:
  int master_;
  int slave_;
  WakeEvent wake_;
  std::atomic<bool> shut_{false};
};

PtyLine Failure(const char* step, int error) {
  return {nullptr, {}, std::string(step) + ": " + std::generic_category().message(error)};
}

}  // namespace

PtyLine OpenPtyLine() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) {
    return Failure("cannot open a pseudo-terminal", errno);
  }
  std::array<char, 128> name{};
  if (grantpt(master) != 0 || unlockpt(master) != 0 ||
      ptsname_r(master, name.data(), name.size()) != 0) {
    const int error = errno;
    close(master);
    return Failure("cannot set up the pseudo-terminal", error);
  }
  const int flags = fcntl(master, F_GETFL);
  if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
    const int error = errno;
    close(master);
    return Failure("cannot set up the pseudo-terminal", error);
  }
  std::string slavePath(name.data());
  const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) {
    const int error = errno;
    close(master);
    return Failure(("cannot open " + slavePath).c_str(), error);
  }
  auto device = std::make_unique<PtyDeviceEnd>(master, slave);
  if (!MakeTtyRaw(slave) || !device->Valid()) {
    return Failure(("cannot set up " + slavePath).c_str(), errno);
  }
  return {std::move(device), std::move(slavePath), {}};
}

}  // namespace norix::platform::comm
