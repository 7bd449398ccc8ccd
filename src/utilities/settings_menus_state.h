// What the utility pages keep for the whole run: the KOMET II settings
// menu's position, the AT console's last reply and the line test's clock.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "utilities/line_test_clock.h"

namespace norix::utilities {

// Positions of the KOMET II settings menu, in the order its '>' looks at them.
inline constexpr int kKometCountryPosition = 0;
inline constexpr int kKometMsnPosition = 1;
inline constexpr int kKometLocalPosition = 2;
inline constexpr int kKometServicesPosition = 3;
inline constexpr int kKometDefaultPosition = 4;
inline constexpr int kKometProtocolsPosition = 5;
inline constexpr int kKometPositionCount = 6;

struct UtilityPagesState {
  // The item last taken from the KOMET II menu; "Protocols" at first.
  std::atomic<int> kometMenuPosition{kKometProtocolsPosition};
  // The reply the AT console showed last. Only the page that is working
  // touches it; the next page gets it through the navigator's hand-over.
  std::string consoleReply;
  // The clock of the product information page's line tests; null: the real
  // one. Set before the pages are registered.
  std::shared_ptr<LineTestClock> lineTestClock;
};

}  // namespace norix::utilities
