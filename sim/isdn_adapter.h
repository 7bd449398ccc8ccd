// The family of the maker's ISDN terminal adapters: the solano adapters and
// the KOMET II. A model of the family is data: its speeds, identification
// texts and the optional parts it reports.
//
// Commands beyond the standard ones (command_interpreter.h):
//   In        identification text n; I5 is the current country; I7 is the
//             add-on report of a solano 1280
//   !M<n>     selects the add-on the firmware drives: 0 none, 2 analogue
//             port, 12 internal modem (firmware with an add-on report only)
//   !M<line>  relays a command line beginning with "AT" to the internal
//             modem (modem_relay.h); ERROR without one
//   !P0       the KOMET II feature word, four hexadecimal digits
//   ?DATE     the firmware date (solano adapters)
//   #REV      version and date word YYMMDD (KOMET II)
//   *NCnnn, *N+, *N-   the country, in the maker's nationality codes
//             (country_setting.h); ISDN adapters know no "+GCI"
//   D<string> dial: "ATDT1" on the ISDN line, "ATDM" through the internal
//             modem, "ATD" on a KOMET II; it ends as outgoing_call.h says,
//             ProductOptions::dialTone telling whether the ISDN line is
//             connected
//   H, X, *K  hook, result code level, the maker's keyboard abort switch
// An adapter with an internal modem answers the modem part's own commands
// "#REV", "#VOL", "+GMR" and "+VOL" by asking its modem part, so a query
// sent to the adapter gets the modem's firmware date and loudspeaker volume.
// Adapters without one have no loudspeaker and refuse "#VOL" and "+VOL";
// they answer "#REV" only with a revision of their own (the KOMET II).
//
//   &Z*n?, &Z*n=digits   subscriber number slot n (0 to msnSlots - 1):
//             the query answers the number, or OK alone for an empty
//             slot; "=" with no digits empties it
//   UPX       hands the line to the boot program (adapter_boot_program.h)
//   UPZ       the KOMET II boot code upgrade (adapter_boot_program.h)
//   **        with an internal modem: the modem part's flash upgrade. The
//             adapter relays everything to the part's boot firmware until
//             the part restarts, and its first answer follows the echo on
//             the same line: "AT**\r" "Download initiated\r\n"
//
// After an upgrade the adapter restarts into the firmware it received
// ("ATI3", "ATI1"), with factory settings, its factory country, every
// subscriber number slot empty and, where it reports add-ons, "Added No
// Internal HW": what the program keeps across an upgrade it must write back.
//
// Example answers (echo off):
//   "ATI3"     -> "\r\nNORIX solano 1280i V1.42\r\n" "\r\nOK\r\n"
//   "ATI7"     -> "\r\nAdded Internal Analog Interface\r\n" "\r\nOK\r\n"
//                 (or "Added Internal Modem", "Added No Internal HW"; firmware
//                 older than the report answers "\r\nERROR\r\n")
//   "AT!P0"    -> "\r\n1FBC\r\n" "\r\nOK\r\n"
//   "AT?DATE"  -> "\r\nFirmware date: Mar 15 2000\r\n" "\r\nOK\r\n"
//   "AT#REV?"  -> "\r\nV2.05 001023\r\n" "\r\nOK\r\n"   (KOMET II)
//   "ATI5"     -> "\r\n006\r\n" "\r\nOK\r\n"
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/adapter_boot_program.h"
#include "sim/analogue_modem.h"
#include "sim/model.h"
#include "sim/provider_services.h"

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
  // The first firmware version (M x 100 + mm) that answers "AT!P0"; older
  // firmware, also one an upgrade brings, answers ERROR. 0: every version.
  std::uint32_t featureWordSince = 0;
  // The "AT?DATE" answer: a label, a colon, a blank and the date as month
  // name, day and year, single blanks apart ("Firmware date: Mar 15 2000").
  // Empty: the firmware does not know the command.
  std::string firmwareDate;
  // The "AT#REV" answer of an adapter that reports its own revision:
  // version, a blank and the date word YYMMDD. Empty: none.
  std::string revision;
  // The nationality codes ("*NC") the adapter can be set to, and the one it
  // leaves the factory with. None: firmware without a country setting,
  // which answers "ATI5" with ERROR.
  std::vector<std::uint16_t> countries;
  std::uint16_t country = 0;
  std::size_t registerCount = 64;
  std::size_t profileCount = 1;  // stored profiles: "AT&F1" and "AT&W1" with 2
  std::size_t msnSlots = 0;      // subscriber number slots ("&Z*n")
  BootProgramData boot;          // the boot program and what it takes
  bool flashDamaged = false;     // starts in rescue mode
  // The provider service settings of a KOMET II; none: the adapter knows
  // none of their commands.
  std::optional<ProviderServiceData> providerServices;
};

[[nodiscard]] std::unique_ptr<Model> MakeIsdnAdapter(IsdnAdapterData data);

}  // namespace norix::sim
