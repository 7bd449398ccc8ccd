#include "platform/comm/traced_port.h"

#include <atomic>
#include <string>
#include <utility>

namespace norix::platform::comm {

namespace {

std::string PurgeText(std::uint32_t actions) {
  std::string text = "purge";
  if ((actions & kPurgeTxAbort) != 0) {
    text += " tx-abort";
  }
  if ((actions & kPurgeRxAbort) != 0) {
    text += " rx-abort";
  }
  if ((actions & kPurgeTxClear) != 0) {
    text += " tx-clear";
  }
  if ((actions & kPurgeRxClear) != 0) {
    text += " rx-clear";
  }
  return text;
}

class TracedPort final : public Port {
 public:
  TracedPort(std::unique_ptr<Port> port, std::shared_ptr<PortTrace> trace)
      : port_(std::move(port)),
        trace_(std::move(trace)),
        speed_(SpeedOf(*port_)),
        number_(trace_->Opened(port_->Name(), speed_.load())) {}
  TracedPort(const TracedPort&) = delete;
  TracedPort& operator=(const TracedPort&) = delete;
  TracedPort(TracedPort&&) = delete;
  TracedPort& operator=(TracedPort&&) = delete;
  ~TracedPort() override {
    port_.reset();
    trace_->Event(number_, speed_.load(), "close");
  }

  IoResult Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds waitLimit) override {
    const IoResult result = port_->Read(buffer, waitLimit);
    if (result.count > 0) {
      trace_->Bytes(number_, speed_.load(), PortTrace::Direction::Received,
                    buffer.first(std::min(result.count, buffer.size())));
    }
    if (result.status == IoStatus::Failed) {
      trace_->Event(number_, speed_.load(), "read failed: the line is closed or broken");
    }
    return result;
  }

  IoResult Write(std::span<const std::uint8_t> data) override {
    const IoResult result = port_->Write(data);
    const std::size_t sent = std::min(result.count, data.size());
    trace_->Bytes(number_, speed_.load(), PortTrace::Direction::Sent, data.first(sent));
    if (sent < data.size()) {
      trace_->Event(
          number_, speed_.load(),
          "write ended after " + std::to_string(sent) + " of " + std::to_string(data.size()) +
              " bytes" +
              (result.status == IoStatus::Failed ? ": the line is closed or broken" : ""));
    }
    return result;
  }

  bool GetState(CommState& state) const override { return port_->GetState(state); }

  bool SetState(const CommState& state) override {
    const bool ok = port_->SetState(state);
    if (!ok) {
      trace_->Event(number_, speed_.load(),
                    "speed " + std::to_string(state.baudRate) + " refused by the port");
    } else if (speed_.exchange(state.baudRate) != state.baudRate) {
      trace_->Event(number_, state.baudRate, "speed");
    }
    return ok;
  }

  bool GetTimeouts(CommTimeouts& timeouts) const override { return port_->GetTimeouts(timeouts); }
  bool SetTimeouts(const CommTimeouts& timeouts) override { return port_->SetTimeouts(timeouts); }

  bool Purge(std::uint32_t actions) override {
    trace_->Event(number_, speed_.load(), PurgeText(actions));
    return port_->Purge(actions);
  }

  [[nodiscard]] std::string Name() const override { return port_->Name(); }

 private:
  static std::uint32_t SpeedOf(const Port& port) {
    CommState state;
    return port.GetState(state) ? state.baudRate : 0;
  }

  std::unique_ptr<Port> port_;
  std::shared_ptr<PortTrace> trace_;
  // Set on the thread that configures the port, read by a purge from another.
  std::atomic<std::uint32_t> speed_;
  const int number_;
};

}  // namespace

std::unique_ptr<Port> TracePort(std::unique_ptr<Port> port, std::shared_ptr<PortTrace> trace) {
  if (!trace || !port) {
    return port;
  }
  return std::make_unique<TracedPort>(std::move(port), std::move(trace));
}

}  // namespace norix::platform::comm
