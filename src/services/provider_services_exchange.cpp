#include "services/provider_services_exchange.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "platform/comm/comm_types.h"
#include "services/service_reply.h"

namespace norix::services {

namespace {

using link::AtResult;
using platform::comm::Port;

// Country whose closed user group codes have three digits.
constexpr int kThreeDigitCugCountry = 47;
// Bits of S202 and S152.
constexpr std::int32_t kDataInsideBit = 1 << 2;
constexpr std::int32_t kTeleInsideBit = 1 << 3;
constexpr std::int32_t kCugOnBit = 1;
// Bits of the data port's value.
constexpr std::int32_t kRingBit = 1;
constexpr std::int32_t kCallerIdBit = 2;
// A detailed reply has the activation line and a cancel line; more lines
// than this before the result are not the reply of a service.
constexpr std::size_t kMostReplyLines = 4;

std::string QueryOf(std::string_view stem) { return "AT" + std::string(stem) + "?"; }

// One command with its answer, after throwing away whatever came unasked.
AtResult Ask(Port* port, std::string_view command, std::string& reply) {
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  reply.clear();
  return link::SendAtCommand(port, command, reply);
}

bool BeginsWith(std::string_view reply, char c) { return !reply.empty() && reply.front() == c; }
bool BeginsWithDigit(std::string_view reply) {
  return !reply.empty() && platform::ascii::IsDigit(reply.front());
}

// A line that ends an answer.
bool IsResultLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
    line.remove_suffix(1);
  }
  for (const std::string_view result : {"OK", "ERROR", "NO CARRIER", "NO DIALTONE", "VCON"}) {
    if (platform::ascii::EqualNoCase(line, result)) {
      return true;
    }
  }
  return false;
}

// Sends `query` again and reads the lines of its answer up to its result
// line, leaving out the echo. Stops at the result, at a read time-out, or
// after kMostReplyLines lines, so nothing after the answer is read.
std::vector<std::string> ReadReplyLines(Port* port, const std::string& query) {
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  std::vector<std::string> lines;
  if (link::WriteLine(port, query) == 0) {
    return lines;
  }
  bool first = true;
  std::string line;
  while (lines.size() < kMostReplyLines && link::ReadLine(port, line) > 0) {
    if (first && platform::ascii::ContainsNoCase(line, query)) {
      first = false;
      continue;
    }
    first = false;
    if (IsResultLine(line)) {
      break;
    }
    lines.push_back(line);
  }
  return lines;
}

void ReadService(Port* port, ProviderService& service) {
  const std::vector<std::string> lines = ReadReplyLines(port, QueryOf(service.stem));
  if (!lines.empty()) {
    const ActivationReply activation = ParseActivationReply(lines[0], HasNumber(service.kind));
    if (activation.codesTaken) {
      service.on = activation.on;
      service.codes.activationPrefix = activation.prefix;
      service.codes.activationDigits = activation.digits;
      service.codes.activationSuffix = activation.suffix;
      service.opening.activationRead = activation.codesRead;
    }
    if (activation.numberTaken) {
      service.number = activation.number;
      service.codes.numberSuffix = activation.numberSuffix;
      service.opening.numberRead = activation.numberRead;
    }
  }
  if ((service.kind & (kCancelLine | kBooking)) != 0 && lines.size() > 1) {
    const CancelReply cancel = ParseCancelReply(lines[1]);
    if (cancel.taken) {
      service.codes.cancelPrefix = cancel.prefix;
      service.codes.cancelDigits = cancel.digits;
      service.codes.cancelSuffix = cancel.suffix;
      service.opening.cancelRead = cancel.read;
    }
  }
}

