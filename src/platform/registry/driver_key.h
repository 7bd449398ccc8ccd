// The driver key of a line device: where the modem driver of a configured
// product keeps its values below HKEY_LOCAL_MACHINE, and seeding it
// with what a driver installation would have left there.
//
//   [HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\Modem\0001]
//   "InfPath"="usbserial.inf"
//   "DriverDate"="3-14-2024"
//
//   [HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\Modem\0001\Init]
//   "1"="AT<cr>"
//   "2"="AT&FE0V1&C1&D2S0=0<cr>"
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace norix::platform::registry {

inline constexpr std::string_view kModemClassKey =
    "System\\CurrentControlSet\\Services\\Class\\Modem";

// The driver key of modem instance `instance`: kModemClassKey + "\\0001" for 1.
[[nodiscard]] std::string ModemDriverKey(unsigned instance);

struct DriverInfo {
  std::string infPath;     // "InfPath": the driver information file; empty: none
  std::string driverDate;  // "DriverDate", "m-d-yyyy"; empty: none known
  // The driver's initialisation strings, "Init" values "1", "2", ... in this
  // order; "<cr>" stands for a carriage return, as the modem driver writes it.
  std::vector<std::string> initStrings;
};

// What a modem driver sends to a product before dialling.
[[nodiscard]] std::vector<std::string> DefaultInitStrings();

// A date as the driver keeps it: month, day and year without leading zeros,
// "3-14-2024".
[[nodiscard]] std::string FormatDriverDate(int year, int month, int day);
// The local date of a file time in that form.
[[nodiscard]] std::string DriverDateOf(std::time_t when);

// The local date of the running program's file in that form; empty when it
// cannot be read.
[[nodiscard]] std::string ProgramFileDate();

// Seeds the driver key `driverKey` (below HKEY_LOCAL_MACHINE) in one change:
// creates the key, sets "InfPath" and "DriverDate" where the key has no such
// value yet, and creates "Init" with the init strings when the key has no
// "Init" yet. Values already in the store are never changed, and an existing
// "Init" is left whole: its last value may be the init string store's own.
// ERROR_BAD_PATHNAME for an empty or unstorable key path; otherwise the
// result of Registry::Modify.
[[nodiscard]] LSTATUS SeedDriverKey(Registry& registry, std::string_view driverKey,
                                    const DriverInfo& info);

}  // namespace norix::platform::registry
