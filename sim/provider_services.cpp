#include "sim/provider_services.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

#include "sim/command_interpreter.h"

namespace norix::sim {
namespace {

constexpr std::uint32_t kPortabilityIndex = 10;
constexpr std::uint32_t kCancelFlag = 2;
constexpr unsigned kMostGroupCode = 999;
constexpr unsigned kMostDataPort = 3;
constexpr std::size_t kMostDigits = 4;
constexpr std::size_t kMostNumber = 20;

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) {
      return parts;
    }
    start = comma + 1;
  }
}

bool IsKey(std::string_view part) { return part == "*" || part == "#"; }

bool DialText(std::string_view text, std::size_t most) {
  return text.size() <= most &&
         text.find_first_not_of("0123456789rwRW*#") == std::string_view::npos;
}

// "p,d,s": a key, one to four dialling digits, a key.
bool ValidCode(std::string_view prefix, std::string_view digits, std::string_view suffix) {
  return IsKey(prefix) && !digits.empty() && DialText(digits, kMostDigits) && IsKey(suffix);
}

std::string Join(std::string_view a, std::string_view b, std::string_view c) {
  return std::string(a) + "," + std::string(b) + "," + std::string(c);
}

std::string ThreeDigits(unsigned value) {
  std::array<char, 8> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%03u", value));
  return text.data();
}

char Flag(bool set) { return set ? '1' : '0'; }

}  // namespace

ProviderServiceData KometProviderServices() {
  ProviderServiceData data;
  data.services = {{
      {false, "*,31,*", false, "", '#', ""},
      {true, "*,43,#", false, "", '#', "#,43,#"},
      {true, "*,21,*", true, "0301234567", '#', "#,21,#"},
      {false, "*,67,*", true, "", '#', "#,67,#"},
      {false, "*,61,*", true, "08954321", '#', "#,61,#"},
      {false, "*,00,*", false, "", '#', ""},
      {false, "*,33,*", true, "4711", '#', "#,33,*"},
      {false, "*,53,*", true, "110", '#', "#,53,#"},
      {false, "*,26,#", false, "", '#', "#,26,#"},
      {false, "*,5,*", false, "", '#', ""},
  }};
  return data;
}

void ProviderServiceSettings::ApplyOptions(const ProductOptions& options) {
  withdrawn_ = options.withdrawnServices;
  garbled_ = options.garbledService;
  refusedWrite_ = options.refusedServiceWrite;
}

bool ProviderServiceSettings::Withdrawn(const std::string& name) const {
  return std::any_of(withdrawn_.begin(), withdrawn_.end(),
                     [&name](const std::string& w) { return EqualNoCase(w, name); });
}

bool ProviderServiceSettings::Refused(const std::string& name) const {
  return Withdrawn(name) || (!refusedWrite_.empty() && EqualNoCase(refusedWrite_, name));
}

std::string ProviderServiceSettings::Garble(const std::string& name, std::string line) const {
  if (!garbled_.empty() && EqualNoCase(garbled_, name)) {
    std::replace(line.begin(), line.end(), '*', '?');
    std::replace(line.begin(), line.end(), '#', '?');
  }
  return line;
}