void LoadSupplementaryServices(Port* port, ProviderServices& records, ServiceOffer& offer) {
  std::string reply;
  for (std::size_t i = 0; i < kServiceCount; ++i) {
    ProviderService& service = records.services.at(i);
    if (Ask(port, QueryOf(service.stem), reply) != AtResult::Ok) {
      continue;
    }
    service.opening.supported = true;
    service.number.clear();
    offer.services.push_back({ItemValue(kSupplementaryGroup, i), service.name});
    ReadService(port, service);
  }
  // "Only forward voice calls" is set when the adapter answers 0, "Show
  // number as default" when it answers anything but 0. An answer that is no
  // digit leaves the setting unread (and unticked).
  AdapterSetting& voice = records.onlyVoiceCalls;
  voice.read = Ask(port, "AT*SD?", reply) == AtResult::Ok && BeginsWithDigit(reply);
  voice.set = voice.read && BeginsWith(reply, '0');
  AdapterSetting& show = records.showNumberAsDefault;
  show.read = Ask(port, "AT*SN?", reply) == AtResult::Ok && BeginsWithDigit(reply);
  show.set = show.read && !BeginsWith(reply, '0');
}

void LoadPortability(Port* port, ProviderServices& records, ServiceOffer& offer) {
  PortabilityRecord& portability = records.portability;
  std::string reply;
  if (Ask(port, "AT*S10?", reply) != AtResult::Ok) {
    return;
  }
  portability.supported = true;
  const bool onRead = BeginsWithDigit(reply);
  if (onRead) {
    portability.on = BeginsWith(reply, '1');
  }
  // The adapter keeps one of the two keys for itself; portability uses the
  // other.
  const bool keyRead = Ask(port, "AT&Z#L?", reply) == AtResult::Ok &&
                       (BeginsWith(reply, '*') || BeginsWith(reply, '#'));
  portability.key = keyRead && BeginsWith(reply, '*') ? '#' : '*';
  portability.read = onRead && keyRead;
  offer.services.push_back({ItemValue(kPortabilityGroup), kPortabilityName});
}

void LoadLineFunctions(Port* port, ProviderServices& records, ServiceOffer& offer) {
  std::string reply;
  for (std::size_t i = 0; i < kLineFunctionCount; ++i) {
    LineFunction& line = records.lineFunctions.at(i);
    if (Ask(port, QueryOf(line.stem), reply) != AtResult::Ok) {
      continue;
    }
    line.supported = true;
    if (const std::optional<std::int32_t> value = ReplyValue(reply)) {
      line.on = *value != 0;
      line.read = true;
    }
    offer.lineFunctions.push_back(i);
  }
  if (!offer.lineFunctions.empty()) {
    offer.services.push_back({ItemValue(kMultipleLinesGroup), kMultipleLinesName});
  }
}

std::string CugCode(std::int32_t value, int countryCode) {
  std::array<char, 16> text{};
  if (ClosedUserGroupDigits(countryCode) == 3) {
    static_cast<void>(std::snprintf(text.data(), text.size(), "%03d", value));
  } else {
    static_cast<void>(std::snprintf(text.data(), text.size(), "%02d", value));
  }
  return text.data();
}

// The group is offered only when all three of its readings answered: a
// code written with "&W" must be the adapter's own, never a default.
void LoadClosedUserGroup(Port* port, ProviderServices& records, int countryCode,
                         ServiceOffer& offer) {
  ClosedUserGroupRecord& group = records.closedUserGroup;
  std::string reply;
  static_cast<void>(Ask(port, "ATZ", reply));
  if (Ask(port, "ATS202?", reply) != AtResult::Ok) {
    return;
  }
  const std::optional<std::int32_t> s202 = ReplyValue(reply);
  if (!s202 || Ask(port, "ATS152?", reply) != AtResult::Ok) {
    return;
  }
  const std::optional<std::int32_t> s152 = ReplyValue(reply);
  if (!s152 || Ask(port, "AT%U?", reply) != AtResult::Ok) {
    return;
  }
  const std::optional<std::int32_t> code = ReplyValue(reply);
  const std::size_t digits = ClosedUserGroupDigits(countryCode);
  const std::int32_t codeLimit = digits == 3 ? 1000 : 100;
  if (!code || *code < 0 || *code >= codeLimit) {
    return;
  }
  group.found = true;
  group.on = (*s152 & kCugOnBit) != 0;
  group.dataInside = (*s202 & kDataInsideBit) != 0;
  group.teleInside = (*s202 & kTeleInsideBit) != 0;
  group.code = CugCode(*code, countryCode);
  offer.services.push_back({ItemValue(kClosedUserGroup), kClosedUserGroupName});
}

