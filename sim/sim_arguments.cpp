#include "sim/sim_arguments.h"

#include <array>
#include <charconv>
#include <chrono>
#include <optional>

#include "platform/cli/options.h"
#include "sim/country_table.h"
#include "sim/model_registry.h"

namespace norix::sim {
namespace {

namespace cli = platform::cli;

constexpr std::uint32_t kMaxMilliseconds = 600'000;
constexpr std::uint32_t kMaxStoreFailures = 1000;
constexpr std::uint32_t kMaxDiallingCode = 999;
constexpr std::uint32_t kMaxPercent = 1000;            // --upgrade-time, --silent-upgrade
constexpr std::uint32_t kMaxByteCount = 100'000'000;  // --cut-loader, --cut-firmware, --corrupt

std::optional<std::uint32_t> WholeNumber(std::string_view text, std::uint32_t max) {
  std::uint32_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end || value > max) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

SimArguments ParseSimArguments(std::span<const std::string_view> arguments) {
  enum Key : int {
    kList = 0x200,
    kPace,
    kNoDialtone,
    kDelay,
    kPause,
    kGarble,
    kLineDelay,
    kStoreFailures,
    kRefuseCountry,
    kRefuseDevice,
    kUpgradeTime,
    kRestartTime,
    kPowerOff,
    kCutLoader,
    kCutFirmware,
    kSilentUpgrade,
    kCorrupt,
    kWithdrawService,
    kGarbleService,
    kRefuseServiceWrite
  };
  static constexpr std::array<cli::Option, 22> kOptions{{
      cli::kHelpOption,
      cli::kVersionOption,
      {"list", '\0', false, kList},
      {"pace", '\0', false, kPace},
      {"no-dialtone", '\0', false, kNoDialtone},
      {"delay", '\0', true, kDelay},
      {"pause", '\0', true, kPause},
      {"garble", '\0', true, kGarble},
      {"line-delay", '\0', true, kLineDelay},
      {"store-failures", '\0', true, kStoreFailures},
      {"refuse-country", '\0', true, kRefuseCountry},
      {"refuse-device", '\0', false, kRefuseDevice},
      {"upgrade-time", '\0', true, kUpgradeTime},
      {"restart-time", '\0', true, kRestartTime},
      {"power-off", '\0', true, kPowerOff},
      {"cut-loader", '\0', true, kCutLoader},
      {"cut-firmware", '\0', true, kCutFirmware},
      {"silent-upgrade", '\0', true, kSilentUpgrade},
      {"corrupt", '\0', true, kCorrupt},
      {"withdraw-service", '\0', true, kWithdrawService},
      {"garble-service", '\0', true, kGarbleService},
      {"refuse-service-write", '\0', true, kRefuseServiceWrite},
  }};
  SimArguments result;
  ProductOptions& options = result.options;
  const auto onOption = [&](int key, const std::string& value, cli::Following&) -> std::string {
    std::uint32_t max = kMaxMilliseconds;
    std::string name;
    switch (key) {
      case cli::kHelpKey:
        result.help = true;
        return {};
      case cli::kVersionKey:
        result.version = true;
        return {};
      case kList:
        result.list = true;
        return {};
      case kPace:
        options.pace = true;
        return {};
      case kNoDialtone:
        options.dialTone = false;
        return {};
      case kRefuseDevice:
        options.upgrade.refuseDevice = true;
        return {};
      case kUpgradeTime:
        max = kMaxPercent;
        name = "--upgrade-time";
        break;
      case kRestartTime:
        name = "--restart-time";
        break;
      case kPowerOff:
        name = "--power-off";
        break;
      case kCutLoader:
        max = kMaxByteCount;
        name = "--cut-loader";
        break;
      case kCutFirmware:
        max = kMaxByteCount;
        name = "--cut-firmware";
        break;
      case kSilentUpgrade:
        max = kMaxPercent;
        name = "--silent-upgrade";
        break;
      case kCorrupt:
        max = kMaxByteCount;
        name = "--corrupt";
        break;
      // Options naming a provider service command.
      case kWithdrawService:
      case kGarbleService:
      case kRefuseServiceWrite:
        if (value.empty()) {
          return std::string(key == kWithdrawService ? "--withdraw-service"
                             : key == kGarbleService ? "--garble-service"
                                                     : "--refuse-service-write") +
                 " needs a command name (*S2, *DP, %U)";
        }
        if (key == kWithdrawService) {
          options.withdrawnServices.push_back(value);
        } else if (key == kGarbleService) {
          options.garbledService = value;
        } else {
          options.refusedServiceWrite = value;
        }
        return {};
      case kGarble:
        max = 1'000'000U;
        name = "--garble";
        break;
      case kStoreFailures:
        max = kMaxStoreFailures;
        name = "--store-failures";
        break;
      case kRefuseCountry:
        max = kMaxDiallingCode;
        name = "--refuse-country";
        break;
      case kDelay:
        name = "--delay";
        break;
      case kPause:
        name = "--pause";
        break;
      default:
        name = "--line-delay";
        break;
    }
    const auto number = WholeNumber(value, max);
    if (!number) {
      return name + " takes a whole number from 0 to " + std::to_string(max) + ", not \"" + value +
             "\"";
    }
    switch (key) {
      case kDelay:
        options.replyDelay = std::chrono::milliseconds(*number);
        break;
      case kPause:
        options.resultPause = std::chrono::milliseconds(*number);
        break;
      case kLineDelay:
        options.lineDelay = std::chrono::milliseconds(*number);
        break;
      case kStoreFailures:
        options.storeFailures = *number;
        break;
      case kUpgradeTime:
        options.upgrade.timePercent = *number;
        break;
      case kRestartTime:
        options.upgrade.restartTime = std::chrono::milliseconds(*number);
        break;
      case kPowerOff:
        options.upgrade.powerOffTime = std::chrono::milliseconds(*number);
        break;
      case kCutLoader:
        options.upgrade.powerCutLoader = *number;
        break;
      case kCutFirmware:
        options.upgrade.powerCutFirmware = *number;
        break;
      case kSilentUpgrade:
        options.upgrade.silentRequests = *number;
        break;
      case kCorrupt:
        options.upgrade.corruptEvery = *number;
        break;
      case kRefuseCountry: {
        const auto code = static_cast<std::uint16_t>(*number);
        if (FindCountry(code) == nullptr) {
          return "--refuse-country takes the dialling code of a country the products know (46 "
                 "for Sweden), not \"" +
                 value + "\"";
        }
        options.refusedCountry = code;
        break;
      }
      default:
        options.garbleEvery = *number;
        break;
    }
    return {};
  };
  const cli::ParsedCommandLine parsed = cli::ParseCommandLine(arguments, kOptions, onOption);
  result.error = parsed.error;
  for (const std::string& model : parsed.operands) {
    if (!result.error.empty()) {
      break;
    }
    if (FindModel(model) == nullptr) {
      result.error = "unknown model \"" + model + "\" (norix-sim --list names them)";
    } else {
      result.models.push_back(model);
    }
  }
  if (result.error.empty() && !result.help && !result.version && !result.list &&
      result.models.empty()) {
    result.error = "no model given";
  }
  return result;
}

std::string SimUsage() {
  return "usage: norix-sim [OPTION...] MODEL...\n"
         "       norix-sim --list | --help | --version\n"
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
         "  --withdraw-service NAME  a KOMET II knows no provider service command\n"
         "                       NAME (*S0 to *S10, *SD, *SN, *3P0 to *3P3, &Z#L, *DP,\n"
         "                       S202, S152, %U): it answers ERROR; may be repeated\n"
         "  --garble-service NAME  the query NAME answers with '*' and '#' garbled\n"
         "  --refuse-service-write NAME  writes of NAME answer ERROR\n"
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
         "  -h, --help           show this text and end\n"
         "  --version            show the program's version and end\n";
}

}  // namespace norix::sim
