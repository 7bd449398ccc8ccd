#include "platform/comm/comm_state_check.h"

namespace norix::platform::comm {

bool IsSupportedCommState(const CommState& state) {
  if (state.baudRate == 0 || state.byteSize < 5 || state.byteSize > 8) {
    return false;
  }
  if (state.rtsControl == RtsControl::Toggle) {
    return false;
  }
  if (state.stopBits == StopBits::OneAndHalf && state.byteSize != 5) {
    return false;
  }
  return !(state.stopBits == StopBits::Two && state.byteSize == 5);
}

}  // namespace norix::platform::comm
