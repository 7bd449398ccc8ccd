#include "command_line.h"

#include <charconv>
#include <string_view>

#include "platform/cli/options.h"

namespace norix::tools::lfu {

std::optional<std::string> ParsedArguments::Option(const std::string& name) const {
  const auto found = options.find(name);
  if (found == options.end()) {
    return std::nullopt;
  }
  return found->second;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                               const std::set<std::string>& valueOptions,
                               const std::set<std::string>& flagOptions) {
  constexpr int kFirstKey = 0x200;
  std::vector<std::string> names;
  std::vector<platform::cli::Option> options;
  for (const auto* group : {&valueOptions, &flagOptions}) {
    for (const std::string& name : *group) {
      names.push_back(name);
    }
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    options.push_back({names[i].c_str(), '\0', valueOptions.count(names[i]) != 0,
                       kFirstKey + static_cast<int>(i)});
  }
  ParsedArguments parsed;
  const std::vector<std::string_view> views(arguments.begin(), arguments.end());
  const auto result = platform::cli::ParseCommandLine(
      views, options,
      [&](int key, const std::string& value, platform::cli::Following&) -> std::string {
        const std::string& name = names[static_cast<std::size_t>(key - kFirstKey)];
        if (flagOptions.count(name) != 0) {
          parsed.flags.insert(name);
        } else if (!parsed.options.emplace(name, value).second) {
          return "option --" + name + " given twice";
        }
        return {};
      });
  parsed.positional = result.operands;
  parsed.error = result.error;
  return parsed;
}

std::optional<unsigned long long> ParseCount(const std::string& text, unsigned long long maximum) {
  int base = 10;
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  unsigned long long value = 0;
  const auto* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  if (digits.empty() || error != std::errc() || stop != end || value > maximum) {
    return std::nullopt;
  }
  return value;
}

}  // namespace norix::tools::lfu
