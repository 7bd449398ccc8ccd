// The faults that the line and the power supply bring into an upgrade
// (UpgradeOptions): bytes the host sends while a product takes a flash
// loader or firmware arrive damaged at a given rate, and the power goes off
// after a given number of bytes of one phase. A product keeps one
// TransferFaults for its whole life, so a power cut happens once.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/comm/device_end.h"
#include "sim/product_options.h"

namespace norix::sim {

// The KOMET II boot code is no firmware: no power cut is planned for it.
enum class TransferPhase : std::uint8_t { Loader, Firmware, BootCode };

class TransferFaults {
 public:
  TransferFaults() = default;
  explicit TransferFaults(const UpgradeOptions& options) : options_(options) {}

  // Starts counting the bytes of a phase.
  void Begin(TransferPhase phase);

  // Applies the faults to bytes that just arrived in the current phase:
  // damages them in place and returns how many of them came before the power
  // went off (all of them without a cut). Once the power is off, nothing
  // arrives.
  std::size_t Pass(std::span<std::uint8_t> bytes);

  // True from the cut until Restore().
  [[nodiscard]] bool PowerLost() const { return powerLost_; }
  void Restore() { powerLost_ = false; }

  // A wait of the product's, scaled by UpgradeOptions::timePercent.
  [[nodiscard]] std::chrono::milliseconds Scaled(std::chrono::milliseconds wait) const;
  // The restart after programming: the product's own time, or the
  // option's, scaled.
  [[nodiscard]] std::chrono::milliseconds RestartWait(std::chrono::milliseconds own) const {
    return Scaled(options_.restartTime.value_or(own));
  }

  [[nodiscard]] const UpgradeOptions& Options() const { return options_; }

  // Counts a request that starts an upgrade: true when it is to go
  // unanswered (UpgradeOptions::silentRequests).
  bool SilenceRequest();
  // Counts an erase: true for the first one when it is to stall
  // (UpgradeOptions::stallErase).
  bool StallErase();

 private:
  UpgradeOptions options_;
  TransferPhase phase_ = TransferPhase::Loader;
  std::uint64_t phaseBytes_ = 0;
  std::uint64_t lineBytes_ = 0;  // every byte passed, for the damage rate
  std::uint32_t requests_ = 0;
  std::uint32_t erases_ = 0;
  bool cutDone_ = false;
  bool powerLost_ = false;
};

// A line as a model's X-modem receiver sees it during a firmware phase:
// received bytes pass through the faults, and once the power is off the
// line reads as closed and sends nothing.
class FaultyLine final : public platform::comm::DeviceEnd {
 public:
  FaultyLine(platform::comm::DeviceEnd& line, TransferFaults& faults)
      : line_(line), faults_(faults) {}

  std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                         std::chrono::milliseconds timeout) override;
  bool Send(std::span<const std::uint8_t> data) override;
  [[nodiscard]] platform::comm::CommState HostState() const override { return line_.HostState(); }
  void Shutdown() override { line_.Shutdown(); }

  // True when a Receive gave -1 because the real line closed, not the power.
  [[nodiscard]] bool LineClosed() const { return closed_; }

 private:
  platform::comm::DeviceEnd& line_;
  TransferFaults& faults_;
  bool closed_ = false;
};

}  // namespace norix::sim
