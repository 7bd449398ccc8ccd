// Selecting a product: open the chosen device's port, identify what answers
// on it and either let the page go on, report that nothing was found, or
// send a product whose firmware is damaged straight into the upgrade.
#pragma once

#include <cstdint>

#include "platform/window/messages.h"

namespace norix::shell {
struct Program;
}

namespace norix::products {

// The speed at which a selected product's port is opened.
inline constexpr std::uint32_t kSelectSpeed = 57600;

// Message texts.
inline constexpr int kNotDetectedText = 2065;  // "The NORIX product could not be detected. ..."

// The first upgrade pages: the plain upgrade page, and the page that asks
// which part of an adapter with an internal modem to upgrade.
inline constexpr int kUpgradePage = 17;
inline constexpr int kUpgradeChoosePartPage = 18;

// Opens device `deviceId` (the caller has set the context's selected index)
// with the full check at kSelectSpeed and identifies the product.
// - 0: a normal product; the context holds its name and version and the
//   port stays open for the following pages.
// - 1: the page has already asked the navigator for another page: quit
//   after message 2065 (nothing answered, a foreign modem, the port held by
//   another program), or the upgrade for a product in rescue mode.
// Blocks the calling page thread: about 2 s for a product that answers, up
// to about 10 s for a silent one (twice that for a PC Card modem).
int SelectProduct(platform::window::HWND page, std::uint32_t deviceId);

// After SelectProduct gave 0: the product kind and optional parts of the
// selected device, from its name ("solano 1280", "NORIX KOMET II") and the
// adapter's own answers. Blocks for the adapter queries (up to about 6 s).
void ReadSelectedProductFeatures(shell::Program& program);

// The upgrade page for the product: the part chooser for an adapter with an
// internal modem, else the plain upgrade page.
[[nodiscard]] int UpgradePageFor(const shell::Program& program);

}  // namespace norix::products
