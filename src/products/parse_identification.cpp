#include "products/parse_identification.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "device/adapter_queries.h"
#include "device/reply_numbers.h"

namespace norix::products {

void ParseIdentification(std::string_view text, link::ModemContext& context) {
  // Typical text: "NORIX Netrunner 56000 Voice V1.10" -> name
  // "NORIX Netrunner 56000 Voice " (with its blank), version "1.10", 110.
  context.productName.clear();
  context.firmwareVersion.clear();
  context.firmwareVersionNumber = 0;

  const auto v = text.rfind('V');
  if (v == std::string_view::npos || v == 0) {
    return;
  }
  std::string name(text.substr(0, std::min(v, kProductNameCapacity)));
  const std::string_view version = text.substr(v + 1);

  // Some corvid firmware spells its own name in lower case.
  if (const auto corvid = name.find("corvid"); corvid != std::string::npos) {
    name[corvid] = 'C';
  }
  // The solano 1280i with analogue port reports the same "ATI3" text as the
  // one without; only its "ATI7" report tells them apart.
  if (name.find("solano") != std::string::npos) {
    std::string reply;
    device::QueryAdapterInterfaces(context.Port(), reply);
    if (reply.starts_with(device::kAddedAnalogInterface)) {
      name = kSolanoAnalogueName;
    }
  }

  context.productName = std::move(name);
  context.firmwareVersion = version;
  context.firmwareVersionNumber = static_cast<std::uint16_t>(std::min<std::uint32_t>(
      device::VersionNumber(version), std::numeric_limits<std::uint16_t>::max()));
}

}  // namespace norix::products
