// The AT dialogue of the KOMET II's provider services: reading every
// service and setting into the records, and writing them back. Runs on the
// provider services page's thread and blocks it: each command waits up to
// the port's read time-outs, so an adapter that answers nothing costs one
// time-out per command (about thirty for a reading).
//
// Example reading of one supplementary service (echo on):
//   "AT*S2?"  -> "\r\n1,*,21,*,987,#\r\n" "\r\n#,21,#\r\n" "\r\nOK\r\n"
// and of the other groups:
//   "AT*SD?" -> "1"   "AT*SN?" -> "0"   "AT*S10?" -> "1,*"   "AT&Z#L?" -> "#"
//   "AT*3P0?" -> "1"   "ATS202?" -> "012"   "ATS152?" -> "001"   "AT%U?" -> "5"
//   "AT*DP?" -> "3"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/comm/port.h"
#include "services/provider_service_records.h"

namespace norix::services {

// One entry of the page's service list.
struct ServiceEntry {
  std::uint16_t item = 0;  // ItemValue(group, index)
  int text = 0;            // string id of its name

  friend bool operator==(const ServiceEntry&, const ServiceEntry&) = default;
};

struct ServiceOffer {
  // In list order: the supplementary services the adapter answered for,
  // terminal portability, multiple lines, the closed user group, the data
  // port; each only when offered.
  std::vector<ServiceEntry> services;
  // Indexes of the line functions the adapter answered for.
  std::vector<std::size_t> lineFunctions;
};

// Queries the adapter group by group (supplementary services and their two
// adapter settings, terminal portability, multiple lines, closed user group,
// data port) and fills `records`; forgets what the last opening learnt
// first. The closed user group's code is written with 3 digits for country
// 47 and 2 for every other `countryCode`. Input waiting on the port is
// discarded before each query.
[[nodiscard]] ServiceOffer LoadProviderServices(platform::comm::Port* port,
                                                ProviderServices& records, int countryCode);

// The digits of the closed user group's code for the country.
[[nodiscard]] std::size_t ClosedUserGroupDigits(int countryCode);

// One command of the writing, with the string id of what it stores.
struct ServiceWrite {
  std::string command;
  int name = 0;
  // Every field it carries holds only characters the field takes; a write
  // that is not valid is not sent and counts as not stored.
  bool valid = true;

  friend bool operator==(const ServiceWrite&, const ServiceWrite&) = default;
};

// The commands that write `records` back, in the order supplementary
// services (each with its adapter settings), multiple lines, closed user
// group, data port, terminal portability. Only what this opening offered is
// written, and a value the reading did not get whole is written only when
// the user changed it.
[[nodiscard]] std::vector<ServiceWrite> ProviderServiceWrites(const ProviderServices& records,
                                                              int countryCode);

// Sends the writes and examines each answer. Returns the string ids of what
// the adapter did not store (a refused or unanswered command, or one that was
// not valid), each once, in order; empty when everything was stored.
[[nodiscard]] std::vector<int> WriteProviderServices(platform::comm::Port* port,
                                                     const ProviderServices& records,
                                                     int countryCode);

}  // namespace norix::services
