// What the product information page last read about the selected product:
// the firmware date as the user's date order writes it, and the driver
// information file and date from the driver's registry key. Written and read
// by the product information page's thread only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norix::utilities {

// Field sizes in characters, without the terminator.
inline constexpr std::size_t kFirmwareDateChars = 99;
inline constexpr std::size_t kDriverFileChars = 49;
inline constexpr std::size_t kDriverDateChars = 49;

// Shown for a firmware date that cannot be read.
inline constexpr std::string_view kNoFirmwareDate = "N/A";
// Shown for a driver value that cannot be read.
inline constexpr std::string_view kNoDriverValue = " ";

struct ProductInformation {
  std::string firmwareDate;
  std::string driverFile;  // "InfPath"
  std::string driverDate;  // "DriverDate"
};

}  // namespace norix::utilities
