#include "support/scripted_product.h"

#include <array>

namespace norix::testing {

ScriptedProduct::ScriptedProduct(platform::comm::DeviceEnd& device, Responder responder)
    : device_(device), responder_(std::move(responder)), thread_([this] { Run(); }) {}

ScriptedProduct::~ScriptedProduct() {
  quit_ = true;
  thread_.join();
}

std::vector<std::string> ScriptedProduct::Lines() const {
  const std::lock_guard lock(mutex_);
  return lines_;
}

bool ScriptedProduct::WaitForLines(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return linesChanged_.wait_for(lock, timeout, [&] { return lines_.size() >= count; });
}

std::vector<std::uint32_t> ScriptedProduct::Speeds() const {
  const std::lock_guard lock(mutex_);
  return speeds_;
}

void ScriptedProduct::Run() {
  std::string pending;
  std::array<std::uint8_t, 256> buffer{};
  while (!quit_) {
    const std::ptrdiff_t got = device_.Receive(buffer, std::chrono::milliseconds(20));
    if (got < 0) {
      return;
    }
    for (std::ptrdiff_t i = 0; i < got; ++i) {
      const char c = static_cast<char>(buffer[static_cast<std::size_t>(i)]);
      if (c != '\r') {
        pending.push_back(c);
        continue;
      }
      const platform::comm::CommState state = device_.HostState();
      {
        const std::lock_guard lock(mutex_);
        lines_.push_back(pending);
        speeds_.push_back(state.baudRate);
      }
      linesChanged_.notify_all();
      for (const Chunk& chunk : responder_(pending, state)) {
        if (chunk.pauseBefore.count() > 0) {
          std::this_thread::sleep_for(chunk.pauseBefore);
        }
        device_.Send(std::span(reinterpret_cast<const std::uint8_t*>(chunk.bytes.data()),
                               chunk.bytes.size()));
      }
      pending.clear();
    }
  }
}

std::string Answer(const std::string& echo, const std::vector<std::string>& lines) {
  std::string out = echo.empty() ? "" : echo + "\r";
  for (const std::string& line : lines) {
    out += "\r\n" + line + "\r\n";
  }
  return out;
}

}  // namespace norix::testing
