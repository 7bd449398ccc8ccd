// norix-probe: lists the maker's line devices the way the program sees them
// and identifies the product on each. A diagnostic for installations and for
// the simulator's ptys.
//
//   norix-probe [--no-identify] [--lines FILE]... [--by-id DIR]

#include <iostream>
#include <string>
#include <vector>

#include "device/ident_record.h"
#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/telephony/line_api.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"

namespace {

namespace tapi = norix::platform::telephony;

constexpr std::string_view kUsage =
    "usage: norix-probe [--no-identify] [--lines FILE]... [--by-id DIR]\n"
    "Lists the NORIX line devices (from ~/.config/norix/lines.conf, /etc/norix/lines.conf\n"
    "and /dev/serial/by-id) and identifies the product on each at 57600 bit/s.\n"
    "  --no-identify  only list the devices; no port is opened\n"
    "  --lines FILE   read line devices from FILE instead of the lines.conf files\n"
    "  --by-id DIR    look for USB devices in DIR instead of /dev/serial/by-id\n";

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

void Identify(norix::link::ModemContext& context) {
  norix::platform::comm::Port* port = norix::link::OpenDevicePort(context, kSpeed, false);
  if (port == nullptr) {
    // A product whose firmware is damaged answers only through its flash
    // loader, which may not answer "AT" with OK at this speed: look anyway.
    port = norix::link::OpenDevicePort(context, kSpeed, true);
    if (port != nullptr) {
      norix::link::ConfigurePort(port, kSpeed);
    }
  } else {
    std::cout << "   answers \"AT\":    yes\n";
  }
  if (port == nullptr) {
    // The reason names the device and what the system said, with the fix.
    std::cout << "   not opened:     "
              << (context.portFailure.message.empty() ? "the line service gave no port"
                                                      : context.portFailure.message)
              << '\n';
    return;
  }
  const std::string text = norix::products::IdentifyProduct(port);
  if (text == norix::device::kNoModemDetected) {
    std::cout << "   no answer:      the port opened, but the product does not answer\n";
    norix::link::CloseDevicePort(context);
    return;
  }
  const auto kind = norix::products::LookupUpgradeKind(text);
  norix::products::ParseIdentification(text, context);
  std::cout << "   identification: " << text << '\n'
            << "   product:        " << context.productName << '\n'
            << "   version:        " << context.firmwareVersion << " ("
            << context.firmwareVersionNumber << ")\n";
  if (!context.internalModemVersion.empty()) {
    std::cout << "   internal modem: " << context.internalModemVersion << " ("
              << context.internalModemVersionNumber << ")\n";
  }
  std::cout << "   upgrade kind:   " << UpgradeKindText(kind) << '\n'
            << "   GCI support:    " << (context.gciSupport ? "yes" : "no") << '\n';
  if (context.driverKey) {
    std::cout << "   driver key:     " << *context.driverKey << '\n';
  }
  norix::link::CloseDevicePort(context);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  bool identify = true;
  tapi::LineSources sources = norix::link::ProductLineSources();
  bool linesGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--no-identify") {
      identify = false;
    } else if ((arg == "--lines" || arg == "--by-id") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (arg == "--by-id") {
        sources.serialByIdDir = value;
      } else {
        if (!linesGiven) {
          sources.linesFiles.clear();
          linesGiven = true;
        }
        sources.linesFiles.emplace_back(value);
      }
    } else {
      std::cerr << "norix-probe: unknown or incomplete option \"" << arg << "\"\n" << kUsage;
      return 2;
    }
  }

  const tapi::LineDirectory directory(sources);
  auto context = norix::link::OpenContext(directory);
  if (!context) {
    std::cout << "No NORIX line device found.\n";
    return 1;
  }
  std::cout << context->ProductCount() << " NORIX line device(s) of " << context->lineDeviceCount
            << ":\n";
  for (std::size_t i = 0; i < context->devices.size(); ++i) {
    const auto& entry = context->devices[i];
    std::cout << i << ": " << entry.name << "\n   line device " << entry.lineDeviceId << ", port "
              << PortOf(*context, entry.lineDeviceId) << '\n';
    if (identify) {
      context->currentDeviceId = entry.lineDeviceId;
      context->selectedIndex = static_cast<std::int32_t>(i);
      Identify(*context);
    }
  }
  norix::link::CloseContext(std::move(context));
  return 0;
}
