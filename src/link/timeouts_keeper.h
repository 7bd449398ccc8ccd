// Puts back a port's time-outs as they were when it was made, on every way
// out of the scope that changes them.
#pragma once

#include "link/port_io.h"
#include "platform/comm/port.h"

namespace norix::link {

class TimeoutsKeeper {
 public:
  explicit TimeoutsKeeper(platform::comm::Port* port)
      : port_(port), saved_(CurrentTimeouts(port)) {}
  TimeoutsKeeper(const TimeoutsKeeper&) = delete;
  TimeoutsKeeper& operator=(const TimeoutsKeeper&) = delete;
  TimeoutsKeeper(TimeoutsKeeper&&) = delete;
  TimeoutsKeeper& operator=(TimeoutsKeeper&&) = delete;
  ~TimeoutsKeeper() { Restore(); }
  void Restore() const { RestoreTimeouts(port_, saved_); }

 private:
  platform::comm::Port* port_;
  platform::comm::CommTimeouts saved_;
};

}  // namespace norix::link
