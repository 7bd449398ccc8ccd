// What identification found on the selected product's port.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "device/upgrade_class.h"

namespace norix::device {

// Identification texts with a fixed meaning; they are compared as texts.
inline constexpr std::string_view kNoModemDetected = "No Modem Detected";
inline constexpr std::string_view kUnknownModem = "Unknown Modem";
inline constexpr std::string_view kModemRescueMode = "NORIX Modem Rescue Mode";
inline constexpr std::string_view kSolanoRescueMode = "NORIX solano 1280 Rescue Mode";
inline constexpr std::string_view kKometRescueMode = "NORIX KOMET II Rescue Mode";

inline constexpr std::size_t kIdentTextCapacity = 295;

// One record for the program. The upgrade keeps its own fields next to these.
struct IdentRecord {
  std::string text;  // at most kIdentTextCapacity characters
  UpgradeClass upgradeKind = kUpgradeNone;

  // Stores the text, cut to kIdentTextCapacity characters.
  void SetText(std::string_view identification) {
    text.assign(identification.substr(0, kIdentTextCapacity));
  }
};

}  // namespace norix::device
