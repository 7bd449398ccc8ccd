#include "command_line.h"

#include <charconv>

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
  ParsedArguments parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
      parsed.positional.push_back(argument);
      continue;
    }
    std::string name = argument.substr(2);
    std::optional<std::string> value;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (flagOptions.count(name) != 0) {
      if (value) {
        parsed.error = "option --" + name + " takes no value";
        return parsed;
      }
      parsed.flags.insert(name);
      continue;
    }
    if (valueOptions.count(name) == 0) {
      parsed.error = "unknown option --" + name;
      return parsed;
    }
    if (!value) {
      if (i + 1 >= arguments.size()) {
        parsed.error = "option --" + name + " needs a value";
        return parsed;
      }
      value = arguments[++i];
    }
    if (!parsed.options.emplace(name, *value).second) {
      parsed.error = "option --" + name + " given twice";
      return parsed;
    }
  }
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
