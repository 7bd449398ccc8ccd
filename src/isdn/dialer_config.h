// What the diallers of a Linux system need to send a device's init strings:
// no modem driver there sends the strings the driver init store keeps, so
// they are written out as a wvdial section and as the lines of a chat
// script for pppd, the driver's own strings first in their order and the
// protocol string last.
//
//   # NORIX KOMET II on /dev/ttyS0: wvdial norix0
//   [Dialer norix0]
//   Modem = /dev/ttyS0
//   Baud = 115200
//   Init1 = AT
//   Init2 = AT&FE0V1&C1&D2S0=0
//   Init3 = AT&B2%B0\P1
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "isdn/driver_init_store.h"

namespace norix::isdn {

// The port speed the dialler is told: above what two ISDN channels carry.
inline constexpr std::uint32_t kDialerSpeed = 115200;
// wvdial sends Init1 to Init9.
inline constexpr std::size_t kWvdialInitLimit = 9;

// The AT commands of the strings in the order a dialler sends them: each
// string split at its "<cr>" (any case), empty pieces left out.
[[nodiscard]] std::vector<std::string> DialerCommands(const DriverInitStrings& strings);

struct DialerDevice {
  std::string name;  // the line device's name
  std::string port;  // its serial device
  std::vector<std::string> commands;
};

// Why the commands cannot go into a dialler's file as they are (a control
// character, a quote, chat's control-character mark "^", or more commands
// than wvdial takes); empty when they can.
[[nodiscard]] std::string DialerProblem(const std::vector<std::string>& commands);

// The wvdial section "[Dialer <section>]" with a comment line naming the
// device; a device with a DialerProblem gets the comment and the problem
// only.
[[nodiscard]] std::string WvdialSection(const DialerDevice& device, std::string_view section);

// The lines of a chat script that send the commands, each answered by OK,
// after the usual ABORT lines; dialling is left to the user's own lines.
// A device with a DialerProblem gets a comment only.
[[nodiscard]] std::string ChatLines(const DialerDevice& device);

}  // namespace norix::isdn
