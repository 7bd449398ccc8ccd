#include "platform/comm/fd_wait.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace norix::platform::comm {
namespace {

// poll()'s time-out: -1 for none, else the milliseconds left rounded up, so
// that the wait never ends before the deadline.
int PollTimeout(Deadline deadline) {
  if (deadline == kNoDeadline) {
    return -1;
  }
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) {
    return 0;
  }
  return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

}  // namespace

WakeEvent::WakeEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeEvent::~WakeEvent() {
  if (fd_ >= 0) {
    close(fd_);
  }
}

void WakeEvent::Signal() const {
  const std::uint64_t one = 1;
  // EAGAIN means the counter is full: the event is signalled already.
  while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void WakeEvent::Drain() const {
  std::uint64_t count = 0;
  while (read(fd_, &count, sizeof count) < 0 && errno == EINTR) {
  }
}

FdWait WaitForFd(int fd, short events, const WakeEvent& wake, Deadline deadline) {
  for (;;) {
    std::array<pollfd, 2> fds{{{fd, events, 0}, {wake.Fd(), POLLIN, 0}}};
    const int ready = poll(fds.data(), fds.size(), PollTimeout(deadline));
    if (ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      return FdWait::Broken;
    }
    if (ready == 0) {
      return FdWait::TimedOut;
    }
    if ((fds[1].revents & POLLIN) != 0) {
      wake.Drain();
      return FdWait::Woken;
    }
    if ((fds[0].revents & events) != 0) {
      return FdWait::Ready;
    }
    if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      return FdWait::Broken;
    }
  }
}

}  // namespace norix::platform::comm