void LoadDataPort(Port* port, ProviderServices& records, ServiceOffer& offer) {
  DataPortRecord& dataPort = records.dataPort;
  std::string reply;
  if (Ask(port, "AT*DP?", reply) != AtResult::Ok) {
    return;
  }
  dataPort.supported = true;
  if (const std::optional<std::int32_t> value = ReplyValue(reply)) {
    dataPort.ring = (*value & kRingBit) != 0;
    dataPort.callerId = (*value & kCallerIdBit) != 0;
    dataPort.read = true;
  }
  offer.services.push_back({ItemValue(kDataPortGroup), kDataPortName});
}

// --- Writing ---------------------------------------------------------------

bool IsKey(char c) { return c == '*' || c == '#'; }

bool ValidDigits(std::string_view digits) {
  return !digits.empty() && digits.size() <= kDigitsLength &&
         OnlyCharacters(digits, kDialCharacters);
}

bool ValidNumber(std::string_view number) {
  return number.size() <= kNumberLength && OnlyCharacters(number, kDialCharacters);
}

char Flag(bool set) { return set ? '1' : '0'; }

ServiceWrite Write(std::string command, int name) {
  ServiceWrite write;
  write.command = std::move(command);
  write.name = name;
  return write;
}

std::string Character(char c) { return c == 0 ? std::string() : std::string(1, c); }

// "AT<stem>=<flag>,<prefix>,<digits>,<closing>": the key sequence line every
// service write begins with; valid when its keys and digits are.
ServiceWrite SequenceWrite(const ProviderService& service, char flag, char prefix,
                           const std::string& digits, char closing) {
  ServiceWrite write = Write("AT" + std::string(service.stem) + "=" + flag + std::string(",") +
                                 Character(prefix) + "," + digits + "," + Character(closing),
                             service.name);
  write.valid = IsKey(prefix) && ValidDigits(digits) && IsKey(closing);
  return write;
}

// "AT*S2=1,*,21,*,987,#": on flag, activation line and, for services with a
// number, the number and its suffix.
ServiceWrite ActivationWrite(const ProviderService& service) {
  const ServiceCodes& codes = service.codes;
  ServiceWrite write = SequenceWrite(service, Flag(service.on), codes.activationPrefix,
                                     codes.activationDigits, codes.activationSuffix);
  if (HasNumber(service.kind)) {
    write.command += "," + service.number + "," + Character(codes.numberSuffix);
    write.valid = write.valid && ValidNumber(service.number) && IsKey(codes.numberSuffix);
  }
  return write;
}

// "AT*S2=2,#,21,#": the cancel line; it never carries the number.
ServiceWrite CancelWrite(const ProviderService& service) {
  const ServiceCodes& codes = service.codes;
  return SequenceWrite(service, '2', codes.cancelPrefix, codes.cancelDigits, codes.cancelSuffix);
}

// "AT*S9=1,*,5,*": booking repeats its prefix as the closing character.
ServiceWrite BookingWrite(const ProviderService& service) {
  const ServiceCodes& codes = service.codes;
  return SequenceWrite(service, Flag(service.on), codes.activationPrefix, codes.activationDigits,
                       codes.activationPrefix);
}

