// The KOMET II's provider service settings as the adapter keeps them within
// a run: the supplementary services of the ISDN network (their on flags, key
// sequences and numbers), the functions of the R key for multiple lines, the
// closed user group registers, what the data port reports on incoming calls
// and terminal portability.
//
// Commands (echo off; every query and write may be withdrawn, garbled or
// refused through ProductOptions):
//   *Sn?    n 0 to 9: "on,prefix,digits,suffix[,number,suffix]" and, for a
//           service with a cancel code, "prefix,digits,suffix"; then OK
//           "AT*S2?" -> "\r\n1,*,21,*,0301234567,#\r\n" "\r\n#,21,#\r\n" "\r\nOK\r\n"
//   *Sn=f,p,d,s[,N,s]   on flag 0/1 and activation code (and number)
//   *Sn=2,p,d,s         cancel code
//   *S10?   terminal portability "on,key" ("1,*"); *S10=f,key
//   *SD?, *SD=v   only forward voice calls (0: voice only)
//   *SN?, *SN=v   show own number as default (1: show)
//   *3Pn?   line function n: "on,digit"; *3Pn=f,digit (several on a line)
//   &Z#L?   the key character the adapter keeps for itself ("#")
//   *DP?, *DP=v   data port: bit 0 RING, bit 1 Caller ID
//   S202?, S152?  closed user group registers (three digits): S202 bit 2
//           data inside the group, bit 3 tele inside; S152 bit 0 on
//   %U0 to %U5    group off/on, data outside/inside, tele outside/inside
//   %U=n, %U?     the group's code, at most three digits
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/command_set.h"
#include "sim/product_options.h"

namespace norix::sim {

struct SimulatedService {
  bool on = false;
  std::string activation;  // "*,21,*": prefix, digits, suffix
  bool hasNumber = false;
  std::string number;  // may be empty
  char numberSuffix = '#';
  std::string cancel;  // "#,21,#"; empty: the service has no cancel code
};

struct ProviderServiceData {
  std::array<SimulatedService, 10> services;
  bool portabilityOn = false;
  char portabilityKey = '*';
  char reservedKey = '#';  // the "&Z#L?" answer
  bool voiceOnly = false;
  bool showNumber = true;
  std::array<bool, 4> lineFunctionsOn{true, true, false, true};
  std::uint8_t s202 = 0x0C;  // data and tele inside the group
  std::uint8_t s152 = 0x01;  // group on
  unsigned groupCode = 5;
  unsigned dataPort = 3;  // RING and Caller ID
};

// What a KOMET II V2.05 reports when it leaves the factory.
[[nodiscard]] ProviderServiceData KometProviderServices();

class ProviderServiceSettings {
 public:
  explicit ProviderServiceSettings(ProviderServiceData data) : data_(std::move(data)) {}

  void ApplyOptions(const ProductOptions& options);
  void AddCommands(CommandSet& commands);

 private:
  [[nodiscard]] bool Withdrawn(const std::string& name) const;
  [[nodiscard]] bool Refused(const std::string& name) const;
  [[nodiscard]] std::string Garble(const std::string& name, std::string line) const;

  ProviderServiceData data_;
  std::vector<std::string> withdrawn_;
  std::string garbled_;
  std::string refusedWrite_;
};

}  // namespace norix::sim
