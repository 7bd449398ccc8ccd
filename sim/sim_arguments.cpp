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
    kRefuseCountry
  };
  static constexpr std::array<cli::Option, 11> kOptions{{
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
         "  -h, --help           show this text and end\n"
         "  --version            show the program's version and end\n";
}

}  // namespace norix::sim
