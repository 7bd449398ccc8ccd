// The ISDN adapter upgrade worker's work: the country and the subscriber
// numbers read before the transfer, the adapter transfer, both put back
// afterwards (new firmware starts with its factory country and empty number
// slots), and the one finish message for the progress page. Runs on the
// worker's thread and owns the port from start to end.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/comm/port.h"
#include "shell/worker.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_state.h"
#include "upgrade/upgrade_view.h"

namespace norix::upgrade {

// Text of our own: subscriber numbers that could not be written back ("%s"
// the slots and their numbers, a line each).
inline constexpr int kMsgNumbersNotRestored = 2441;

// The slots in the order they are read and written back; the first three
// only on an adapter with a modem component.
inline constexpr std::array<int, kMsnSlots> kMsnSlotOrder{0, 2, 4, 1, 3, 5};

// The firmware version from which the adapter keeps subscriber numbers.
inline constexpr int kMsnFirstVersion = 140;

// One slot as read before the upgrade.
struct SavedNumber {
  enum class State : std::uint8_t { NotRead, Empty, Number };
  State state = State::NotRead;
  std::string digits;
};

// How a "&Z*n?" answer (the first answer line) reads: a number, an empty
// slot (OK alone), or nothing to trust (ERROR, a garbled line, silence).
[[nodiscard]] SavedNumber ReadSavedNumber(bool answeredOk, std::string_view reply);

// Reads the slots of `count` (3 or 6) in kMsnSlotOrder into `saved`, each
// cleared first.
void SaveNumbers(platform::comm::Port* port, std::size_t count,
                 std::array<SavedNumber, kMsnSlots>& saved);

// Writes back every slot that was read (an empty one as "="); returns the
// slots whose write failed, as "n: digits" lines (n counted from 1).
[[nodiscard]] std::vector<std::string> RestoreNumbers(
    platform::comm::Port* port, std::size_t count, const std::array<SavedNumber, kMsnSlots>& saved);

// Always kUpgradeFinished; clears the running flag, and the rescue flags
// after a rescue start.
[[nodiscard]] shell::EndMessage RunIsdnWorker(const IsdnWorkerJob& job, UpgradeView& view,
                                              TransferClock& clock);

}  // namespace norix::upgrade
