// Helpers for the simulator tests: a product on an in-memory line, and host
// side reads that wait for an expected answer or for a quiet period.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "platform/comm/memory_line.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"

namespace norix::sim::test {

using platform::comm::Port;
using namespace std::chrono_literals;

inline std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

inline void Write(Port& port, std::string_view text) {
  const auto result = port.Write(Bytes(text));
  ASSERT_TRUE(result.completed());
  ASSERT_EQ(result.count, text.size());
}

inline void SetSpeed(Port& port, std::uint32_t baudRate) {
  platform::comm::CommState state;
  ASSERT_TRUE(port.GetState(state));
  state.baudRate = baudRate;
  ASSERT_TRUE(port.SetState(state));
}

// Reads until `done` holds for what came, or `limit` passes.
inline std::string ReadUntilDone(Port& port, const std::function<bool(const std::string&)>& done,
                                 std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done(received)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      break;
    }
    // Returns as soon as any byte is there, waiting up to `left` for the first.
    EXPECT_TRUE(port.SetTimeouts({platform::comm::kMaxTimeout, platform::comm::kMaxTimeout,
                                  static_cast<std::uint32_t>(left.count()), 0, 0}));
    std::array<std::uint8_t, 2048> buffer{};
    const auto result = port.Read(buffer, left + 1000ms);
    if (!result.completed()) {
      break;
    }
    received.append(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(result.count));
  }
  return received;
}

// Reads until what came ends with `end`, or `limit` passes. Returns what came.
inline std::string ReadUntil(Port& port, std::string_view end,
                             std::chrono::milliseconds limit = 3000ms) {
  return ReadUntilDone(
      port, [end](const std::string& received) { return received.ends_with(end); }, limit);
}

// Everything that comes within `period`.
inline std::string ReadFor(Port& port, std::chrono::milliseconds period) {
  EXPECT_TRUE(port.SetTimeouts({0, 0, static_cast<std::uint32_t>(period.count()), 0, 0}));
  std::array<std::uint8_t, 2048> buffer{};
  const auto result = port.Read(buffer, period + 2000ms);
  return {buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(result.count)};
}

// A started product on an in-memory line; the host end talks at 9600 bit/s.
struct MemoryProduct {
  std::unique_ptr<Port> host;
  std::unique_ptr<SimulatedProduct> product;
};

inline MemoryProduct StartOnMemoryLine(std::unique_ptr<Model> model, ProductOptions options = {}) {
  auto line = platform::comm::MakeMemoryLine("sim-test");
  MemoryProduct result;
  result.host = std::move(line.host);
  result.product =
      std::make_unique<SimulatedProduct>("test", std::move(model), std::move(line.device), options);
  result.product->Start();
  return result;
}

inline MemoryProduct StartOnMemoryLine(std::string_view modelName, ProductOptions options = {}) {
  const ModelEntry* entry = FindModel(modelName);
  EXPECT_NE(entry, nullptr) << modelName;
  return StartOnMemoryLine(entry->make(), options);
}

template <typename Call>
std::chrono::milliseconds Elapsed(Call&& call) {
  const auto start = std::chrono::steady_clock::now();
  std::forward<Call>(call)();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

}  // namespace norix::sim::test
