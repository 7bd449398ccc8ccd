// The driver information of the selected product: read from its modem
// driver's registry key, and put there for the products whose driver keys
// no driver installation on this system has filled.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/driver_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tty_driver.h"
#include "platform/telephony/line_device.h"
#include "utilities/product_info_record.h"

namespace norix::utilities {

// Reads "InfPath" (at most 1024 bytes) into info.driverFile and
// "DriverDate" into info.driverDate from `driverKey` below
// HKEY_LOCAL_MACHINE, each cut to its field; a value that cannot be read
// gives " ". Without a registry, a driver key or a key that opens, both are
// " ". Blocks for a read of the store file.
void ReadDriverInformation(platform::registry::Registry* registry,
                           const std::optional<std::string>& driverKey, ProductInformation& info);

// The driver information file of the simulated products.
inline constexpr std::string_view kSimulatedInfPath = "norix-sim.inf";

// The driver of the simulated products: kSimulatedInfPath, dated as the
// program file that carries the simulator, with the default init strings.
[[nodiscard]] platform::registry::DriverInfo SimulatedDriverInfo();

// Seeds the driver key of every device that names one: "InfPath" and
// "DriverDate" of the kernel driver of its tty for a real serial device,
// those of the simulator's driver for a port without a device driver (a
// pty serving a simulated product). Values already in the store stay.
// Returns the devices whose key could not be seeded, by name; empty when all
// went well. Blocks for one store change per device.
std::vector<std::string> SeedDriverKeys(platform::registry::Registry& registry,
                                        const std::vector<platform::telephony::LineDevice>& devices,
                                        const platform::registry::KernelPaths& kernel);

}  // namespace norix::utilities
