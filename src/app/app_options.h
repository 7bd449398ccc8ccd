// The command line of norix-config: the program's own language token plus
// the options of this build (simulated products, help).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norix::app {

// The product served by a bare --simulate.
inline constexpr std::string_view kDefaultSimulatedModel = "netrunner56k";

struct AppOptions {
  bool help = false;
  bool version = false;
  bool listModels = false;
  bool terminal = false;  // show the pages on the terminal, display or not
  // The file that gets the transcript of every byte exchanged with the
  // products (--trace); empty for none.
  std::string trace;
  // The arguments that are not options, joined by single blanks: the
  // command line the program takes its language token from ("dk").
  std::string commandLine;
  // Simulator models to serve on ptys, one product each, in order.
  std::vector<std::string> simulate;
  // Whether the run keeps to one instance per user (tests turn it off).
  bool singleInstance = true;
  std::string error;  // set when the command line is unusable
};

// Parses the arguments after the program name (platform/cli/options.h):
//   --simulate [MODEL...]  serve simulated products (known model names follow
//                          the option; none: kDefaultSimulatedModel)
//   --list-models          list the simulator's models
//   --terminal             the terminal front end
//   --trace FILE           write the transcript of the port traffic to FILE
//   --help, -h; --version
// Any other option is an error; the other arguments make up the language
// command line, joined by blanks.
[[nodiscard]] AppOptions ParseAppOptions(std::span<const std::string_view> arguments);

// The text of norix-config --help.
[[nodiscard]] std::string AppUsage();

// Whether a display is there to show the pages on: an X11 or Wayland display
// is named, or Qt is told which platform to use (QT_QPA_PLATFORM, e.g.
// "offscreen"). Each value may be null (unset); empty counts as unset.
[[nodiscard]] bool DisplayAvailable(const char* display, const char* waylandDisplay,
                                    const char* qtPlatform);

// What to tell a user who started the program where no front end of this
// build can show the pages.
[[nodiscard]] std::string NoDisplayMessage();

enum class FrontEnd : std::uint8_t { kQt, kTerminal };

// Which front end shows the pages: the terminal when asked for; else Qt
// where there is a display; else the terminal. Only front ends this build
// has are chosen; nullopt when none of them can.
[[nodiscard]] std::optional<FrontEnd> ChooseFrontEnd(bool terminalAsked, bool displayAvailable,
                                                     bool qtBuilt, bool terminalBuilt);

}  // namespace norix::app
