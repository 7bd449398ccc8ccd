// Selecting a product: open the chosen device's port, identify what answers
// on it and either let the page go on, report that nothing was found, or
// send a product whose firmware is damaged straight into the upgrade.
#pragma once

#include <cstdint>

#include "device/selected_product.h"
#include "link/modem_context.h"
#include "platform/window/messages.h"

namespace norix::shell {
struct Frame;
}

namespace norix::products {

// The speed at which a selected product's port is opened.
inline constexpr std::uint32_t kSelectSpeed = 57600;

// Message texts.
inline constexpr int kNotDetectedText = 2065;  // "The NORIX product could not be detected. ..."

// Opens device `deviceId` (the caller has set the context's selected index)
// with the full check at kSelectSpeed and identifies the product.
// - 0: a normal product; the context holds its name and version and the
//   port stays open for the following pages.
// - 1: the page has already asked the navigator for another page: quit
//   after message 2065 (nothing answered, a foreign modem, the port held by
//   another program), or the upgrade for a product in rescue mode.
// Blocks the calling page thread: about 2 s for a product that answers or a
// silent port (about 10 s for a silent PC Card modem, opened twice), up to
// about 7 s for a flash loader that answers only the identification.
int SelectProduct(shell::Frame& frame, device::SelectedProduct& product,
                  platform::window::HWND page, std::uint32_t deviceId);

// After SelectProduct gave 0: the product kind and optional parts of the
// selected device, from its name ("solano 1280", "NORIX KOMET II") and the
// adapter's own answers. Blocks for the adapter queries (up to about 6 s).
void ReadSelectedProductFeatures(link::ModemContext& context, device::AdapterFeatures& features);

// The first upgrade page for the product: the page that asks which part to
// upgrade for an adapter with an internal modem, else the plain upgrade page.
[[nodiscard]] int UpgradePageFor(const device::AdapterFeatures& features);

}  // namespace norix::products
