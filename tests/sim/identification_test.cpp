// The program's own identification against every model, across the real
// serial stack: the product on a pty master, the host on the slave opened as
// a serial port and configured as a device port is, then the checked open's
// "AT", IdentifyProduct, ParseIdentification, LookupUpgradeKind and the
// adapter queries, in the order the product selection runs them.
//
// A silent or rescue-mode product costs several read time-outs, so every row
// runs on a thread of its own and the rows share the wait.
#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/adapter_features.h"
#include "device/adapter_queries.h"
#include "device/ident_record.h"
#include "link/at_exchange.h"
#include "link/modem_context.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"

namespace norix::sim {
using namespace norix::device;
namespace {

using device::AdapterFeatures;
using device::UpgradeClass;

struct Expected {
  bool opens = true;  // the checked open's "AT" gets OK
  bool gci = false;   // the open found "+GCI" support
  std::string text;   // identification text
  std::string name;   // product name
  std::uint16_t version = 0;
  UpgradeClass kind = 0;
  AdapterFeatures features;
  std::string modemVersion;  // internal modem version text and number text
  std::string modemVersionNumber;
};

struct Row {
  std::string model;
  std::string device;  // the line device's name, as the telephony lists it
  Expected expected;
};

struct Outcome {
  std::string failure;  // set when the row could not be run
  Expected found;
};

AdapterFeatures Features(bool analoguePort, bool noInternalHardware, bool internalModem,
                         bool komet = false, std::uint32_t featureWord = 0) {
  AdapterFeatures features;
  features.isdnAdapter = true;
  features.analoguePort = analoguePort;
  features.noInternalHardware = noInternalHardware;
  features.internalModem = internalModem;
  features.komet = komet;
  features.featureWord = featureWord;
  return features;
}

Expected Normal(bool gci, const std::string& text, const std::string& name, std::uint16_t version,
                UpgradeClass kind, AdapterFeatures features = {}) {
  Expected expected;
  expected.gci = gci;
  expected.text = text;
  expected.name = name;
  expected.version = version;
  expected.kind = kind;
  expected.features = features;
  return expected;
}

// Rescue mode: the product name is the identification text itself.
Expected Rescue(bool opens, const std::string& text, UpgradeClass kind) {
  Expected expected;
  expected.opens = opens;
  expected.text = text;
  expected.name = text;
  expected.kind = kind;
  return expected;
}

Expected NotFound(bool opens, bool gci, const std::string& text) {
  Expected expected;
  expected.opens = opens;
  expected.gci = gci;
  expected.text = text;
  return expected;
}

std::vector<Row> Rows() {
  Expected withModem = Normal(false, "NORIX solano 1280mi V1.42", "NORIX solano 1280mi ", 142, 3,
                              Features(false, false, true));
  withModem.modemVersion = "1.30\r\n";  // everything after the "V", line end included
  withModem.modemVersionNumber = "130";
  Expected oldWithModem = withModem;
  oldWithModem.text = "NORIX solano 1280mi V1.30";
  oldWithModem.version = 130;

  return {
      {"netrunner56k", "NORIX Netrunner 56000 Voice",
       Normal(true, "NORIX Netrunner 56000 Voice V1.10", "NORIX Netrunner 56000 Voice ", 110, 1)},
      {"netrunner56k-dkus", "NORIX Netrunner 56000 Voice",
       Normal(true, "NORIX Netrunner 56000 Voice V1.10", "NORIX Netrunner 56000 Voice ", 110, 1)},
      {"netrunner33k6", "NORIX Netrunner 33600 Voice",
       Normal(false, "NORIX Netrunner 33600 Voice V1.02", "NORIX Netrunner 33600 Voice ", 102, 0)},
      {"corvid336", "NORIX Corvid 336 Voice",
       Normal(false, "NORIX corvid 336 Voice V1.09", "NORIX Corvid 336 Voice ", 109, 1)},
      {"corvid560", "NORIX Corvid 560 Voice",
       Normal(true, "NORIX corvid 560 Voice V1.40", "NORIX Corvid 560 Voice ", 140, 1)},
      {"marlin560", "NORIX Marlin 560 Voice",
       Normal(true, "NORIX Marlin 560 Voice V1.41", "NORIX Marlin 560 Voice ", 141, 17)},
      {"marlin560-deep", "NORIX Marlin 560 Voice",
       Normal(true, "NORIX Marlin 560 Voice V1.41", "NORIX Marlin 560 Voice ", 141, 17)},
      {"int560", "NORIX 560 V Int",
       Normal(true, "NORIX 560 V Int V1.40", "NORIX 560 V Int ", 140, 17)},
      {"corvid560-2m", "NORIX Corvid 560 Voice",
       Normal(true, "NORIX corvid 560 Voice V1.52", "NORIX Corvid 560 Voice ", 152, 1)},
      {"usb560", "NORIX Corvid 560V USB",
       Normal(true, "NORIX Corvid 560V USB V1.52", "NORIX Corvid 560V USB ", 152, 17)},
      {"solano1280i-ab", "NORIX solano 1280i",
       Normal(false, "NORIX solano 1280i V1.42", "NORIX solano 1280i a/b", 142, 2,
              Features(true, false, false))},
      {"solano1280i", "NORIX solano 1280i",
       Normal(false, "NORIX solano 1280i V1.42", "NORIX solano 1280i ", 142, 2,
              Features(false, true, false))},
      {"solano1280mi", "NORIX solano 1280mi", withModem},
      // Firmware without "ATI7": the name decides.
      {"solano1280i-old", "NORIX solano 1280i",
       Normal(false, "NORIX solano 1280i V1.30", "NORIX solano 1280i ", 130, 2,
              Features(true, true, false))},
      {"solano1280mi-old", "NORIX solano 1280mi", oldWithModem},
      // Not a solano 1280: the product selection asks nothing about add-ons.
      {"solano640i", "NORIX solano 640i",
       Normal(false, "NORIX solano 640i V1.12", "NORIX solano 640i ", 112, 0)},
      {"komet2", "NORIX KOMET II",
       Normal(false, "NORIX KOMET II V2.05", "NORIX KOMET II ", 205, 2,
              Features(false, false, false, true, 0x1FBC))},
      {"komet2-early", "NORIX KOMET II",
       Normal(false, "NORIX KOMET II V2.01", "NORIX KOMET II ", 201, 2,
              Features(false, false, false, true, device::kDefaultKometFeatureWord))},
      {"komet2-usb", "NORIX KOMET II USB",
       Normal(false, "NORIX KOMET II V2.05", "NORIX KOMET II ", 205, 2,
              Features(false, false, false, true, 0x1FBC))},
      {"modem-rescue", "NORIX Corvid 560 Voice",
       Rescue(true, std::string(device::kModemRescueMode), 9)},
      // The loaders below do not answer the checked open's "AT" with OK.
      // Identification still runs on the port, to see what they answer.
      {"modem-rescue-115200", "NORIX Corvid 560 Voice",
       Rescue(false, std::string(device::kModemRescueMode), 9)},
      {"solano-rescue", "NORIX solano 1280i",
       Rescue(false, std::string(device::kSolanoRescueMode), 10)},
      {"komet2-rescue", "NORIX KOMET II", Rescue(false, std::string(device::kKometRescueMode), 10)},
      {"foreign", "NORIX Corvid 560 Voice",
       NotFound(true, true, std::string(device::kUnknownModem))},
      {"silent", "NORIX Corvid 560 Voice",
       NotFound(false, false, std::string(device::kNoModemDetected))},
      {"refusing", "NORIX Corvid 560 Voice",
       NotFound(false, false, std::string(device::kNoModemDetected))},
  };
}

// The checked open's test of the product: "AT" until an answer comes, five
// times for a PC Card ("marlin" in the device name), else twice.
bool CheckedOpen(platform::comm::Port* port, const std::string& device) {
  const int attempts = platform::ascii::ContainsNoCase(device, "marlin") ? 5 : 2;
  link::AtResult result = link::AtResult::NoReply;
  for (int i = 0; i < attempts && result == link::AtResult::NoReply; ++i) {
    std::string reply;
    result = link::SendAtCommand(port, "AT", reply);
  }
  return result == link::AtResult::Ok;
}

Outcome Identify(const Row& row) {
  Outcome outcome;
  const ModelEntry* entry = FindModel(row.model);
  if (entry == nullptr) {
    outcome.failure = "no such model";
    return outcome;
  }
  auto pty = platform::comm::OpenPtyLine();
  if (!pty.device) {
    outcome.failure = pty.message;
    return outcome;
  }
  SimulatedProduct product(row.model, entry->make(), std::move(pty.device));
  product.Start();
  auto opened = platform::comm::OpenSerialPort(pty.slavePath);
  if (!opened.port) {
    outcome.failure = opened.message;
    return outcome;
  }

  link::ModemContext context;
  context.port = std::move(opened.port);
  context.devices.push_back({row.device, 0});
  platform::comm::Port* port = context.Port();
  Expected& found = outcome.found;

  link::ConfigurePort(port, 57600);
  found.opens = CheckedOpen(port, row.device);
  if (!found.opens && platform::ascii::ContainsNoCase(row.device, "marlin")) {
    // The product selection opens a PC Card's port a second time.
    found.opens = CheckedOpen(port, row.device);
  }
  if (found.opens) {
    link::SetReadTimeout(port, 2000);
    found.gci = link::QueryGciSupport(port) == 1;
  }

  found.text = products::IdentifyProduct(port);
  const auto has = [&](std::string_view word) {
    return found.text.find(word) != std::string::npos;
  };
  if (has(device::kNoModemDetected) || has(device::kUnknownModem)) {
    return outcome;
  }
  if (has(device::kModemRescueMode) || has(device::kSolanoRescueMode) ||
      has(device::kKometRescueMode)) {
    found.name = found.text;
    found.kind = products::LookupUpgradeKind(found.text);
    return outcome;
  }
  products::ParseIdentification(found.text, context);
  found.name = context.productName;
  found.version = context.firmwareVersionNumber;
  found.kind = products::LookupUpgradeKind(context.productName);
  if (row.device.find("solano 1280") != std::string::npos) {
    found.features.isdnAdapter = true;
    device::ReadAdapterFeatures(context, found.features);
  }
  if (row.device.find("NORIX KOMET II") != std::string::npos) {
    found.features.isdnAdapter = true;
    found.features.komet = true;
    device::ReadKometFeatureWord(context, found.features);
  }
  found.modemVersion = context.internalModemVersion;
  found.modemVersionNumber = context.internalModemVersionNumber;
  return outcome;
}

TEST(IdentificationTest, EveryModelIsIdentifiedOverAPty) {
  const std::vector<Row> rows = Rows();
  std::vector<Outcome> outcomes(rows.size());
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      threads.emplace_back([&rows, &outcomes, i] { outcomes[i] = Identify(rows[i]); });
    }
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].model);
    const Expected& want = rows[i].expected;
    const Expected& got = outcomes[i].found;
    ASSERT_EQ(outcomes[i].failure, "");
    EXPECT_EQ(got.opens, want.opens);
    EXPECT_EQ(got.gci, want.gci);
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.version, want.version);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.features.isdnAdapter, want.features.isdnAdapter);
    EXPECT_EQ(got.features.analoguePort, want.features.analoguePort);
    EXPECT_EQ(got.features.noInternalHardware, want.features.noInternalHardware);
    EXPECT_EQ(got.features.internalModem, want.features.internalModem);
    EXPECT_EQ(got.features.komet, want.features.komet);
    EXPECT_EQ(got.features.featureWord, want.features.featureWord);
    EXPECT_EQ(got.modemVersion, want.modemVersion);
    EXPECT_EQ(got.modemVersionNumber, want.modemVersionNumber);
  }
}

// Every model is in the table above, so a new model cannot miss it.
TEST(IdentificationTest, TableCoversEveryModel) {
  std::vector<std::string> names;
  for (const Row& row : Rows()) {
    names.push_back(row.model);
  }
  for (const ModelEntry& entry : Models()) {
    EXPECT_NE(std::find(names.begin(), names.end(), entry.name), names.end()) << entry.name;
  }
}

}  // namespace
}  // namespace norix::sim
