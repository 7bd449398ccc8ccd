// norix-probe: lists the maker's line devices the way the program sees them
// and identifies the products on them side by side, with what the wizard
// reads of each after its name (an adapter's parts, the KOMET II's feature
// word). A diagnostic for installations and for the simulator's ptys.
//
//   norix-probe [--no-identify] [--lines FILE]... [--by-id DIR] [--trace FILE]
//   norix-probe --dialer [--lines FILE]... [--by-id DIR]

#include <algorithm>
#include <array>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/adapter_features.h"
#include "device/ident_record.h"
#include "isdn/dialer_config.h"
#include "isdn/driver_init_store.h"
#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/ascii/quoted_text.h"
#include "platform/cli/options.h"
#include "platform/comm/port_trace.h"
#include "platform/registry/registry.h"
#include "platform/registry/store_file.h"
#include "platform/telephony/line_api.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "products/select_product.h"

namespace {

namespace tapi = norix::platform::telephony;

constexpr std::string_view kUsage =
    "usage: norix-probe [--no-identify | --dialer] [--lines FILE]... [--by-id DIR] [--trace FILE]\n"
    "Lists the NORIX line devices (from ~/.config/norix/lines.conf, /etc/norix/lines.conf\n"
    "and /dev/serial/by-id) and identifies the products on them side by side at\n"
    "57600 bit/s: name, version, an adapter's parts and a KOMET II's feature word.\n"
    "  --no-identify  only list the devices; no port is opened\n"
    "  --dialer       print a wvdial section and chat script lines for pppd per device,\n"
    "                 with the modem driver's init strings and the protocol string last;\n"
    "                 no port is opened\n"
    "  --lines FILE   read line devices from FILE instead of the lines.conf files\n"
    "  --by-id DIR    look for USB devices in DIR instead of /dev/serial/by-id\n"
    "  --trace FILE   write every byte exchanged with the products to FILE\n"
    "  -h, --help     show this text and end\n"
    "  --version      show the program's version and end\n";

constexpr std::uint32_t kSpeed = 57600;

std::string UpgradeKindText(norix::device::UpgradeClass kind) {
  using namespace norix::device;
  if (kind == kUpgradeNone) {
    return "0 (cannot be upgraded)";
  }
  std::string text;
  const auto add = [&](UpgradeClass bit, const char* name) {
    if ((kind & bit) != 0) {
      text += text.empty() ? "" : ", ";
      text += name;
    }
  };
  add(kUpgradeAnalogueModem, "analogue modem");
  add(kUpgradeIsdnAdapter, "ISDN adapter");
  add(kUpgradeRescueMode, "rescue mode");
  add(kUpgradeNoSpeedProbe, "no speed probe");
  return std::to_string(kind) + " (" + text + ")";
}

// The port path from the provider info "Serial modem line on /dev/...".
std::string PortOf(const norix::link::ModemContext& context, tapi::DWORD device) {
  tapi::LineDevCaps caps(4096);
  if (tapi::lineGetDevCaps(context.lineApp, device, tapi::kApiVersion14, 0, &caps) != 0) {
    return "?";
  }
  std::string info;
  for (const std::byte b : caps.ProviderInfo()) {
    if (b == std::byte{0}) {
      break;
    }
    info.push_back(static_cast<char>(b));
  }
  const auto on = info.find(" on ");
  return on == std::string::npos ? "?" : info.substr(on + 4);
}

// A reply line without the line end it came with.
std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
    line.remove_suffix(1);
  }
  return line;
}

// The parts of an ISDN adapter that identification found.
std::string AdapterPartsText(const norix::device::AdapterFeatures& features) {
  std::string text;
  const auto add = [&](bool has, const char* name) {
    if (has) {
      text += text.empty() ? "" : ", ";
      text += name;
    }
  };
  add(features.analoguePort, "analogue port");
  add(features.internalModem, "internal modem");
  add(features.noInternalHardware, "no internal hardware");
  return text.empty() ? "none reported" : text;
}

