#include "sim/country_setting.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "sim/command_interpreter.h"
#include "sim/country_table.h"

namespace norix::sim {

std::string HexCode(unsigned value) {
  std::array<char, 16> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%02X", value));
  return text.data();
}

std::string DecimalCode(unsigned value) {
  std::array<char, 16> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%03u", value));
  return text.data();
}

CountrySetting::CountrySetting(CountryCodeSet codeSet, std::vector<std::uint16_t> supported,
                               std::uint16_t factory)
    : codeSet_(codeSet), supported_(std::move(supported)), factory_(factory), current_(factory) {}

void CountrySetting::Refuse(std::optional<std::uint16_t> diallingCode) {
  refused_.reset();
  if (!diallingCode) {
    return;
  }
  if (const Country* country = FindCountry(*diallingCode)) {
    refused_ = codeSet_ == CountryCodeSet::T35 ? country->t35Code : country->nationalityCode;
  }
}

std::string CountrySetting::CurrentText() const {
  return codeSet_ == CountryCodeSet::T35 ? HexCode(current_) : DecimalCode(current_);
}

bool CountrySetting::Set(std::uint32_t code) {
  if (std::find(supported_.begin(), supported_.end(), code) == supported_.end() ||
      (refused_ && *refused_ == code)) {
    return false;
  }
  current_ = static_cast<std::uint16_t>(code);
  return true;
}

void CountrySetting::AddCommands(CommandSet& commands) {
  commands.Add("*N", [](CommandCursor& args, CommandInterpreter&) {
    return (args.Consume("+") || args.Consume("-")) ? CommandOutcome::Next()
                                                    : CommandOutcome::Error();
  });
  if (codeSet_ == CountryCodeSet::T35) {
    // "+GCI?" reports the country, "+GCI=?" the supported ones, "+GCI=xx"
    // sets one of them.
    commands.Add("+GCI", [this](CommandCursor& args, CommandInterpreter& product) {
      const std::string_view argument = args.ExtendedArgument();
      if (argument == "?") {
        product.Info("+GCI: " + CurrentText());
        return CommandOutcome::Next();
      }
      if (argument == "=?") {
        std::string list = "+GCI: (";
        for (std::size_t i = 0; i < supported_.size(); ++i) {
          list += (i == 0 ? "" : ",") + HexCode(supported_[i]);
        }
        product.Info(list + ")");
        return CommandOutcome::Next();
      }
      if (!argument.starts_with("=")) {
        return CommandOutcome::Error();
      }
      const auto code = ParseHex(argument.substr(1), 2);
      return (code && Set(*code)) ? CommandOutcome::Next() : CommandOutcome::Error();
    });
    return;
  }
  // "*NCnnn": up to three digits are the code, the rest of the line goes on.
  commands.Add("*NC", [this](CommandCursor& args, CommandInterpreter&) {
    std::uint32_t code = 0;
    std::size_t digits = 0;
    while (digits < 3 && args.Peek() >= '0' && args.Peek() <= '9') {
      code = code * 10 + static_cast<std::uint32_t>(args.Peek() - '0');
      args.Advance(1);
      ++digits;
    }
    return (digits > 0 && Set(code)) ? CommandOutcome::Next() : CommandOutcome::Error();
  });
}

}  // namespace norix::sim
