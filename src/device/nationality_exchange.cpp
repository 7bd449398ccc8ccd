#include "device/nationality_exchange.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "platform/comm/comm_types.h"

namespace norix::device {

namespace {

std::string TwoHexDigits(std::uint32_t code) {
  std::array<char, 8> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%02X", code & 0xFFU));
  return text.data();
}

// The decimal number at the start of a reply ("003\r\n" is 3), as the
// product's nationality code; 0 when the reply does not start with digits.
long LeadingNumber(const std::string& reply) {
  char* end = nullptr;
  const long value = std::strtol(reply.c_str(), &end, 10);
  return end == reply.c_str() ? 0 : value;
}

// The country a "+GCI" product's "ATI5" answer names: the first entry whose
// two-digit code occurs in it.
std::uint16_t GciCountry(const std::string& current) {
  for (const NationalityEntry& entry : kNationalityTable) {
    if (platform::ascii::ContainsNoCase(current, TwoHexDigits(entry.gciCode))) {
      return entry.diallingCode;
    }
  }
  return kNationalityNone;
}

// The country of a nationality code (the last entry that has it).
std::uint16_t NcCountry(long value) {
  std::uint16_t found = kNationalityNone;
  for (const NationalityEntry& entry : kNationalityTable) {
    if (entry.ncCode == value) {
      found = entry.diallingCode;
    }
  }
  return found;
}

}  // namespace

std::uint16_t ReadCountryCode(platform::comm::Port* port, bool gciSupport) {
  std::string current;
  if (link::SendAtCommand(port, "ATI5", current) != link::AtResult::Ok) {
    return kNationalityUnknown;
  }
  if (gciSupport) {
    return GciCountry(current);
  }
  const long value = LeadingNumber(current);
  return value == 0 ? kNationalityNone : NcCountry(value);
}

std::uint16_t ReadCurrentNationality(platform::comm::Port* port, bool gciSupport,
                                     std::array<bool, kNationalityCount>& offered) {
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  std::string supported;
  // Without a list (the query failed) the countries offered before stay.
  const bool listed =
      gciSupport && link::SendAtCommand(port, "AT+GCI=?", supported) == link::AtResult::Ok;
  std::string current;
  if (link::SendAtCommand(port, "ATI5", current) != link::AtResult::Ok) {
    offered.fill(true);
    return kNationalityUnknown;
  }
  if (gciSupport) {
    for (std::size_t i = 0; listed && i < kNationalityCount; ++i) {
      offered[i] = supported.find(TwoHexDigits(kNationalityTable[i].gciCode)) != std::string::npos;
    }
    return GciCountry(current);
  }
  const long value = LeadingNumber(current);
  if (value == 0) {
    return kNationalityNone;
  }
  offered.fill(true);
  return NcCountry(value);
}

NationalityResult SetNationality(platform::comm::Port* port, bool gciSupport, std::uint16_t chosen,
                                 std::uint16_t current) {
  if (chosen == current) {
    return NationalityResult::Unchanged;
  }
  const std::string command = NationalitySettingCommand(chosen, gciSupport);
  if (command.empty()) {
    return NationalityResult::Refused;
  }
  std::string reply;
  static_cast<void>(link::SendAtCommand(port, "AT*N-", reply));
  const link::AtResult result = link::SendAtCommand(port, command, reply);
  static_cast<void>(link::SendAtCommand(port, "AT*N+", reply));
  switch (result) {
    case link::AtResult::Ok:
      return NationalityResult::Accepted;
    case link::AtResult::NoReply:
      return NationalityResult::NoReply;
    default:
      return NationalityResult::Refused;
  }
}

}  // namespace norix::device
