#include "sim/analogue_modem.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

#include "sim/command_interpreter.h"

namespace norix::sim {
namespace {

// The volume lives in the profile under one name for both command families.
constexpr const char* kVolumeOption = "VOL";
constexpr unsigned kMaxVolume = 9;

using Clock = std::chrono::steady_clock;

// A T.35 country code as the modem reports it: two upper-case hex digits.
std::string HexCode(unsigned value) {
  std::array<char, 16> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%02X", value));
  return text.data();
}

// A nationality code as the modem reports it: three decimal digits.
std::string DecimalCode(unsigned value) {
  std::array<char, 16> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%03u", value));
  return text.data();
}

class AnalogueModem final : public Model {
 public:
  explicit AnalogueModem(AnalogueModemData data)
      : data_(std::move(data)), country_(data_.country) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return std::find(data_.speeds.begin(), data_.speeds.end(), baudRate) != data_.speeds.end();
  }

  [[nodiscard]] ModemSettings FactorySettings() const override {
    ModemSettings settings = StandardFactorySettings(data_.registerCount);
    settings.options.insert({{"L", 2U},
                             {"M", 1U},
                             {"X", 4U},
                             {"&C", 1U},
                             {"&D", 2U},
                             {"&K", 3U},
                             {kVolumeOption, std::min(data_.volume, kMaxVolume)}});
    return settings;
  }

  [[nodiscard]] bool InDataMode() const override { return dialling_.has_value(); }

  // Any byte from the host while dialling aborts the call; the byte is used up.
  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    if (!dialling_ || bytes.empty()) {
      return 0;
    }
    dialling_.reset();
    link.SendResult(ResultCode::NoCarrier);
    return 1;
  }

  [[nodiscard]] std::optional<Clock::time_point> NextTimer() const override {
    return dialling_ ? std::optional(dialling_->due) : std::nullopt;
  }

  void OnTimer(ProductLink& link) override {
    if (!dialling_) {
      return;
    }
    Dialling& call = *dialling_;
    switch (call.phase) {
      case Dialling::Phase::OffHook:
        if (!link.Options().dialTone && call.detectsDialTone) {
          call.phase = Dialling::Phase::NoDialTone;
          call.due = Clock::now() + call.dialToneWait;
        } else if (call.staysInCommandMode) {
          dialling_.reset();
          link.SendResult(ResultCode::Ok);
        } else {
          call.phase = Dialling::Phase::WaitingForCarrier;
          call.due = Clock::now() + call.carrierWait;
        }
        return;
      case Dialling::Phase::NoDialTone:
        dialling_.reset();
        link.SendResult(ResultCode::NoDialtone);
        return;
      case Dialling::Phase::WaitingForCarrier:
        dialling_.reset();
        link.SendResult(ResultCode::NoCarrier);
        return;
    }
  }

  void AddCommands(CommandSet& commands) override {
    commands.AddAccepted("H", 1);
    commands.Add("D", [this](CommandCursor& args, CommandInterpreter& modem) {
      return Dial(args.TakeRest(), modem.Current());
    });
    commands.AddOption("L", 3);
    commands.AddOption("M", 3);
    commands.AddOption("X", 4);
    commands.AddOption("&C", 1);
    commands.AddOption("&D", 3);
    commands.AddOption("&K", 4);
    commands.AddAccepted("*K", 1);
    commands.Add("I", [this](CommandCursor& args, CommandInterpreter& modem) {
      return Identify(args.NumberOrZero(), modem);
    });
    commands.Add("*N", [](CommandCursor& args, CommandInterpreter&) {
      return (args.Consume("+") || args.Consume("-")) ? CommandOutcome::Next()
                                                      : CommandOutcome::Error();
    });
    if (data_.gci) {
      commands.Add("+GCI", [this](CommandCursor& args, CommandInterpreter& modem) {
        return GciCommand(args.ExtendedArgument(), modem);
      });
      commands.Add("+VOL", [](CommandCursor& args, CommandInterpreter& modem) {
        return VolumeCommand(args.ExtendedArgument(), modem);
      });
      commands.Add("+GMR", [this](CommandCursor& args, CommandInterpreter& modem) {
        return RevisionCommand(args.ExtendedArgument(), modem);
      });
    } else {
      commands.Add(
          "*NC", [this](CommandCursor& args, CommandInterpreter&) { return SetNationality(args); });
      commands.Add("#VOL", [](CommandCursor& args, CommandInterpreter& modem) {
        return VolumeCommand(args.ExtendedArgument(), modem);
      });
      commands.Add("#REV", [this](CommandCursor& args, CommandInterpreter& modem) {
        return RevisionCommand(args.ExtendedArgument(), modem);
      });
    }
  }

