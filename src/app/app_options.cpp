#include "app/app_options.h"

#include <array>

#include "platform/cli/options.h"
#include "sim/model_registry.h"

namespace norix::app {

namespace cli = platform::cli;

namespace {

bool IsSet(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

AppOptions ParseAppOptions(std::span<const std::string_view> arguments) {
  enum Key : int { kSimulate = 0x200, kListModels, kTerminal, kTrace };
  static constexpr std::array<cli::Option, 6> kOptions{{
      cli::kHelpOption,
      cli::kVersionOption,
      {"simulate", '\0', false, kSimulate},
      {"list-models", '\0', false, kListModels},
      {"terminal", '\0', false, kTerminal},
      {"trace", '\0', true, kTrace},
  }};
  AppOptions options;
  const auto onOption = [&options](int key, const std::string& value, cli::Following& following) {
    switch (key) {
      case cli::kHelpKey:
        options.help = true;
        break;
      case cli::kVersionKey:
        options.version = true;
        break;
      case kListModels:
        options.listModels = true;
        break;
      case kTerminal:
        options.terminal = true;
        break;
      case kTrace:
        options.trace = value;
        break;
      case kSimulate: {
        const std::size_t before = options.simulate.size();
        const auto isModel = [](std::string_view word) { return sim::FindModel(word) != nullptr; };
        while (auto model = following.TakeIf(isModel)) {
          options.simulate.push_back(std::move(*model));
        }
        if (options.simulate.size() == before) {
          options.simulate.emplace_back(kDefaultSimulatedModel);
        }
        break;
      }
      default:
        break;
    }
    return std::string();
  };
  const cli::ParsedCommandLine parsed = cli::ParseCommandLine(arguments, kOptions, onOption);
  options.error = parsed.error;
  for (const std::string& word : parsed.operands) {
    if (!options.commandLine.empty()) {
      options.commandLine += ' ';
    }
    options.commandLine += word;
  }
  return options;
}

std::string AppUsage() {
  return "usage: norix-config [LANGUAGE] [--simulate [MODEL...]] [--terminal] [--trace FILE]\n"
         "       norix-config --list-models | --help | --version\n"
         "Configures NORIX modems and ISDN terminal adapters.\n"
         "  LANGUAGE       the language of the texts: dk, n, s, d, f or uk (any case);\n"
         "                 without it the regional settings decide\n"
         "  --simulate     serve simulated products on pseudo-terminals and list them as\n"
         "                 line devices, so the wizard runs without hardware; model names\n"
         "                 may follow (default: " +
         std::string(kDefaultSimulatedModel) +
         ")\n"
         "  --terminal     show the pages on the terminal (the choice without a display)\n"
         "  --trace FILE   write every byte exchanged with the products to FILE, with\n"
         "                 the time, the direction and the port speed\n"
         "  --list-models  list the models --simulate knows\n"
         "  -h, --help     show this text and end\n"
         "  --version      show the program's version and end\n"
         "Line devices come from ~/.config/norix/lines.conf, /etc/norix/lines.conf and\n"
         "/dev/serial/by-id.\n";
}

bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform) {
  return IsSet(display) || IsSet(waylandDisplay) || IsSet(qtPlatform);
}

std::string NoDisplayMessage() {
  return "norix-config: no display to show the pages on (neither DISPLAY nor WAYLAND_DISPLAY "
         "is set).\n"
         "Start it on a graphical desktop or in a terminal, or run it without a screen with\n"
         "  QT_QPA_PLATFORM=offscreen norix-config ...\n"
         "(the pages are then drawn off screen, where nobody can answer them).\n";
}

std::optional<FrontEnd> ChooseFrontEnd(bool terminalAsked, bool displayAvailable, bool qtBuilt,
                                       bool terminalBuilt) {
  if (terminalAsked) {
    return terminalBuilt ? std::optional(FrontEnd::kTerminal) : std::nullopt;
  }
  if (displayAvailable && qtBuilt) {
    return FrontEnd::kQt;
  }
  return terminalBuilt ? std::optional(FrontEnd::kTerminal) : std::nullopt;
}

}  // namespace norix::app
