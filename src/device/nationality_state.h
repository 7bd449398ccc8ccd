// What the nationality page keeps for the whole run: the country read at its
// last opening, the list line to preselect, the choice the user is making,
// the countries offered so far, and the flag that sends the page back to
// the main menu after a modem upgrade.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "device/nationality_table.h"

namespace norix::device {

struct NationalityState {
  // Which entries the product supports; start cleared and keep their values
  // from one reading to the next. Used by the thread that reads or sets the
  // country at the moment (the page, or the upgrade worker while no page
  // works with the product).
  std::array<bool, kNationalityCount> offered{};

  std::uint16_t current = kNationalityNone;  // dialling code read at the last opening
  int preselectIndex = 0;                    // list line to select when the page opens
  std::uint16_t chosenCode = kNationalityNone;
  int chosenIndex = -1;
  bool selectionChanged = false;
  int flagPicture = 0;  // picture shown in the flag control, 0 none

  // Set by the modem upgrade when the user wants to set the country after
  // it; the page clears it and goes to the main menu after a good setting.
  // Written by the upgrade worker, read by the page thread.
  std::atomic<bool> afterUpgrade{false};
};

}  // namespace norix::device
