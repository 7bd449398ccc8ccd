// What the product list and the main menu remember across their visits, and
// the rescue flags that product selection hands to the upgrade.
#pragma once

#include <atomic>
#include <cstdint>

namespace norix::device {

struct SelectionState {
  // The selected device is a PC Card modem ("marlin" in its name): it gets a
  // second open and identification when the first finds nothing.
  std::atomic<bool> marlin{false};
  // The main menu of a single device identifies it the first time it shows.
  std::atomic<bool> identifyOnFirstShowing{true};
  std::atomic<bool> firstShowingHandled{false};
  // The product list position last chosen; shown again on the next visit.
  std::atomic<int> listPosition{0};
  // Tenths of a second between the product list's checks and showing the
  // list, so that the last progress step is seen. Tests that only read the
  // pages may leave the pause out.
  std::atomic<std::uint32_t> showListPauseTenths{5};
};

// The rescue flags of the upgrade state that product selection sets (a
// product found answering only through its flash loader) and that going
// back to the product list clears, and the upgrade's target, which going
// back to the product list sets again.
struct RescueFlags {
  std::atomic<bool> rescueStart{false};        // found in rescue mode, or the rescue declined
  std::atomic<bool> isdnRescueProduct{false};  // one of the two adapter rescue texts
  std::atomic<bool> rescueTransfer{false};     // the transfer starts at a waiting boot program
  std::atomic<bool> damaged{false};            // the last transfer left the product damaged
  // For an adapter with an internal modem: set, the upgrade is for the
  // ISDN part; clear, for the modem component.
  std::atomic<bool> isdnTarget{true};

  void Clear() {
    rescueStart = false;
    isdnRescueProduct = false;
    rescueTransfer = false;
    damaged = false;
    isdnTarget = true;
  }
};

}  // namespace norix::device
