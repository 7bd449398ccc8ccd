// The upgrade kind of a product: a bit set that tells the upgrade what the
// product carries and how it is brought into its loader.
#pragma once

#include <cstdint>

namespace norix::device {

using UpgradeClass = std::uint32_t;

// 0: the product cannot be upgraded.
inline constexpr UpgradeClass kUpgradeNone = 0;
// The product carries an analogue modem (also the ISDN adapter with internal modem).
inline constexpr UpgradeClass kUpgradeAnalogueModem = 1;
inline constexpr UpgradeClass kUpgradeIsdnAdapter = 2;
// The firmware is damaged and only the flash loader answers.
inline constexpr UpgradeClass kUpgradeRescueMode = 8;
// PC Card, internal and USB modems: the port speed is not probed first.
inline constexpr UpgradeClass kUpgradeNoSpeedProbe = 16;

}  // namespace norix::device
