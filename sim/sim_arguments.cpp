#include "sim/sim_arguments.h"

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
    if (arg.starts_with("-")) {
      // Options with a value: "--delay 50" or "--delay=50".
      std::string_view value;
      bool hasValue = false;
      if (const auto eq = arg.find('='); eq != std::string_view::npos) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        hasValue = true;
      }
      const bool textValue = arg == "--fail" || arg == "--no-answer" || arg == "--preset";
      if (!textValue && arg != "--delay" && arg != "--pause" && arg != "--garble" &&
          arg != "--line-delay" && arg != "--store-failures" && arg != "--refuse-country") {
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
      if (textValue) {
        if (value.size() < 3 || !(value[0] == 'A' || value[0] == 'a') ||
            !(value[1] == 'T' || value[1] == 't')) {
          result.error = std::string(arg) + " takes an AT command (\"AT&Z*2=\"), not \"" +
                         std::string(value) + "\"";
          break;
        }
        auto& commands = arg == "--fail"        ? result.options.failingCommands
                         : arg == "--no-answer" ? result.options.unansweredCommands
                                                : result.options.presetCommands;
        commands.emplace_back(value);
        continue;
      }
      std::uint32_t max = kMaxMilliseconds;
      if (arg == "--garble") {
        max = 1'000'000U;
      } else if (arg == "--store-failures") {
        max = kMaxStoreFailures;
      } else if (arg == "--refuse-country") {
        max = kMaxDiallingCode;
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
         "  --fail COMMAND       answer ERROR to every command that begins so\n"
         "                       (\"AT&Z*2=\": every write of that slot) and ignore it;\n"
         "                       may be given more than once\n"
         "  --no-answer COMMAND  the same, but answer nothing at all\n"
         "  --preset LINE        run the command line once at start, as state the\n"
         "                       product was left in (\"AT&Z*0=4711\"); repeatable\n"
         "  --help               show this text\n";
}

}  // namespace norix::sim
