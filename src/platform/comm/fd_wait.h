// Waiting on a file descriptor that another thread can cut short: poll() over
// the fd and an eventfd.
#pragma once

#include "platform/comm/deadline.h"

namespace norix::platform::comm {

// An eventfd another thread signals to end a wait. Signals are not counted:
// one or many end the next wait once.
class WakeEvent {
 public:
  WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;
  WakeEvent(WakeEvent&&) = delete;
  WakeEvent& operator=(WakeEvent&&) = delete;
  ~WakeEvent();

  // False when no eventfd could be made (errno says why).
  [[nodiscard]] bool Valid() const { return fd_ >= 0; }
  void Signal() const;
  void Drain() const;
  [[nodiscard]] int Fd() const { return fd_; }

 private:
  int fd_;
};

enum class FdWait { Ready, Woken, TimedOut, Broken };

// Blocks until `fd` has one of `events` (POLLIN, POLLOUT), `wake` is
// signalled (which drains it), or `deadline` passes. Broken on an error or
// hang-up of the fd without the wanted event. Restarts after signals.
[[nodiscard]] FdWait WaitForFd(int fd, short events, const WakeEvent& wake, Deadline deadline);

}  // namespace norix::platform::comm
