// How a simulated product paces and disturbs what it sends: realistic
// timings and injected faults.
#pragma once

#include <chrono>
#include <cstdint>

namespace norix::sim {

struct ProductOptions {
  // Send every byte at the host's byte rate (10 bits per byte at the port
  // speed the host set), as a real line would deliver it.
  bool pace = false;
  // Wait this long after a command line's CR before answering (a slow product).
  std::chrono::milliseconds replyDelay{0};
  // Wait this long between the informational texts and the final result code
  // (a product that pauses in the middle of its answer).
  std::chrono::milliseconds resultPause{0};
  // Garble every n-th byte the product sends (echo and answers, counted from
  // the start), by XOR with 0x55; 0 sends everything intact.
  std::uint32_t garbleEvery = 0;
  // Whether the telephone line gives a dial tone when a modem dials.
  bool dialTone = true;
};

}  // namespace norix::sim
