// The maker's PC Card modems: analogue modems (analogue_modem.h) whose card
// sleeps while the host leaves it alone. A sleeping card hears the host's
// lines but does not answer them, not even with an echo; it wakes once it has
// ignored a number of lines, which is why the program sends "AT" up to five
// times when it opens the port of a PC Card modem.
//
// The card falls asleep again after a pause: when the host sends nothing for
// PcCardSleep::sleepAfter. Only bytes at a speed the card answers at count as
// activity; noise at another speed neither wakes it nor keeps it awake.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

#include "sim/analogue_modem.h"
#include "sim/model.h"

namespace norix::sim {

struct PcCardSleep {
  // Lines the sleeping card ignores; it answers the next one. 0: never asleep.
  std::size_t ignoredLines = 4;
  // Silence from the host after which the card sleeps again; 0: it stays awake
  // once woken.
  std::chrono::milliseconds sleepAfter{std::chrono::seconds(60)};
};

[[nodiscard]] std::unique_ptr<Model> MakePcCardModem(AnalogueModemData data, PcCardSleep sleep);

}  // namespace norix::sim
