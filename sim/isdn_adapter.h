// The family of the maker's ISDN terminal adapters: the solano adapters and
// the KOMET II. A model of the family is data: its speeds, identification
// texts and the optional parts it reports.
//
// Commands beyond the standard ones (command_interpreter.h):
//   In        identification text n; I7 is the add-on report of a solano 1280
//   !M<n>     selects the add-on the firmware drives: 0 none, 2 analogue
//             port, 12 internal modem (firmware with an add-on report only)
//   !M<line>  relays a command line beginning with "AT" to the internal
//             modem (modem_relay.h); ERROR without one
//   !P0       the KOMET II feature word, four hexadecimal digits
//
// Example answers (echo off):
//   "ATI3"  -> "\r\nNORIX solano 1280i V1.42\r\n" "\r\nOK\r\n"
//   "ATI7"  -> "\r\nAdded Internal Analog Interface\r\n" "\r\nOK\r\n"
//              (or "Added Internal Modem", "Added No Internal HW"; firmware
//              older than the report answers "\r\nERROR\r\n")
//   "AT!P0" -> "\r\n1FBC\r\n" "\r\nOK\r\n"
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/analogue_modem.h"
#include "sim/model.h"

namespace norix::sim {

// The optional hardware a solano 1280 adapter drives; the values are the
// numbers of the "AT!M<n>" command that selects it.
enum class AdapterAddOn : std::uint8_t {
  None = 0,
  AnaloguePort = 2,
  InternalModem = 12,
};

// The first line of the adapter's "ATI7" answer for an add-on.
[[nodiscard]] std::string_view AddOnReport(AdapterAddOn addOn);

struct IsdnAdapterData {
  std::vector<std::uint32_t> speeds;  // host bit rates the adapter answers at
  // ATIn texts by n. I7 is not listed: it comes from `addOn`.
  std::map<std::uint32_t, std::string> identification;
  // The add-on the firmware drives when the adapter leaves the factory; none
  // for firmware that knows neither "ATI7" nor "AT!M<n>".
  std::optional<AdapterAddOn> addOn;
  // The modem part behind "AT!M<line>", when the adapter has one.
  std::optional<AnalogueModemData> internalModem;
  // The "AT!P0" value; none for adapters that do not know the command.
  std::optional<std::uint32_t> featureWord;
  std::size_t registerCount = 64;
};

[[nodiscard]] std::unique_ptr<Model> MakeIsdnAdapter(IsdnAdapterData data);

}  // namespace norix::sim
