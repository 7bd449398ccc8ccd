#include "scripted_product.h"

#include <array>
#include <span>
#include <utility>

namespace norix::products::testing {

ScriptedProduct::ScriptedProduct(std::unique_ptr<platform::comm::DeviceEnd> device,
                                 std::vector<ScriptedAnswer> script)
    : device_(std::move(device)), script_(std::move(script)), thread_([this] { Run(); }) {}

ScriptedProduct::~ScriptedProduct() {
  device_->Shutdown();  // wakes the pending Receive, which then ends the loop
  thread_.join();
}

std::vector<ReceivedCommand> ScriptedProduct::Received() const {
  const std::lock_guard lock(mutex_);
  return received_;
}

void ScriptedProduct::Run() {
  std::string pending;
  std::array<std::uint8_t, 256> buffer{};
  for (;;) {
    const std::ptrdiff_t count = device_->Receive(buffer, std::chrono::milliseconds(200));
    if (count < 0) {
      return;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
      const char c = static_cast<char>(buffer[i]);
      if (c != '\r') {
        pending.push_back(c);
        continue;
      }
      Answer(pending);
      pending.clear();
    }
  }
}

void ScriptedProduct::Answer(const std::string& command) {
  const std::uint32_t speed = device_->HostState().baudRate;
  {
    const std::lock_guard lock(mutex_);
    received_.push_back({speed, command});
  }
  for (const ScriptedAnswer& answer : script_) {
    if (answer.command != command || (answer.speed != 0 && answer.speed != speed)) {
      continue;
    }
    bool first = true;
    for (const std::string& part : answer.parts) {
      if (!first) {
        std::this_thread::sleep_for(kPartPause);
      }
      first = false;
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(part.data());
      if (!device_->Send(std::span(bytes, part.size()))) {
        return;
      }
    }
    return;
  }
}

}  // namespace norix::products::testing
