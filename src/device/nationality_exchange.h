// The AT dialogue of the country setting: reading the product's supported
// and current countries, and setting a new one. Used by the nationality
// page and by the upgrade, which puts the country back after new firmware.
// Both block the calling thread for the exchanges (each up to the port's
// read time-outs; a silent product costs one time-out per command).
#pragma once

#include <array>
#include <cstdint>

#include "device/nationality_table.h"
#include "platform/comm/port.h"

namespace norix::device {

// Results of SetNationality.
enum class NationalityResult : std::uint8_t {
  Accepted = 0,   // the product answered the setting command with OK
  Refused = 1,    // any other answer (or a country that is in no entry)
  NoReply = 2,    // no answer to the setting command
  Unchanged = 3,  // the chosen country is the current one: nothing was sent
};

// Asks "AT+GCI=?" (with "+GCI" support) and "ATI5". Returns the dialling
// code of the current country, kNationalityNone when the answer matches no
// entry, or kNationalityUnknown when "ATI5" was not answered with OK (every
// country is then offered).
//
// Example answers:
//   "AT+GCI=?" -> "+GCI: (00,09,0A,0F,31,...,B4,B5)"  (supported T.35 codes)
//   "ATI5"     -> "B5" with "+GCI" support, "003" without
//
// With "+GCI" support an entry is offered exactly when its code is in the
// supported list. Without it, a number in "ATI5" offers every entry, and an
// answer that is no number leaves the offered flags as they were.
[[nodiscard]] std::uint16_t ReadCurrentNationality(platform::comm::Port* port, bool gciSupport,
                                                   std::array<bool, kNationalityCount>& offered);

// "ATI5" alone, its answer read as ReadCurrentNationality reads it: the
// dialling code of the current country, kNationalityNone, or
// kNationalityUnknown when "ATI5" was not answered with OK. Changes no
// offered flags. The upgrade reads the country before and after new firmware
// with it.
[[nodiscard]] std::uint16_t ReadCountryCode(platform::comm::Port* port, bool gciSupport);

// Sets the country `chosen` (a dialling code). When it equals `current`,
// nothing is sent (Unchanged). Otherwise "AT*N-", the setting command
// ("ATI5+GCI=B5" / "ATI5*NC003Z") and "AT*N+" are sent as a pair around it,
// whatever the answers to the bracket are; the setting command's answer
// decides the result. A chosen code that is in no entry is Refused without
// anything being sent.
NationalityResult SetNationality(platform::comm::Port* port, bool gciSupport, std::uint16_t chosen,
                                 std::uint16_t current);

}  // namespace norix::device
