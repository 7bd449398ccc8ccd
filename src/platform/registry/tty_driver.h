// The driver information of a real serial device, from the kernel: the
// driver bound to the tty stands in for the driver information file, and
// the date of its module file for the driver date.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/driver_key.h"

namespace norix::platform::registry {

// Where the kernel's information lives (tests point these at a made-up tree).
struct KernelPaths {
  std::string sys = "/sys";
  std::string modules;  // "/lib/modules/<release>" of the running kernel

  [[nodiscard]] static KernelPaths Running();
};

// The driver of the tty at `ttyPath` (a /dev path or a /dev/serial/by-id
// link to one): "InfPath" is the driver's name from
// <sys>/class/tty/<tty>/device/driver, e.g. "cdc_acm" or "ftdi_sio";
// "DriverDate" is the date of the driver's module file as modules.dep names
// it, or of modules.builtin for a driver built into the kernel, and empty
// when neither is found. Init strings are the defaults. nullopt when the tty
// has no device driver (a pseudo-terminal, say).
[[nodiscard]] std::optional<DriverInfo> DriverInfoForTty(std::string_view ttyPath,
                                                         const KernelPaths& kernel);

}  // namespace norix::platform::registry
