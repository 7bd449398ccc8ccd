#include "app/app_options.h"

#include "sim/model_registry.h"

namespace norix::app {

namespace {

bool IsSet(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

AppOptions ParseAppOptions(std::span<const std::string_view> arguments) {
  AppOptions options;
  std::vector<std::string_view> words;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--list-models") {
      options.listModels = true;
    } else if (argument == "--terminal") {
      options.terminal = true;
    } else if (argument == "--simulate") {
      const std::size_t before = options.simulate.size();
      while (i + 1 < arguments.size() && sim::FindModel(arguments[i + 1]) != nullptr) {
        options.simulate.emplace_back(arguments[++i]);
      }
      if (options.simulate.size() == before) {
        options.simulate.emplace_back(kDefaultSimulatedModel);
      }
    } else if (argument.size() > 1 && argument.front() == '-') {
      options.error = "unknown option \"" + std::string(argument) + "\"";
      return options;
    } else {
      words.push_back(argument);
    }
  }
  for (const std::string_view word : words) {
    if (!options.commandLine.empty()) {
      options.commandLine += ' ';
    }
    options.commandLine += word;
  }
  return options;
}

std::string AppUsage() {
  return "usage: norix-config [LANGUAGE] [--simulate [MODEL...]] [--terminal] [--list-models]\n"
         "Configures NORIX modems and ISDN terminal adapters.\n"
         "  LANGUAGE       the language of the texts: dk, n, s, d, f or uk (any case);\n"
         "                 without it the regional settings decide\n"
         "  --simulate     serve simulated products on pseudo-terminals and list them as\n"
         "                 line devices, so the wizard runs without hardware; model names\n"
         "                 may follow (default: " +
         std::string(kDefaultSimulatedModel) +
         ")\n"
         "  --terminal     show the pages on the terminal (the choice without a display)\n"
         "  --list-models  list the models --simulate knows\n"
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
