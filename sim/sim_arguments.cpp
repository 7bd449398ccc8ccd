#include "sim/sim_arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <optional>

#include "sim/country_table.h"
#include "sim/model_registry.h"

namespace norix::sim {
namespace {

constexpr std::uint32_t kMaxMilliseconds = 600'000;
constexpr std::uint32_t kMaxStoreFailures = 1000;
constexpr std::uint32_t kMaxDiallingCode = 999;

std::optional<std::uint32_t> WholeNumber(std::string_view text, std::uint32_t max) {
  std::uint32_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end || value > max) {
    return std::nullopt;
  }
  return value;
}

// The upgrade's options with a value, and their largest values.
struct UpgradeOption {
  std::string_view name;
  std::uint32_t max;
};
constexpr std::array<UpgradeOption, 7> kUpgradeOptions{{
    {"--upgrade-time", 1000},
    {"--restart-time", kMaxMilliseconds},
    {"--power-off", kMaxMilliseconds},
    {"--cut-loader", 100'000'000},
    {"--cut-firmware", 100'000'000},
    {"--silent-upgrade", 1000},
    {"--corrupt", 100'000'000},
}};

bool IsUpgradeOption(std::string_view name) {
  return std::any_of(kUpgradeOptions.begin(), kUpgradeOptions.end(),
                     [name](const UpgradeOption& option) { return option.name == name; });
}

// Sets one of kUpgradeOptions; returns what is wrong with the value.
std::string SetUpgradeOption(std::string_view name, std::string_view value,
                             UpgradeOptions& options) {
  const auto* option = std::find_if(kUpgradeOptions.begin(), kUpgradeOptions.end(),
                                    [name](const UpgradeOption& o) { return o.name == name; });
  const auto number = WholeNumber(value, option->max);
  if (!number) {
    return std::string(name) + " takes a whole number from 0 to " + std::to_string(option->max) +
           ", not \"" + std::string(value) + "\"";
  }
  if (name == "--upgrade-time") {
    options.timePercent = *number;
  } else if (name == "--restart-time") {
    options.restartTime = std::chrono::milliseconds(*number);
  } else if (name == "--power-off") {
    options.powerOffTime = std::chrono::milliseconds(*number);
  } else if (name == "--cut-loader") {
    options.powerCutLoader = *number;
  } else if (name == "--cut-firmware") {
    options.powerCutFirmware = *number;
  } else if (name == "--silent-upgrade") {
    options.silentRequests = *number;
  } else {
    options.corruptEvery = *number;
  }
  return {};
}

}  // namespace

