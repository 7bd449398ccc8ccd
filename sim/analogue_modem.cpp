#include "sim/analogue_modem.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "sim/command_interpreter.h"
#include "sim/country_setting.h"
#include "sim/flash_image.h"
#include "sim/outgoing_call.h"

namespace norix::sim {
namespace {

// The volume lives in the profile under one name for both command families.
constexpr const char* kVolumeOption = "VOL";
constexpr unsigned kMaxVolume = 9;
constexpr std::uint32_t kChecksumQuery = 1;
constexpr std::uint32_t kCalibrationQuery = 3;
constexpr const char* kErasedCalibration = "0000";
constexpr std::uint32_t kIdentificationQuery = 3;

using Clock = std::chrono::steady_clock;

class AnalogueModem final : public AnalogueModemPart {
 public:
  explicit AnalogueModem(AnalogueModemData data)
      : data_(std::move(data)),
        country_(data_.gci ? CountryCodeSet::T35 : CountryCodeSet::Nationality, data_.countries,
                 data_.country),
        boot_(data_.boot, !data_.flashDamaged),
        calibration_(data_.calibration) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    if (boot_.Active()) {
      return boot_.AnswersAt(baudRate);
    }
    return std::find(data_.speeds.begin(), data_.speeds.end(), baudRate) != data_.speeds.end();
  }

  [[nodiscard]] std::optional<std::string> RequestLoader() override {
    return boot_.RequestLoader();
  }
  [[nodiscard]] bool BootActive() const override { return boot_.Active(); }
  [[nodiscard]] bool Upgrading() const override { return boot_.Upgrading(); }
  [[nodiscard]] std::string BootAnswer(std::string_view line) const override {
    return boot_.AnswerCommand(line);
  }

  [[nodiscard]] bool WantsLine() const override { return boot_.WantsLine(); }
  void RunOnLine(platform::comm::DeviceEnd& line) override { boot_.RunOnLine(line); }

  [[nodiscard]] bool TakeReprogrammed() override {
    if (!boot_.TakeReprogrammed()) {
      return false;
    }
    // The new firmware sets up its memory afresh.
    country_.ResetToFactory();
    if (!calibration_.empty()) {
      calibration_ = kErasedCalibration;
    }
    return true;
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

  void ApplyOptions(const ProductOptions& options) override {
    country_.Refuse(options.refusedCountry);
    boot_.ApplyOptions(options.upgrade);
  }

  [[nodiscard]] bool InDataMode() const override { return call_.Active() || boot_.Active(); }

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    if (boot_.Active()) {
      return boot_.OnData(bytes, link);
    }
    return call_.Abort(bytes, link);
  }

  [[nodiscard]] std::optional<Clock::time_point> NextTimer() const override {
    if (boot_.Active()) {
      return boot_.NextTimer();
    }
    return call_.Due();
  }

  void OnTimer(ProductLink& link) override {
    if (boot_.Active()) {
      boot_.OnTimer(link);
      return;
    }
    call_.OnTimer(link);
  }

  void AddCommands(CommandSet& commands) override {
    commands.AddAccepted("H", 1);
    commands.Add("D", [this](CommandCursor& args, CommandInterpreter& modem) {
      call_.Dial(args.TakeRest(), modem.Current());
      return CommandOutcome::EndSilently();
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
    if (!calibration_.empty()) {
      commands.Add("\\", [this](CommandCursor& args, CommandInterpreter& modem) {
        if (args.NumberOrZero() != kCalibrationQuery) {
          return CommandOutcome::Error();
        }
        modem.Info(calibration_);
        return CommandOutcome::Next();
      });
      commands.Add("%7", [this](CommandCursor& args, CommandInterpreter&) {
        const std::string_view value = args.TakeRest();
        if (value.size() != 4 || !ParseHex(value, 4)) {
          return CommandOutcome::Error();
        }
        calibration_ = value;
        return CommandOutcome::Next();
      });
    }
    // The flash upgrade: the boot firmware takes over, answering for itself.
    commands.Add("**", [this](CommandCursor&, CommandInterpreter& modem) {
      if (const auto answer = boot_.RequestLoader()) {
        modem.Info(*answer);
      }
      return CommandOutcome::EndSilently();
    });
    country_.AddCommands(commands);
    // The adapters' date query is no modem command: it is refused as a
    // whole rather than read as "?" followed by a dial.
    commands.Add("?DATE",
                 [](CommandCursor&, CommandInterpreter&) { return CommandOutcome::Error(); });
    const char* volume = data_.gci ? "+VOL" : "#VOL";
    const char* revision = data_.gci ? "+GMR" : "#REV";
    commands.Add(volume, [](CommandCursor& args, CommandInterpreter& modem) {
      return VolumeCommand(args.ExtendedArgument(), modem);
    });
    commands.Add(revision, [this](CommandCursor& args, CommandInterpreter& modem) {
      return RevisionCommand(args.ExtendedArgument(), modem);
    });
  }

 private:
  CommandOutcome Identify(std::uint32_t which, CommandInterpreter& modem) const {
    if (which == 5) {
      modem.Info(country_.CurrentText());
      return CommandOutcome::Next();
    }
    const ModemFlash& flash = boot_.Flash();
    if (flash.reprogrammed && (which == kIdentificationQuery || which == kChecksumQuery)) {
      modem.Info(which == kIdentificationQuery ? flash.identification : flash.checksum);
      return CommandOutcome::Next();
    }
    const auto it = data_.identification.find(which);
    if (it == data_.identification.end()) {
      return CommandOutcome::Error();
    }
    modem.Info(it->second);
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
    modem.Info(Revision());
    return CommandOutcome::Next();
  }

  // The revision names the version of the firmware that runs.
  [[nodiscard]] std::string Revision() const {
    const ModemFlash& flash = boot_.Flash();
    const std::string_view version = IdentificationVersion(flash.identification);
    if (!flash.reprogrammed || version.empty()) {
      return data_.revision;
    }
    const std::size_t blank = data_.revision.find(' ');
    return std::string(version) +
           (blank == std::string::npos ? std::string() : data_.revision.substr(blank));
  }

  AnalogueModemData data_;
  CountrySetting country_;
  OutgoingCall call_;
  ModemBootFirmware boot_;
  std::string calibration_;  // kept apart from the profiles
};

}  // namespace

std::unique_ptr<AnalogueModemPart> MakeAnalogueModemPart(AnalogueModemData data) {
  return std::make_unique<AnalogueModem>(std::move(data));
}

std::unique_ptr<Model> MakeAnalogueModem(AnalogueModemData data) {
  return MakeAnalogueModemPart(std::move(data));
}

}  // namespace norix::sim
