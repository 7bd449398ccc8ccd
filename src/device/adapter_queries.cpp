#include "device/adapter_queries.h"

#include <optional>
#include <string>

#include "device/reply_numbers.h"
#include "link/port_io.h"

namespace norix::device {

namespace {

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

// The line of the internal modem's answer that names it, or an empty text when
// none came within the bounds. The adapter relays the modem's answer:
//   "AT!MATI3\r\r\n" "NORIX 1280 Internal Modem V1.30\r\n" "\r\n" "OK\r\n"
std::string ReadInternalModemLine(platform::comm::Port* port) {
  std::string line;
  int emptyReads = 0;
  int lines = 0;
  while (emptyReads < kInternalModemEmptyReads && lines < kInternalModemLineLimit) {
    line.clear();
    if (link::ReadLine(port, line) == 0) {
      ++emptyReads;
      continue;
    }
    emptyReads = 0;
    ++lines;
    if (Contains(line, "1280")) {
      return line;
    }
  }
  return {};
}

}  // namespace

link::AtResult QueryAdapterInterfaces(platform::comm::Port* port, std::string& reply) {
  // Answers seen: "Added Internal Analog Interface\r\n", "Internal Modem\r\n",
  // "No Internal HW\r\n", and "ERROR\r\n" from firmware older than the query.
  const std::uint32_t previous = link::SetReadTimeout(port, kAti7ReadConstant);
  const link::AtResult result = link::SendAtCommand(port, "ATI7", reply);
  link::SetReadTimeout(port, previous);
  return result;
}

void ReadAdapterFeatures(link::ModemContext& context, AdapterFeatures& features) {
  std::string reply;
  QueryAdapterInterfaces(context.Port(), reply);
  features.interfacesReport = reply;

  if (reply.starts_with(kAddedAnalogInterface)) {
    features.analoguePort = true;
  }
  if (Contains(reply, "No Internal HW")) {
    features.noInternalHardware = true;
  }
  if (Contains(reply, "Internal Modem")) {
    ReadInternalModemVersion(context);
    features.internalModem = true;
  }
  if (Contains(reply, "ERROR")) {
    // Firmware that does not know "ATI7": only the model name tells.
    if (Contains(context.productName, "1280mi")) {
      ReadInternalModemVersion(context);
      features.internalModem = true;
    } else {
      features.analoguePort = true;
      features.noInternalHardware = true;
    }
  }
}

void ReadInternalModemVersion(link::ModemContext& context) {
  context.internalModemVersion.clear();
  context.internalModemVersionNumber.clear();
  platform::comm::Port* port = context.Port();
  if (link::WriteLine(port, "AT!MATI3") == 0) {
    return;  // nothing went out, so nothing will answer
  }
  const std::string line = ReadInternalModemLine(port);
  // The rest of the answer ("\r\nOK\r\n") is of no interest.
  link::DiscardInput(port, platform::comm::kPurgeRxClear);

  const auto v = line.rfind('V');
  if (line.empty() || v == std::string::npos || v == 0) {
    return;
  }
  const std::string_view version = std::string_view(line).substr(v + 1);
  context.internalModemVersion.assign(version.substr(0, kVersionTextCapacity));
  context.internalModemVersionNumber =
      std::to_string(VersionNumber(version)).substr(0, kVersionTextCapacity);
}

void ReadKometFeatureWord(link::ModemContext& context, AdapterFeatures& features) {
  // "AT!P0" answers with the feature word in hexadecimal:
  //   "AT!P0\r" "\r\n" "37F\r\n" "\r\n" "OK\r\n"
  std::string reply;
  std::optional<std::uint32_t> word;
  if (link::SendAtCommand(context.Port(), "AT!P0", reply) == link::AtResult::Ok) {
    word = LeadingHexWord(reply);
  }
  features.featureWord = word.value_or(kDefaultKometFeatureWord);
}

}  // namespace norix::device
