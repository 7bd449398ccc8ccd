// The command lines of the programs (norix-config, norix-probe, norix-at,
// norix-lfu, norix-sim, norix-line), parsed one way: getopt_long, so every
// program takes options as other Linux programs do. Options and other
// arguments may come in any order; a value follows its option as the next
// argument or after "=" ("--speed 9600", "--speed=9600", "-s 9600"); a long
// option is written in full; "--" ends the options.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::cli {

struct Option {
  const char* name;  // the long name without "--"
  char shortName;    // '\0' for none
  bool takesValue;
  int key;  // handed to the handler; any number but '?' and ':'
};

// Keys and entries for the two options every program has.
inline constexpr int kHelpKey = 'h';
inline constexpr int kVersionKey = 0x100;
inline constexpr Option kHelpOption{"help", 'h', false, kHelpKey};
inline constexpr Option kVersionOption{"version", '\0', false, kVersionKey};

// The arguments after the option being handled, for an option followed by a
// list of words (norix-config --simulate MODEL...).
class Following {
 public:
  virtual ~Following() = default;
  // Takes the next argument when it is there, is no option and `accept`
  // says yes; nothing otherwise.
  virtual std::optional<std::string> TakeIf(
      const std::function<bool(std::string_view)>& accept) = 0;
};

// Called for each option in order with its key and value ("" without one).
// Returns an error text that ends the parse, or "" to go on.
using OptionHandler =
    std::function<std::string(int key, const std::string& value, Following& following)>;

struct ParsedCommandLine {
  std::vector<std::string> operands;  // the arguments that are not options, in order
  // "unknown option --x", "--speed needs a value", "--pace takes no value",
  // or a handler's text.
  std::string error;
};

// Parses `arguments` (those after the program name). Stops at the first
// error. Safe to call from any thread (the parses take turns).
[[nodiscard]] ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments,
                                                 std::span<const Option> options,
                                                 const OptionHandler& onOption);

// The arguments of main() after the program name.
[[nodiscard]] std::vector<std::string_view> Arguments(int argc, char** argv);

// The first line of `program --version`: "norix-sim (NORIX Config) 0.1.0".
[[nodiscard]] std::string VersionText(std::string_view program);

}  // namespace norix::platform::cli