SimArguments ParseSimArguments(std::span<const std::string_view> arguments) {
  SimArguments result;
  for (std::size_t i = 0; i < arguments.size() && result.error.empty(); ++i) {
    std::string_view arg = arguments[i];
    if (arg == "--help" || arg == "-h") {
      result.help = true;
      continue;
    }
    if (arg == "--list") {
      result.list = true;
      continue;
    }
    if (arg == "--pace") {
      result.options.pace = true;
      continue;
    }
    if (arg == "--no-dialtone") {
      result.options.dialTone = false;
      continue;
    }
    if (arg == "--refuse-device") {
      result.options.upgrade.refuseDevice = true;
      continue;
    }
    if (arg.starts_with("-")) {
      // Options with a value: "--delay 50" or "--delay=50".
      std::string_view value;
      bool hasValue = false;
      if (const auto eq = arg.find('='); eq != std::string_view::npos) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        hasValue = true;
      }
      if (arg != "--delay" && arg != "--pause" && arg != "--garble" && arg != "--line-delay" &&
          arg != "--store-failures" && arg != "--refuse-country" && !IsUpgradeOption(arg)) {
        result.error = "unknown option " + std::string(arg);
        break;
      }
      if (!hasValue) {
        if (i + 1 >= arguments.size()) {
          result.error = std::string(arg) + " needs a value";
          break;
        }
        value = arguments[++i];
      }
      std::uint32_t max = kMaxMilliseconds;
      if (arg == "--garble") {
        max = 1'000'000U;
      } else if (arg == "--store-failures") {
        max = kMaxStoreFailures;
      } else if (arg == "--refuse-country") {
        max = kMaxDiallingCode;
      }
      if (IsUpgradeOption(arg)) {
        result.error = SetUpgradeOption(arg, value, result.options.upgrade);
        if (!result.error.empty()) {
          break;
        }
        continue;
      }
      const auto number = WholeNumber(value, max);
      if (!number) {
        result.error = std::string(arg) + " takes a whole number from 0 to " + std::to_string(max) +
                       ", not \"" + std::string(value) + "\"";
        break;
      }
      if (arg == "--delay") {
        result.options.replyDelay = std::chrono::milliseconds(*number);
      } else if (arg == "--pause") {
        result.options.resultPause = std::chrono::milliseconds(*number);
      } else if (arg == "--line-delay") {
        result.options.lineDelay = std::chrono::milliseconds(*number);
      } else if (arg == "--store-failures") {
        result.options.storeFailures = *number;
      } else if (arg == "--refuse-country") {
        const auto code = static_cast<std::uint16_t>(*number);
        if (FindCountry(code) == nullptr) {
          result.error =
              "--refuse-country takes the dialling code of a country the products "
              "know (46 for Sweden), not \"" +
              std::string(value) + "\"";
          break;
        }
        result.options.refusedCountry = code;
      } else {
        result.options.garbleEvery = *number;
      }
      continue;
    }
    if (FindModel(arg) == nullptr) {
      result.error = "unknown model \"" + std::string(arg) + "\" (norix-sim --list names them)";
      break;
    }
    result.models.emplace_back(arg);
  }
  if (result.error.empty() && !result.help && !result.list && result.models.empty()) {
    result.error = "no model given";
  }
  return result;
}

std::string SimUsage() {
  return "Usage: norix-sim [options] MODEL...\n"
         "       norix-sim --list\n"
         "\n"
         "Simulates NORIX products, one per MODEL, each on a pseudo-terminal of its own.\n"
         "Prints \"<model> <pty path>\" per product, then runs until SIGINT or SIGTERM.\n"
         "\n"
         "Options:\n"
         "  --list               name the models with a one-line description\n"
         "  --pace               send every byte at the port speed's byte rate\n"
         "  --delay MS           wait MS milliseconds before answering a command line\n"
         "  --pause MS           wait MS milliseconds before a final result code\n"
         "  --garble N           garble every N-th byte sent (0: never)\n"
         "  --no-dialtone        the line does not work: no dial tone on an analogue\n"
         "                       line, no ISDN line at an adapter; a call answers\n"
         "                       NO DIALTONE\n"
         "  --line-delay MS      with a working line, a call nobody answers ends with\n"
         "                       NO CARRIER after MS milliseconds (0: after S7 seconds)\n"
         "  --store-failures N   AT&W answers ERROR N times before it stores, so the\n"
         "                       first N \"AT&F&W\" fail\n"
         "  --refuse-country CODE  refuse the country with this dialling code (46:\n"
         "                       Sweden) although the product lists it\n"
         "Firmware upgrades (the products check what `norix-lfu make` writes):\n"
         "  --upgrade-time PCT   every wait of a product during an upgrade (loader start,\n"
         "                       programming, erasing, restart, power cut) takes PCT\n"
         "                       percent of its real time (default 100; 0: none)\n"
         "  --restart-time MS    restart after programming takes MS milliseconds (before\n"
         "                       --upgrade-time); over 8000 on a KOMET II makes the program\n"
         "                       store its settings afresh\n"
         "  --cut-loader N       the power goes off once, after N bytes of flash loader\n"
         "  --cut-firmware N     the power goes off once, after N bytes of firmware\n"
         "  --power-off MS       a power cut keeps the product dark MS milliseconds\n"
         "                       (default 3000), then it is back in rescue mode\n"
         "  --silent-upgrade N   the first N \"AT**\" or \"ATUPX\" get no answer\n"
         "  --corrupt N          every N-th byte of a loader or firmware arrives damaged\n"
         "  --refuse-device      the flash loader answers \"Wrong device\", the ISDN\n"
         "                       boot program refuses the upgrade\n"
         "  --help               show this text\n";
}

}  // namespace norix::sim
