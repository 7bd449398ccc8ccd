// A serial line between two device ends (pty masters, or an in-memory line's
// far end): what one side sends reaches the other at the line's byte rate, in
// both directions at once, so that programs on either end see the timing of
// a real line. Like a UART driver it buffers a little (bufferBytes per
// direction); a sender that outruns the line then waits in its write.
//
//   program A -- pty A slave | master A ==[ LineEmulator ]== master B | pty B slave -- program B
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/comm/device_end.h"

namespace norix::sim::line {

struct LineOptions {
  std::uint32_t bitRate = 115200;  // 10 bits per byte; 0 relays without pacing
  std::size_t bufferBytes = 4096;  // bytes held per direction
};

class LineEmulator {
 public:
  // Takes over both ends. Nothing moves until Start().
  LineEmulator(std::unique_ptr<platform::comm::DeviceEnd> a,
               std::unique_ptr<platform::comm::DeviceEnd> b, LineOptions options);
  LineEmulator(const LineEmulator&) = delete;
  LineEmulator& operator=(const LineEmulator&) = delete;
  LineEmulator(LineEmulator&&) = delete;
  LineEmulator& operator=(LineEmulator&&) = delete;
  ~LineEmulator();  // Stop()

  // Starts one relay thread per direction. Only the first call does anything.
  void Start();

  // Shuts both ends down, wakes the relays and joins them; bytes still on the
  // line are lost. Returns promptly; safe to call more than once.
  void Stop();

  // Bytes delivered so far from A to B and from B to A.
  [[nodiscard]] std::uint64_t RelayedAToB() const { return aToB_.delivered.load(); }
  [[nodiscard]] std::uint64_t RelayedBToA() const { return bToA_.delivered.load(); }

 private:
  struct Direction {
    platform::comm::DeviceEnd* from = nullptr;
    platform::comm::DeviceEnd* to = nullptr;
    std::atomic<std::uint64_t> delivered{0};
    std::thread thread;
  };

  void Relay(Direction& direction);
  // Sleeps until `deadline` or Stop(); false when stopping.
  bool SleepUntil(std::chrono::steady_clock::time_point deadline);

  std::unique_ptr<platform::comm::DeviceEnd> a_;
  std::unique_ptr<platform::comm::DeviceEnd> b_;
  const LineOptions options_;
  Direction aToB_;
  Direction bToA_;
  std::mutex mutex_;
  std::condition_variable stopping_;
  std::atomic<bool> quit_{false};
  bool started_ = false;
};

}  // namespace norix::sim::line