void ProviderServiceSettings::AddCommands(CommandSet& commands) {
  // *S0 to *S9: the supplementary services; *S10: terminal portability.
  commands.Add("*S", [this](CommandCursor& args, CommandInterpreter& adapter) {
    const auto index = args.Number();
    if (!index || *index > kPortabilityIndex) {
      return CommandOutcome::Error();
    }
    const std::string name = "*S" + std::to_string(*index);
    const bool query = args.Consume("?");
    if (!query && !args.Consume("=")) {
      return CommandOutcome::Error();
    }
    if (query ? Withdrawn(name) : Refused(name)) {
      return CommandOutcome::Error();
    }
    const std::vector<std::string_view> parts = Split(args.ExtendedArgument());
    if (*index == kPortabilityIndex) {
      if (query) {
        adapter.Info(
            Garble(name, std::string(1, Flag(data_.portabilityOn)) + "," + data_.portabilityKey));
        return CommandOutcome::Next();
      }
      if (parts.size() != 2 || (parts[0] != "0" && parts[0] != "1") || !IsKey(parts[1])) {
        return CommandOutcome::Error();
      }
      data_.portabilityOn = parts[0] == "1";
      data_.portabilityKey = parts[1][0];
      return CommandOutcome::Next();
    }
    SimulatedService& service = data_.services.at(*index);
    if (query) {
      std::string line = std::string(1, Flag(service.on)) + "," + service.activation;
      if (service.hasNumber) {
        line += "," + service.number + "," + service.numberSuffix;
      }
      adapter.Info(Garble(name, line));
      if (!service.cancel.empty()) {
        adapter.Info(Garble(name, service.cancel));
      }
      return CommandOutcome::Next();
    }
    if (parts.size() == 4 && parts[0] == "2" && !service.cancel.empty() &&
        ValidCode(parts[1], parts[2], parts[3])) {
      service.cancel = Join(parts[1], parts[2], parts[3]);
      return CommandOutcome::Next();
    }
    const std::size_t expected = service.hasNumber ? 6 : 4;
    if (parts.size() != expected || (parts[0] != "0" && parts[0] != "1") ||
        !ValidCode(parts[1], parts[2], parts[3]) ||
        (service.hasNumber && (!DialText(parts[4], kMostNumber) || !IsKey(parts[5])))) {
      return CommandOutcome::Error();
    }
    service.on = parts[0] == "1";
    service.activation = Join(parts[1], parts[2], parts[3]);
    if (service.hasNumber) {
      service.number = std::string(parts[4]);
      service.numberSuffix = parts[5][0];
    }
    return CommandOutcome::Next();
  });

  const auto flagSetting = [this](std::string name, bool& value, bool setWhenOne) {
    return [this, name = std::move(name), &value, setWhenOne](CommandCursor& args,
                                                              CommandInterpreter& adapter) {
      if (args.Consume("?")) {
        if (Withdrawn(name)) {
          return CommandOutcome::Error();
        }
        adapter.Info(std::string(1, Flag(value == setWhenOne)));
        return CommandOutcome::Next();
      }
      const auto number = args.Consume("=") ? args.Number() : std::nullopt;
      if (!number || *number > 1 || Refused(name)) {
        return CommandOutcome::Error();
      }
      value = (*number == 1) == setWhenOne;
      return CommandOutcome::Next();
    };
  };
  commands.Add("*SD", flagSetting("*SD", data_.voiceOnly, false));
  commands.Add("*SN", flagSetting("*SN", data_.showNumber, true));

  // Line functions; one line may set several: "*3P0=1,0*3P1=0,1".
  commands.Add("*3P", [this](CommandCursor& args, CommandInterpreter& adapter) {
    const auto index = args.Number();
    if (!index || *index >= data_.lineFunctionsOn.size()) {
      return CommandOutcome::Error();
    }
    const std::string name = "*3P" + std::to_string(*index);
    if (args.Consume("?")) {
      if (Withdrawn(name)) {
        return CommandOutcome::Error();
      }
      adapter.Info(std::string(1, Flag(data_.lineFunctionsOn.at(*index))) + "," +
                   std::to_string(*index));
      return CommandOutcome::Next();
    }
    if (!args.Consume("=") || Refused(name)) {
      return CommandOutcome::Error();
    }
    const auto on = args.Number();
    const bool comma = args.Consume(",");
    const auto digit = args.Number();
    if (!on || *on > 1 || !comma || digit != index) {
      return CommandOutcome::Error();
    }
    data_.lineFunctionsOn.at(*index) = *on == 1;
    return CommandOutcome::Next();
  });

  commands.Add("&Z#L", [this](CommandCursor& args, CommandInterpreter& adapter) {
    if (!args.Consume("?") || Withdrawn("&Z#L")) {
      return CommandOutcome::Error();
    }
    adapter.Info(std::string(1, data_.reservedKey));
    return CommandOutcome::Next();
  });

  commands.Add("*DP", [this](CommandCursor& args, CommandInterpreter& adapter) {
    if (args.Consume("?")) {
      if (Withdrawn("*DP")) {
        return CommandOutcome::Error();
      }
      adapter.Info(Garble("*DP", std::to_string(data_.dataPort)));
      return CommandOutcome::Next();
    }
    const auto value = args.Consume("=") ? args.Number() : std::nullopt;
    if (!value || *value > kMostDataPort || Refused("*DP")) {
      return CommandOutcome::Error();
    }
    data_.dataPort = *value;
    return CommandOutcome::Next();
  });

  // The closed user group's registers, answered as S-registers are.
  const auto groupRegister = [this](std::string name, std::uint8_t& value) {
    return
        [this, name = std::move(name), &value](CommandCursor& args, CommandInterpreter& adapter) {
          if (!args.Consume("?") || Withdrawn(name)) {
            return CommandOutcome::Error();
          }
          adapter.Info(ThreeDigits(value));
          return CommandOutcome::Next();
        };
  };
  commands.Add("S202", groupRegister("S202", data_.s202));
  commands.Add("S152", groupRegister("S152", data_.s152));

  commands.Add("%U", [this](CommandCursor& args, CommandInterpreter& adapter) {
    if (args.Consume("?")) {
      if (Withdrawn("%U")) {
        return CommandOutcome::Error();
      }
      adapter.Info(std::to_string(data_.groupCode));
      return CommandOutcome::Next();
    }
    if (Refused("%U")) {
      return CommandOutcome::Error();
    }
    if (args.Consume("=")) {
      const auto code = args.Number();
      if (!code || *code > kMostGroupCode) {
        return CommandOutcome::Error();
      }
      data_.groupCode = *code;
      return CommandOutcome::Next();
    }
    const auto value = args.Number();
    constexpr std::uint32_t kMostSwitch = 5;
    if (!value || *value > kMostSwitch) {
      return CommandOutcome::Error();
    }
    const bool set = (*value % 2) == 1;
    const auto setBit = [set](std::uint8_t& reg, unsigned bit) {
      reg = static_cast<std::uint8_t>(set ? (reg | (1U << bit)) : (reg & ~(1U << bit)));
    };
    constexpr unsigned kDataBit = 2;
    constexpr unsigned kTeleBit = 3;
    if (*value < 2) {
      setBit(data_.s152, 0);
    } else if (*value < 4) {
      setBit(data_.s202, kDataBit);
    } else {
      setBit(data_.s202, kTeleBit);
    }
    return CommandOutcome::Next();
  });
}

}  // namespace norix::sim
