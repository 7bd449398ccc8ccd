// A call a product places after "ATD": it goes off hook, listens for the
// line and waits for a carrier. There is never anyone at the other end, so
// every call ends without a connection:
//   - a working line (ProductOptions::dialTone): "NO CARRIER" once the
//     product's carrier wait (S7 seconds) or the line's own delay
//     (ProductOptions::lineDelay), whichever is shorter, has passed;
//   - no line: a product that listens for the dial tone (X2, X4) answers
//     "NO DIALTONE" after S6 seconds; X0, X1 and X3 dial blind and wait for
//     the carrier as above;
//   - any byte from the host ends the call at once with "NO CARRIER";
//   - a dial string ending in ';' answers OK once dialled and leaves the
//     product in command mode.
// The product is out of command mode while the call lasts. All calls come
// from the product's thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "sim/modem_settings.h"
#include "sim/product_link.h"

namespace norix::sim {

class OutgoingCall {
 public:
  using Clock = std::chrono::steady_clock;

  // Goes off hook with the S6, S7 and X values of `settings`; the answer
  // comes from OnTimer.
  void Dial(std::string_view dialString, const ModemSettings& settings);

  [[nodiscard]] bool Active() const { return call_.has_value(); }
  // When OnTimer wants to run next; none while no call is active.
  [[nodiscard]] std::optional<Clock::time_point> Due() const;
  // Moves the call on once Due() has come; sends the final result code when
  // the call ends.
  void OnTimer(ProductLink& link);
  // A byte from the host ends the call with "NO CARRIER"; that byte is used
  // up. Returns the bytes taken: 1, or 0 when no call is active or `bytes`
  // is empty.
  std::size_t Abort(std::span<const std::uint8_t> bytes, ProductLink& link);

 private:
  struct Call {
    enum class Phase : std::uint8_t { OffHook, NoDialTone, WaitingForCarrier };
    Phase phase = Phase::OffHook;
    Clock::time_point due;
    std::chrono::milliseconds dialToneWait{0};
    std::chrono::milliseconds carrierWait{0};
    bool detectsDialTone = true;
    bool staysInCommandMode = false;
  };

  std::optional<Call> call_;
};

}  // namespace norix::sim
