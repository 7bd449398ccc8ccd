// Which kind of product is selected and which optional parts an ISDN adapter
// has. The product pages set the adapter and KOMET II flags from the device
// name; the queries in adapter_queries.h fill in the rest. The kind decides
// which settings menu the product gets.
#pragma once

#include <cstdint>
#include <string>

#include "resources/resource_ids.h"

namespace norix::device {

// Feature word of a KOMET II adapter that does not answer "AT!P0" with OK.
inline constexpr std::uint32_t kDefaultKometFeatureWord = 0x380;

struct AdapterFeatures {
  bool isdnAdapter = false;
  bool noInternalHardware = false;  // neither analogue port nor modem
  bool internalModem = false;
  bool analoguePort = false;  // "Added Internal Analog Interface"
  bool komet = false;
  std::uint32_t featureWord = 0;  // the KOMET II's "AT!P0" value
  std::string interfacesReport;   // a solano 1280's "ATI7" reply line, as it came

  // Forgets everything; done when the user goes back to the product list.
  void Clear() { *this = AdapterFeatures{}; }
};

// The settings menu of the product kind: the KOMET II's, another ISDN
// adapter's, or an analogue modem's.
[[nodiscard]] constexpr int SettingsPageFor(const AdapterFeatures& features) {
  if (features.komet) {
    return resources::kKometSettingsPage;
  }
  return features.isdnAdapter ? resources::kSolanoSettingsPage : resources::kModemSettingsPage;
}

}  // namespace norix::device
