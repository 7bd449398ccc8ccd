// One Hayes AT command exchange: send a command line, classify the product's
// answer. Also the "AT+GCI?" support check and the speed probe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/comm/port.h"

namespace norix::link {

enum class AtResult : std::uint16_t {
  Ok = 0,
  Error = 1,
  NoCarrier = 2,
  NoDialtone = 3,
  Vcon = 4,
  NoReply = 255,  // empty command, nothing written, no line, or no final code
};

// Lines longer than this are cut to it in the reply.
inline constexpr std::size_t kReplyCapacity = 255;

// Sends `command` (without line end) and reads the answer with the port's
// time-outs. `reply` receives the first line that is not the echo, with its
// CR LF, whatever the result; it is left untouched for an empty command.
//
// Example exchange for "ATI3" (echo on):
//   "ATI3\r" "\r\n" "NORIX Netrunner 56000 Voice V1.10\r\n" "\r\n" "OK\r\n"
//   -> Ok, reply "NORIX Netrunner 56000 Voice V1.10\r\n"
AtResult SendAtCommand(platform::comm::Port* port, std::string_view command, std::string& reply);

// "AT", then "AT+GCI?": 1 when the product answers the query with OK, else 0.
int QueryGciSupport(platform::comm::Port* port);

// Speed probe results.
inline constexpr int kProbe38400 = 1;
inline constexpr int kProbe19200 = 2;
inline constexpr int kProbe9600 = 4;
inline constexpr int kProbe4800 = 8;

// After a factory reset at 9600 bit/s, finds the highest of 38400, 19200,
// 9600, 4800 at which the product answers "AT". Returns one of kProbe* and
// leaves the port at that speed, or 0 when none answered.
int ProbeSpeed(platform::comm::Port* port);

}  // namespace norix::link
