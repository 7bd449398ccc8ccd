// The tool's command line: "--key value" or "--key=value" options from a
// known list, flags without a value, and positional arguments, parsed the way
// every program of the project parses its options (platform/cli/options.h).
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace norix::tools::lfu {

struct ParsedArguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // by name without "--"
  std::set<std::string> flags;
  std::string error;  // empty when the arguments were understood

  [[nodiscard]] bool ok() const { return error.empty(); }
  [[nodiscard]] std::optional<std::string> Option(const std::string& name) const;
  [[nodiscard]] bool Has(const std::string& name) const { return options.count(name) != 0; }
};

// `valueOptions` take a value, `flagOptions` do not; anything else starting
// with "--" is an error, as is an option given twice.
[[nodiscard]] ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                                             const std::set<std::string>& valueOptions,
                                             const std::set<std::string>& flagOptions);

// A whole decimal number (or hexadecimal with "0x") no larger than `maximum`.
[[nodiscard]] std::optional<unsigned long long> ParseCount(const std::string& text,
                                                           unsigned long long maximum);

}  // namespace norix::tools::lfu
