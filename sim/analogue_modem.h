// The family of the maker's analogue modems. A model of the family is data:
// its speeds, identification texts, country commands and firmware revision.
//
// Commands beyond the standard ones (command_interpreter.h):
//   In           identification text n; I5 is the current country
//   D<string>    dial (see below)
//   H, L, M, X, &C, &D, &K   hook, speaker and line options
//   with "+GCI" support:  +GCI? +GCI=? +GCI=xx  +VOL? +VOL=n  +GMR?
//   without it:           *NCnnn                #VOL? #VOL=n  #REV?
//   *N+ / *N-    the maker's bracket around a country change
//   *K0 / *K1    the maker's keyboard abort switch
//   \3           the line interface calibration, four hexadecimal digits
//                kept apart from the profiles (models without one: ERROR)
//   %7<value>    writes the calibration back: exactly four hexadecimal
//                digits, as "\3" reported them
//   **           the flash upgrade (below)
//
// Example answers of a model with "+GCI" support (echo off):
//   "AT+GCI?"  -> "\r\n+GCI: B5\r\n" "\r\nOK\r\n"
//   "AT+GCI=?" -> "\r\n+GCI: (00,09,0A,...,B5)\r\n" "\r\nOK\r\n"
//   "ATI5"     -> "\r\nB5\r\n" "\r\nOK\r\n"       (without +GCI: "\r\n003\r\n" ...)
//   "AT+GMR?"  -> "\r\nV1.10 990312\r\n" "\r\nOK\r\n"  (version, date word YYMMDD)
//   "AT+VOL?"  -> "\r\n4\r\n" "\r\nOK\r\n"    (without +GCI: "AT#VOL?", "AT#REV?")
//
// Dialling: see outgoing_call.h. Countries: see country_setting.h; the
// option ProductOptions::refusedCountry makes the modem refuse one it lists.
//
// Upgrades: "AT**" hands the line to the modem's boot firmware, which takes
// a flash loader and firmware as modem_loader.h describes. Once the modem
// restarts into firmware an upgrade programmed, "ATI3" and "ATI1" answer
// that firmware's identification and checksum, "+GMR?"/"#REV?" its version,
// the country and the settings are the factory ones again, and the
// calibration reads "0000". A modem
// whose flash is damaged (data.flashDamaged, or a failed upgrade) answers
// only through its boot firmware: rescue mode.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/model.h"
#include "sim/modem_loader.h"

namespace norix::sim {

struct AnalogueModemData {
  std::vector<std::uint32_t> speeds;  // host bit rates the modem answers at
  // ATIn texts by n. I5 is not listed: it reports the current country.
  std::map<std::uint32_t, std::string> identification;
  // A modem with "+GCI" support takes ITU-T T.35 country codes (two hex
  // digits); one without takes the maker's "*NC" nationality codes (three
  // decimal digits).
  bool gci = true;
  std::vector<std::uint16_t> countries;  // supported codes, in the order +GCI=? lists them
  std::uint16_t country = 0;             // the country when the modem leaves the factory
  std::string revision;                  // "+GMR?" / "#REV?": version, a blank, date YYMMDD
  // "AT\3": the line interface's calibration, made for each modem in the
  // factory and lost with the flash in an upgrade (it reads "0000" then,
  // until "AT%7" writes it back). Empty: the firmware knows no "\3".
  std::string calibration;
  unsigned volume = 4;  // factory loudspeaker volume, 0 to 9
  std::size_t registerCount = 64;
  ModemBootData boot;         // the boot firmware and the flash part
  bool flashDamaged = false;  // starts in rescue mode
};

// An analogue modem inside another product (the internal modem of a solano
// 1280mi), whose boot firmware that product reaches directly.
class AnalogueModemPart : public Model {
 public:
  // "AT**" for the boot firmware, whether the firmware runs or not
  // (ModemBootFirmware::RequestLoader).
  [[nodiscard]] virtual std::optional<std::string> RequestLoader() = 0;
  // The firmware does not run: the boot firmware answers commands.
  [[nodiscard]] virtual bool BootActive() const = 0;
  // An upgrade of the modem is under way: it takes the host's bytes raw.
  [[nodiscard]] virtual bool Upgrading() const = 0;
  // The boot firmware's framed answer to a command line (no echo).
  [[nodiscard]] virtual std::string BootAnswer(std::string_view line) const = 0;
};

[[nodiscard]] std::unique_ptr<AnalogueModemPart> MakeAnalogueModemPart(AnalogueModemData data);
[[nodiscard]] std::unique_ptr<Model> MakeAnalogueModem(AnalogueModemData data);

}  // namespace norix::sim