void AddServiceWrites(const ProviderServices& records, std::size_t index,
                      std::vector<ServiceWrite>& writes) {
  const ProviderService& service = records.services.at(index);
  const OpeningState& opening = service.opening;
  if ((service.kind & kActivationLine) != 0 &&
      (opening.changed ||
       (opening.activationRead && (opening.numberRead || !HasNumber(service.kind))))) {
    writes.push_back(ActivationWrite(service));
  }
  if ((service.kind & kCancelLine) != 0 && (opening.changed || opening.cancelRead)) {
    writes.push_back(CancelWrite(service));
  }
  if ((service.kind & kBooking) != 0 && (opening.changed || opening.activationRead)) {
    writes.push_back(BookingWrite(service));
  }
  const AdapterSetting& voice = records.onlyVoiceCalls;
  if ((service.kind & kVoiceOnlySetting) != 0 && (voice.read || voice.changed)) {
    writes.push_back(Write(std::string("AT*SD=") + (voice.set ? '0' : '1'), kOnlyVoiceCallsName));
  }
  const AdapterSetting& show = records.showNumberAsDefault;
  if (index == kHideOwnNumber && (show.read || show.changed)) {
    writes.push_back(Write(std::string("AT*SN=") + Flag(show.set), kShowNumberName));
  }
}

}  // namespace

std::size_t ClosedUserGroupDigits(int countryCode) {
  return countryCode == kThreeDigitCugCountry ? 3 : 2;
}

ServiceOffer LoadProviderServices(Port* port, ProviderServices& records, int countryCode) {
  records.ForgetOpening();
  ServiceOffer offer;
  LoadSupplementaryServices(port, records, offer);
  LoadPortability(port, records, offer);
  LoadLineFunctions(port, records, offer);
  LoadClosedUserGroup(port, records, countryCode, offer);
  LoadDataPort(port, records, offer);
  return offer;
}

std::vector<ServiceWrite> ProviderServiceWrites(const ProviderServices& records, int countryCode) {
  std::vector<ServiceWrite> writes;
  for (std::size_t i = 0; i < kServiceCount; ++i) {
    if (records.services.at(i).opening.supported) {
      AddServiceWrites(records, i, writes);
    }
  }

  // Multiple lines: one command line for every function to write, "AT"
  // alone when there is none.
  ServiceWrite lines = Write("AT", kMultipleLinesName);
  for (const LineFunction& line : records.lineFunctions) {
    if (line.supported && (line.read || line.changed)) {
      lines.command += std::string(line.stem) + "=" + Flag(line.on) + "," + line.keyDigit;
    }
  }
  writes.push_back(lines);

  const ClosedUserGroupRecord& group = records.closedUserGroup;
  if (group.found) {
    ServiceWrite cug;
    cug.name = kClosedUserGroupName;
    cug.command = std::string("AT%U") + Flag(group.on) + "%U" + (group.dataInside ? '3' : '2') +
                  "%U" + (group.teleInside ? '5' : '4') + "%U=" + group.code + "&W";
    cug.valid = !group.code.empty() && group.code.size() <= ClosedUserGroupDigits(countryCode) &&
                OnlyCharacters(group.code, "0123456789");
    writes.push_back(cug);
  }

  // Both flags set is written as RING (1), as the adapter takes it.
  const DataPortRecord& dataPort = records.dataPort;
  if (dataPort.supported && (dataPort.read || dataPort.changed)) {
    const char value = dataPort.ring ? '1' : (dataPort.callerId ? '2' : '0');
    writes.push_back(Write(std::string("AT*DP=") + value, kDataPortName));
  }

  const PortabilityRecord& portability = records.portability;
  if (portability.supported && (portability.read || portability.changed)) {
    writes.push_back(Write(std::string("AT*S10=") + Flag(portability.on) + "," + portability.key,
                           kPortabilityName));
  }
  return writes;
}

std::vector<int> WriteProviderServices(Port* port, const ProviderServices& records,
                                       int countryCode) {
  std::vector<int> notStored;
  const auto fail = [&notStored](int name) {
    if (std::find(notStored.begin(), notStored.end(), name) == notStored.end()) {
      notStored.push_back(name);
    }
  };
  std::string reply;
  for (const ServiceWrite& write : ProviderServiceWrites(records, countryCode)) {
    if (!write.valid) {
      fail(write.name);
      continue;
    }
    const AtResult result = Ask(port, write.command, reply);
    // "AT" alone writes nothing: its answer stores nothing either.
    if (result != AtResult::Ok && write.command != "AT") {
      fail(write.name);
    }
  }
  return notStored;
}

}  // namespace norix::services
