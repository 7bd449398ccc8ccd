#include "sim/modem_settings.h"

#include <algorithm>

namespace norix::sim {

ModemSettings StandardFactorySettings(std::size_t registerCount) {
  ModemSettings settings;
  settings.options = {{"E", 1U}, {"V", 1U}, {"Q", 0U}};
  settings.sRegisters.assign(std::max<std::size_t>(registerCount, 13), 0);
  auto& s = settings.sRegisters;
  s[kEscapeRegister] = '+';
  s[kCrRegister] = '\r';
  s[kLfRegister] = '\n';
  s[kBackspaceRegister] = '\b';
  s[kDialToneWaitRegister] = 2;
  s[kCarrierWaitRegister] = 50;
  s[8] = 2;    // comma pause, seconds
  s[9] = 6;    // carrier detect time, tenths
  s[10] = 14;  // carrier loss time, tenths
  s[11] = 95;  // tone dialling speed, ms
  s[12] = 50;  // escape guard time, fiftieths
  return settings;
}

}  // namespace norix::sim
