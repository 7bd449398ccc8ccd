// Helpers shared by the serial port tests: byte spans of strings, timing.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::comm::test {

inline std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

inline std::string Text(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// Milliseconds a call took.
template <typename Call>
std::int64_t TimeMs(Call&& call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Deadlines are never early; a loaded machine (sanitizers, two cores) may be
// late by this much without the test failing.
inline constexpr std::int64_t kLateAllowanceMs = 700;

}  // namespace norix::platform::comm::test
