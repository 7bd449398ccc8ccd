// Reads the host's bytes from a device end one at a time or as a run of n,
// each byte within a wait, keeping what one Receive brought beyond that.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/comm/device_end.h"

namespace norix::sim::xmodem {

enum class ReadStatus : std::uint8_t { Ok, TimedOut, Closed };

class ByteReader {
 public:
  explicit ByteReader(platform::comm::DeviceEnd& line) : line_(line) {}

  // The next byte, waiting up to `wait` for it.
  [[nodiscard]] ReadStatus Next(std::uint8_t& byte, std::chrono::milliseconds wait);

  // Fills `out`, waiting up to `gap` for each byte. On TimedOut the bytes
  // that came are in out[0 .. got).
  [[nodiscard]] ReadStatus Fill(std::span<std::uint8_t> out, std::chrono::milliseconds gap,
                                std::size_t& got);

  // Throws away everything until the line has been quiet for `quiet`, as a
  // receiver does to get back in step after a broken block.
  [[nodiscard]] ReadStatus Drain(std::chrono::milliseconds quiet);

 private:
  platform::comm::DeviceEnd& line_;
  std::array<std::uint8_t, 4096> buffer_{};
  std::size_t head_ = 0;
  std::size_t tail_ = 0;
};

}  // namespace norix::sim::xmodem
