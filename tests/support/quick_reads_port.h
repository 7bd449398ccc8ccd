// A port whose reads give up on a silent product sooner than the time-outs
// the program set, for end-to-end tests whose products answer at once (each
// answer in one piece). The program reads back exactly the time-outs it
// set, and each read that heard nothing is counted at the full time-out the
// program set: how long the program waited for the silence by its own
// clock. Optionally a read also ends after a shorter quiet gap behind the
// bytes it got than the interval the program set.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "platform/comm/port.h"

namespace norix::testing {

class QuickReadsPort final : public platform::comm::Port {
 public:
  // `silence` adds up the waits the program's time-outs gave to reads that
  // heard nothing, in milliseconds; it may outlive the port.
  // `gap` 0: the interval the program set.
  QuickReadsPort(std::unique_ptr<platform::comm::Port> inner, std::chrono::milliseconds limit,
                 std::chrono::milliseconds gap, std::shared_ptr<std::atomic<std::int64_t>> silence);

  [[nodiscard]] platform::comm::IoResult Read(std::span<std::uint8_t> buffer,
                                              std::chrono::milliseconds waitLimit) override;
  [[nodiscard]] platform::comm::IoResult Write(std::span<const std::uint8_t> data) override {
    return inner_->Write(data);
  }
  [[nodiscard]] bool GetState(platform::comm::CommState& state) const override {
    return inner_->GetState(state);
  }
  [[nodiscard]] bool SetState(const platform::comm::CommState& state) override {
    return inner_->SetState(state);
  }
  [[nodiscard]] bool GetTimeouts(platform::comm::CommTimeouts& timeouts) const override;
  [[nodiscard]] bool SetTimeouts(const platform::comm::CommTimeouts& timeouts) override;
  bool Purge(std::uint32_t actions) override { return inner_->Purge(actions); }
  [[nodiscard]] std::string Name() const override { return inner_->Name(); }

 private:
  std::unique_ptr<platform::comm::Port> inner_;
  const std::uint64_t limit_;
  const std::uint32_t gap_;
  std::shared_ptr<std::atomic<std::int64_t>> silence_;
  mutable std::mutex mutex_;
  platform::comm::CommTimeouts asked_;  // what the program set
};

}  // namespace norix::testing
