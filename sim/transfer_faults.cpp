#include "sim/transfer_faults.h"

#include <algorithm>
#include <optional>

namespace norix::sim {

void TransferFaults::Begin(TransferPhase phase) {
  phase_ = phase;
  phaseBytes_ = 0;
}

std::size_t TransferFaults::Pass(std::span<std::uint8_t> bytes) {
  if (powerLost_) {
    return 0;
  }
  std::optional<std::uint64_t> cut;
  if (phase_ == TransferPhase::Loader) {
    cut = options_.powerCutLoader;
  } else if (phase_ == TransferPhase::Firmware) {
    cut = options_.powerCutFirmware;
  }
  std::size_t arrived = bytes.size();
  if (cut && !cutDone_ && phaseBytes_ + bytes.size() >= *cut) {
    arrived = static_cast<std::size_t>(*cut - std::min(*cut, phaseBytes_));
    cutDone_ = true;
    powerLost_ = true;
  }
  phaseBytes_ += arrived;
  for (std::size_t i = 0; i < arrived; ++i) {
    if (options_.corruptEvery > 0 && ++lineBytes_ % options_.corruptEvery == 0) {
      bytes[i] ^= 0x55U;
    }
  }
  return arrived;
}

std::chrono::milliseconds TransferFaults::Scaled(std::chrono::milliseconds wait) const {
  return wait * options_.timePercent / 100;
}

bool TransferFaults::SilenceRequest() { return ++requests_ <= options_.silentRequests; }

bool TransferFaults::StallErase() { return options_.stallErase && ++erases_ == 1; }

std::ptrdiff_t FaultyLine::Receive(std::span<std::uint8_t> buffer,
                                   std::chrono::milliseconds timeout) {
  if (faults_.PowerLost()) {
    return -1;
  }
  const std::ptrdiff_t count = line_.Receive(buffer, timeout);
  if (count < 0) {
    closed_ = true;
    return count;
  }
  const std::size_t arrived = faults_.Pass(buffer.first(static_cast<std::size_t>(count)));
  if (faults_.PowerLost()) {
    return -1;
  }
  return static_cast<std::ptrdiff_t>(arrived);
}

bool FaultyLine::Send(std::span<const std::uint8_t> data) {
  return !faults_.PowerLost() && line_.Send(data);
}

}  // namespace norix::sim