void Identify(norix::link::ModemContext& context, std::ostream& out) {
  norix::platform::comm::Port* port = norix::link::OpenDevicePort(context, kSpeed, false);
  if (port == nullptr) {
    // A product whose firmware is damaged answers only through its flash
    // loader, which may not answer "AT" with OK at this speed: look anyway.
    port = norix::link::OpenDevicePort(context, kSpeed, true);
    if (port != nullptr) {
      norix::link::ConfigurePort(port, kSpeed);
    }
  } else {
    out << "   answers \"AT\":    yes\n";
  }
  if (port == nullptr) {
    // The reason names the device and what the system said, with the fix.
    out << "   not opened:     "
        << (context.portFailure.message.empty() ? "the line service gave no port"
                                                : context.portFailure.message)
        << '\n';
    return;
  }
  const std::string text = norix::products::IdentifyProduct(port);
  if (text == norix::device::kNoModemDetected) {
    out << "   no answer:      the port opened, but the product does not answer\n";
    norix::link::CloseDevicePort(context);
    return;
  }
  const auto kind = norix::products::LookupUpgradeKind(text);
  norix::products::ParseIdentification(text, context);
  out << "   identification: " << text << '\n'
      << "   product:        " << context.productName << '\n'
      << "   version:        " << context.firmwareVersion << " (" << context.firmwareVersionNumber
      << ")\n";
  if (!context.internalModemVersion.empty()) {
    out << "   internal modem: " << context.internalModemVersion << " ("
        << context.internalModemVersionNumber << ")\n";
  }
  out << "   upgrade kind:   " << UpgradeKindText(kind) << '\n'
      << "   GCI support:    " << (context.gciSupport ? "yes" : "no") << '\n';
  if (context.driverKey) {
    out << "   driver key:     " << *context.driverKey << '\n';
  }
  if ((kind & norix::device::kUpgradeRescueMode) == 0) {
    // What the wizard reads next of the selected product: the adapter's
    // parts and the KOMET II's feature word.
    norix::device::AdapterFeatures features;
    norix::products::ReadSelectedProductFeatures(context, features);
    if (features.isdnAdapter && !features.komet) {
      out << "   ATI7 report:    "
          << norix::platform::ascii::QuotedText(WithoutLineEnd(features.interfacesReport)) << '\n'
          << "   adapter parts:  " << AdapterPartsText(features) << '\n';
    }
    if (features.komet) {
      std::ostringstream word;
      word << std::uppercase << std::hex << features.featureWord;
      out << "   feature word:   " << word.str() << '\n';
    }
  }
  norix::link::CloseDevicePort(context);
}

// Identifies line device `lineDeviceId` on a telephony context of its own,
// opened on the calling thread, so that several devices can be identified
// side by side; the sources are read again without repeating their
// problems. Returns what Identify prints.
std::string IdentifyOnOwnContext(const tapi::LineSources& sources,
                                 const std::shared_ptr<norix::platform::comm::PortTrace>& trace,
                                 std::uint32_t lineDeviceId) {
  std::ostringstream out;
  std::ostringstream problemsShownAlready;
  tapi::LineDirectory directory(sources, problemsShownAlready);
  directory.SetPortTrace(trace);
  auto context = norix::link::OpenContext(directory);
  const auto entry =
      context ? std::find_if(context->devices.begin(), context->devices.end(),
                             [&](const auto& e) { return e.lineDeviceId == lineDeviceId; })
              : std::vector<norix::link::ModemListEntry>::iterator{};
  if (!context || entry == context->devices.end()) {
    out << "   not opened:     the line device is gone\n";
  } else {
    context->currentDeviceId = lineDeviceId;
    context->selectedIndex = static_cast<std::int32_t>(entry - context->devices.begin());
    Identify(*context, out);
  }
  norix::link::CloseContext(std::move(context));
  return out.str();
}

// The dialler configuration of every listed device: the wvdial sections,
// then the chat script lines, from the init strings of each device's
// modem driver in the registry.
void PrintDialerConfiguration(const norix::link::ModemContext& context,
                              const std::string& storePath) {
  norix::platform::registry::Registry registry(storePath, "norix-probe");
  std::vector<norix::isdn::DialerDevice> devices;
  for (const auto& entry : context.devices) {
    norix::isdn::DialerDevice device{entry.name, PortOf(context, entry.lineDeviceId), {}};
    const std::optional<std::string> key =
        norix::link::DeviceDriverKey(context, entry.lineDeviceId);
    std::optional<norix::isdn::DriverInitStrings> strings;
    if (key) {
      strings = norix::isdn::ReadDriverInitStrings(registry, *key);
    }
    if (strings) {
      device.commands = norix::isdn::DialerCommands(*strings);
    } else {
      std::cerr << "norix-probe: " << entry.name << ": "
                << (key ? "the driver key " + *key + " is not in " + registry.StorePath()
                        : std::string("the device names no driver key"))
                << "; its section has no init strings\n";
    }
    devices.push_back(std::move(device));
  }
  std::cout << "# wvdial.conf\n";
  for (std::size_t i = 0; i < devices.size(); ++i) {
    std::cout << norix::isdn::WvdialSection(devices[i], "norix" + std::to_string(i)) << '\n';
  }
  std::cout << "# chat scripts for pppd\n";
  for (const auto& device : devices) {
    std::cout << '\n' << norix::isdn::ChatLines(device);
  }
}

}  // namespace

