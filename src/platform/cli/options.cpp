#include "platform/cli/options.h"

#include <mutex>

#include <getopt.h>

namespace norix::platform::cli {

namespace {

// getopt_long keeps its place in globals.
std::mutex& ParseMutex() {
  static std::mutex mutex;
  return mutex;
}

class ArgvFollowing final : public Following {
 public:
  ArgvFollowing(int argc, std::vector<char*>& argv) : argc_(argc), argv_(argv) {}

  std::optional<std::string> TakeIf(const std::function<bool(std::string_view)>& accept) override {
    if (optind >= argc_) {
      return std::nullopt;
    }
    const std::string_view next = argv_[static_cast<std::size_t>(optind)];
    if (next.starts_with('-') || !accept(next)) {
      return std::nullopt;
    }
    // Taken as part of the option: getopt_long goes on after it.
    ++optind;
    return std::string(next);
  }

 private:
  int argc_;
  std::vector<char*>& argv_;
};

// What is wrong with `argument`, which getopt_long did not take.
std::string Refused(std::string_view argument, int shortName, std::span<const Option> options) {
  if (!argument.starts_with("--")) {
    return "unknown option -" + std::string(1, static_cast<char>(shortName));
  }
  const std::string_view name = argument.substr(0, argument.find('='));
  for (const Option& entry : options) {
    if (!entry.takesValue && name.substr(2) == entry.name && name.size() < argument.size()) {
      return std::string(name) + " takes no value";
    }
  }
  return "unknown option " + std::string(name);
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments,
                                   std::span<const Option> options, const OptionHandler& onOption) {
  // getopt_long permutes the vector it is given: hand it copies.
  std::vector<std::string> copies{"program"};
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& copy : copies) {
    argv.push_back(copy.data());
  }
  argv.push_back(nullptr);
  const int argc = static_cast<int>(copies.size());

  // ":" first: a missing value is told apart from an unknown option.
  std::string shortOptions = ":";
  std::vector<::option> longOptions;
  for (const Option& entry : options) {
    longOptions.push_back(
        {entry.name, entry.takesValue ? required_argument : no_argument, nullptr, entry.key});
    if (entry.shortName != '\0') {
      shortOptions += entry.shortName;
      if (entry.takesValue) {
        shortOptions += ':';
      }
    }
  }
  longOptions.push_back({nullptr, 0, nullptr, 0});

  ParsedCommandLine parsed;
  const std::lock_guard lock(ParseMutex());
  optind = 0;  // 0, not 1: glibc starts afresh
  opterr = 0;  // the programs word their own messages
  ArgvFollowing following(argc, argv);
  for (;;) {
    int index = -1;
    const int found =
        getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), &index);
    if (found == -1) {
      break;
    }
    const std::string_view argument = argv[static_cast<std::size_t>(optind - 1)];
    if (found == '?') {
      parsed.error = Refused(argument, optopt, options);
      return parsed;
    }
    if (found == ':') {
      parsed.error = std::string(argument) + " needs a value";
      return parsed;
    }
    int key = found;
    if (index >= 0) {
      // Long options are written in full: a shortened one would change its
      // meaning the day another option shares its beginning.
      const bool valueApart =
          optarg != nullptr && optarg == argv[static_cast<std::size_t>(optind - 1)];
      const std::string_view written =
          valueApart ? std::string_view(argv[static_cast<std::size_t>(optind - 2)]) : argument;
      const std::string_view name = written.substr(0, written.find('='));
      if (name.substr(2) != longOptions[static_cast<std::size_t>(index)].name) {
        parsed.error = "unknown option " + std::string(name);
        return parsed;
      }
    } else {  // a short option: getopt_long hands back its letter
      for (const Option& entry : options) {
        if (entry.shortName != '\0' && entry.shortName == found) {
          key = entry.key;
        }
      }
    }
    parsed.error = onOption(key, optarg != nullptr ? optarg : "", following);
    if (!parsed.error.empty()) {
      return parsed;
    }
  }
  for (int i = optind; i < argc; ++i) {
    parsed.operands.emplace_back(argv[static_cast<std::size_t>(i)]);
  }
  return parsed;
}

std::vector<std::string_view> Arguments(int argc, char** argv) {
  std::vector<std::string_view> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(argv[i]);  // NOLINT(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  }
  return arguments;
}

std::string VersionText(std::string_view program) {
  return std::string(program) + " (NORIX Config) " NORIX_PROGRAM_VERSION;
}

}  // namespace norix::platform::cli