 private:
  struct Dialling {
    enum class Phase : std::uint8_t { OffHook, NoDialTone, WaitingForCarrier };
    Phase phase = Phase::OffHook;
    Clock::time_point due;
    std::chrono::seconds dialToneWait{0};
    std::chrono::seconds carrierWait{0};
    bool detectsDialTone = true;
    bool staysInCommandMode = false;
  };

  // Goes off hook and leaves command mode; the timer takes the call on from
  // there. The waits are the S6 and S7 values at the time of dialling.
  CommandOutcome Dial(std::string_view dialString, const ModemSettings& settings) {
    Dialling call;
    call.due = Clock::now();
    call.dialToneWait = std::chrono::seconds(settings.Register(kDialToneWaitRegister));
    call.carrierWait = std::chrono::seconds(settings.Register(kCarrierWaitRegister));
    const unsigned level = settings.Option("X");
    call.detectsDialTone = level == 2 || level == 4;
    call.staysInCommandMode = dialString.ends_with(";");
    dialling_ = call;
    return CommandOutcome::EndSilently();
  }

  [[nodiscard]] bool Supports(std::uint32_t code) const {
    return std::find(data_.countries.begin(), data_.countries.end(), code) != data_.countries.end();
  }

  [[nodiscard]] std::string CountryText() const {
    return data_.gci ? HexCode(country_) : DecimalCode(country_);
  }

  CommandOutcome Identify(std::uint32_t which, CommandInterpreter& modem) const {
    if (which == 5) {
      modem.Info(CountryText());
      return CommandOutcome::Next();
    }
    const auto it = data_.identification.find(which);
    if (it == data_.identification.end()) {
      return CommandOutcome::Error();
    }
    modem.Info(it->second);
    return CommandOutcome::Next();
  }

  // "+GCI?" reports the country, "+GCI=?" the supported ones, "+GCI=xx" sets
  // one of them.
  CommandOutcome GciCommand(std::string_view argument, CommandInterpreter& modem) {
    if (argument == "?") {
      modem.Info("+GCI: " + CountryText());
      return CommandOutcome::Next();
    }
    if (argument == "=?") {
      std::string list = "+GCI: (";
      for (std::size_t i = 0; i < data_.countries.size(); ++i) {
        list += (i == 0 ? "" : ",") + HexCode(data_.countries[i]);
      }
      modem.Info(list + ")");
      return CommandOutcome::Next();
    }
    if (!argument.starts_with("=")) {
      return CommandOutcome::Error();
    }
    const auto code = ParseHex(argument.substr(1), 2);
    if (!code || !Supports(*code)) {
      return CommandOutcome::Error();
    }
    country_ = static_cast<std::uint16_t>(*code);
    return CommandOutcome::Next();
  }

  // "*NCnnn": the nationality code as three digits (fewer are taken too);
  // commands may follow at once, as in "ATI5*NC003Z".
  CommandOutcome SetNationality(CommandCursor& args) {
    std::uint32_t code = 0;
    std::size_t digits = 0;
    while (digits < 3 && args.Peek() >= '0' && args.Peek() <= '9') {
      code = code * 10 + static_cast<std::uint32_t>(args.Peek() - '0');
      args.Advance(1);
      ++digits;
    }
    if (digits == 0 || !Supports(code)) {
      return CommandOutcome::Error();
    }
    country_ = static_cast<std::uint16_t>(code);
    return CommandOutcome::Next();
  }

  // "?" reports the volume as a bare digit (callers keep its first
  // character to put it back later), "=n" sets it.
  static CommandOutcome VolumeCommand(std::string_view argument, CommandInterpreter& modem) {
    if (argument == "?") {
      modem.Info(std::to_string(modem.Current().Option(kVolumeOption)));
      return CommandOutcome::Next();
    }
    if (argument == "=?") {
      modem.Info("(0-" + std::to_string(kMaxVolume) + ")");
      return CommandOutcome::Next();
    }
    const auto volume = argument.starts_with("=") ? ParseDecimal(argument.substr(1), 1)
                                                  : std::optional<std::uint32_t>{};
    if (!volume || *volume > kMaxVolume) {
      return CommandOutcome::Error();
    }
    modem.Current().options[kVolumeOption] = *volume;
    return CommandOutcome::Next();
  }

  // Answered with or without the "?".
  CommandOutcome RevisionCommand(std::string_view argument, CommandInterpreter& modem) const {
    if (!argument.empty() && argument != "?") {
      return CommandOutcome::Error();
    }
    modem.Info(data_.revision);
    return CommandOutcome::Next();
  }

  AnalogueModemData data_;
  std::uint16_t country_;  // kept apart from the profiles: AT&F and ATZ leave it alone
  std::optional<Dialling> dialling_;
};

}  // namespace

std::unique_ptr<Model> MakeAnalogueModem(AnalogueModemData data) {
  return std::make_unique<AnalogueModem>(std::move(data));
}

}  // namespace norix::sim