int main(int argc, char** argv) {
  namespace cli = norix::platform::cli;
  enum Key : int { kNoIdentify = 0x200, kDialer, kLines, kById, kTrace };
  static constexpr std::array<cli::Option, 7> kOptions{{
      cli::kHelpOption,
      cli::kVersionOption,
      {"no-identify", '\0', false, kNoIdentify},
      {"dialer", '\0', false, kDialer},
      {"lines", '\0', true, kLines},
      {"by-id", '\0', true, kById},
      {"trace", '\0', true, kTrace},
  }};
  bool identify = true;
  bool help = false;
  bool dialer = false;
  bool version = false;
  std::string tracePath;
  tapi::LineSources sources = norix::link::ProductLineSources();
  bool linesGiven = false;
  const auto parsed =
      cli::ParseCommandLine(cli::Arguments(argc, argv), kOptions,
                            [&](int key, const std::string& value, cli::Following&) -> std::string {
                              switch (key) {
                                case cli::kHelpKey:
                                  help = true;
                                  break;
                                case cli::kVersionKey:
                                  version = true;
                                  break;
                                case kNoIdentify:
                                  identify = false;
                                  break;
                                case kDialer:
                                  dialer = true;
                                  break;
                                case kById:
                                  sources.serialByIdDir = value;
                                  break;
                                case kLines:
                                  if (!linesGiven) {
                                    sources.linesFiles.clear();
                                    linesGiven = true;
                                  }
                                  sources.linesFiles.emplace_back(value);
                                  break;
                                case kTrace:
                                  tracePath = value;
                                  break;
                                default:
                                  break;
                              }
                              return {};
                            });
  if (help) {
    std::cout << kUsage;
    return 0;
  }
  if (version) {
    std::cout << cli::VersionText("norix-probe") << '\n';
    return 0;
  }
  if (!parsed.error.empty() || !parsed.operands.empty()) {
    std::cerr << "norix-probe: "
              << (parsed.error.empty() ? "unexpected argument \"" + parsed.operands.front() + "\""
                                       : parsed.error)
              << '\n'
              << kUsage;
    return 2;
  }

  // The wizard's store file, where it keeps the init strings; the path is
  // taken from the environment before anything starts a thread.
  const std::string storePath = norix::platform::registry::DefaultStorePath("norix/registry.reg");
  tapi::LineDirectory directory(sources);
  if (!tracePath.empty()) {
    std::string problem;
    auto trace = norix::platform::comm::PortTrace::Create(tracePath,
                                                          cli::VersionText("norix-probe"), problem);
    if (!trace) {
      std::cerr << "norix-probe: " << problem << '\n';
      return 2;
    }
    directory.SetPortTrace(std::move(trace));
  }
  auto context = norix::link::OpenContext(directory);
  if (!context) {
    std::cout << "No NORIX line device found.\n";
    return 1;
  }
  if (dialer) {
    PrintDialerConfiguration(*context, storePath);
    norix::link::CloseContext(std::move(context));
    return 0;
  }
  std::cout << context->ProductCount() << " NORIX line device(s) of " << context->lineDeviceCount
            << ":\n";
  // One thread per device: the whole run takes about as long as the slowest
  // product. Each device's lines are printed in list order once it is done.
  std::vector<std::future<std::string>> reports;
  if (identify) {
    const auto trace = directory.PortTrace();
    for (const auto& entry : context->devices) {
      reports.push_back(std::async(std::launch::async, IdentifyOnOwnContext, std::cref(sources),
                                   trace, entry.lineDeviceId));
    }
  }
  for (std::size_t i = 0; i < context->devices.size(); ++i) {
    const auto& entry = context->devices[i];
    std::cout << i << ": " << entry.name << "\n   line device " << entry.lineDeviceId << ", port "
              << PortOf(*context, entry.lineDeviceId) << '\n';
    if (identify) {
      std::cout << reports[i].get() << std::flush;
    }
  }
  norix::link::CloseContext(std::move(context));
  return 0;
}
