#include "sim/isdn_adapter.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <utility>

#include "sim/command_interpreter.h"
#include "sim/country_setting.h"
#include "sim/modem_relay.h"
#include "sim/outgoing_call.h"

namespace norix::sim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kChecksumQuery = 1;
constexpr std::uint32_t kIdentificationQuery = 3;
constexpr std::uint32_t kCountryQuery = 5;
constexpr std::uint32_t kBootCodeQuery = 6;
constexpr std::uint32_t kAddOnReportQuery = 7;
constexpr std::size_t kMsnDigits = 20;

// The modem part's own commands, which an adapter with an internal modem
// answers by asking it.
constexpr std::array<const char*, 4> kModemPartCommands = {"#REV", "#VOL", "+GMR", "+VOL"};

std::optional<AdapterAddOn> AddOnByNumber(std::uint32_t number) {
  for (const AdapterAddOn addOn :
       {AdapterAddOn::None, AdapterAddOn::AnaloguePort, AdapterAddOn::InternalModem}) {
    if (static_cast<std::uint32_t>(addOn) == number) {
      return addOn;
    }
  }
  return std::nullopt;
}

std::string FourHexDigits(std::uint32_t value) {
  std::array<char, 16> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%04X", value));
  return text.data();
}

class IsdnAdapter final : public Model {
 public:
  explicit IsdnAdapter(IsdnAdapterData data)
      : data_(std::move(data)),
        addOn_(data_.addOn),
        msns_(data_.msnSlots),
        boot_(data_.boot, !data_.flashDamaged) {
    if (data_.internalModem) {
      relay_.emplace(*data_.internalModem);
    }
    if (data_.providerServices) {
      services_.emplace(*data_.providerServices);
    }
    if (!data_.countries.empty()) {
      country_.emplace(CountryCodeSet::Nationality, data_.countries, data_.country);
    }
  }

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    if (boot_.Active()) {
      return boot_.AnswersAt(baudRate);
    }
    return data_.boot.anySpeed ||
           std::find(data_.speeds.begin(), data_.speeds.end(), baudRate) != data_.speeds.end();
  }

  [[nodiscard]] ModemSettings FactorySettings() const override {
    ModemSettings settings = StandardFactorySettings(data_.registerCount);
    settings.options.insert({"X", 4U});
    return settings;
  }
  [[nodiscard]] std::size_t ProfileCount() const override { return data_.profileCount; }

  void ApplyOptions(const ProductOptions& options) override {
    if (country_) {
      country_->Refuse(options.refusedCountry);
    }
    if (relay_) {
      relay_->ApplyOptions(options);
    }
    boot_.ApplyOptions(options.upgrade);
    if (services_) {
      services_->ApplyOptions(options);
    }
  }

  [[nodiscard]] bool InDataMode() const override {
    return call_.Active() || boot_.Active() || PartUpgrading();
  }

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    if (boot_.Active()) {
      return boot_.OnData(bytes, link);
    }
    if (PartUpgrading()) {
      return relay_->Part().OnData(bytes, link);
    }
    return call_.Abort(bytes, link);
  }

  [[nodiscard]] bool WantsLine() const override {
    return boot_.WantsLine() || (PartUpgrading() && relay_->Part().WantsLine());
  }
  void RunOnLine(platform::comm::DeviceEnd& line) override {
    if (boot_.WantsLine()) {
      boot_.RunOnLine(line);
    } else if (relay_) {
      relay_->Part().RunOnLine(line);
    }
  }

  [[nodiscard]] bool TakeReprogrammed() override {
    if (!boot_.TakeReprogrammed()) {
      return false;
    }
    // New firmware knows nothing of what the old one kept.
    if (addOn_) {
      addOn_ = AdapterAddOn::None;
    }
    std::fill(msns_.begin(), msns_.end(), std::string());
    if (country_) {
      country_->ResetToFactory();
    }
    return true;
  }

  void AddCommands(CommandSet& commands) override {
    commands.AddAccepted("H", 1);
    commands.AddOption("X", 4);
    commands.AddAccepted("*K", 1);
    commands.Add("D", [this](CommandCursor& args, CommandInterpreter& adapter) {
      call_.Dial(args.TakeRest(), adapter.Current());
      return CommandOutcome::EndSilently();
    });
    if (country_) {
      country_->AddCommands(commands);
    } else {
      commands.Add("*N",
                   [](CommandCursor&, CommandInterpreter&) { return CommandOutcome::Error(); });
    }
    // Taken as a whole even by firmware without a date, which refuses it,
    // rather than as "?" followed by a dial.
    commands.Add("?DATE", [this](CommandCursor&, CommandInterpreter& adapter) {
      if (data_.firmwareDate.empty()) {
        return CommandOutcome::Error();
      }
      adapter.Info(data_.firmwareDate);
      return CommandOutcome::Next();
    });
    if (relay_) {
      for (const char* name : kModemPartCommands) {
        commands.Add(name, [this, name](CommandCursor& args, CommandInterpreter& adapter) {
          return AskModemPart(std::string("AT") + name + std::string(args.ExtendedArgument()),
                              adapter);
        });
      }
    } else if (!data_.revision.empty()) {
      commands.Add("#REV", [this](CommandCursor& args, CommandInterpreter& adapter) {
        const std::string_view argument = args.ExtendedArgument();
        if (!argument.empty() && argument != "?") {
          return CommandOutcome::Error();
        }
        adapter.Info(data_.revision);
        return CommandOutcome::Next();
      });
    }
    commands.Add("I", [this](CommandCursor& args, CommandInterpreter& adapter) {
      return Identify(args.NumberOrZero(), adapter);
    });
    commands.Add("!M", [this](CommandCursor& args, CommandInterpreter& adapter) {
      return ModemPartCommand(args, adapter);
    });
    commands.Add("UPX", [this](CommandCursor&, CommandInterpreter&) {
      boot_.StartUpgrade();
      return CommandOutcome::EndSilently();
    });
    if (data_.boot.bootCodeVersion) {
      commands.Add("UPZ", [this](CommandCursor&, CommandInterpreter&) {
        boot_.StartBootCodeUpgrade();
        return CommandOutcome::EndSilently();
      });
    }
    if (relay_) {
      commands.Add("**", [this](CommandCursor&, CommandInterpreter&) {
        // The part's first answer goes out as it comes, on the echo's line.
        if (const auto answer = relay_->Part().RequestLoader()) {
          relayed_ += *answer + "\r\n";
          relayedDue_ = Clock::now();
        }
        return CommandOutcome::EndSilently();
      });
    }
    if (!msns_.empty()) {
      commands.Add("&Z", [this](CommandCursor& args, CommandInterpreter& adapter) {
        return SubscriberNumber(args, adapter);
      });
    }
    if (data_.profileCount > 1) {
      // A second set of factory settings, the same as the first here.
      commands.Add("&F", [](CommandCursor& args, CommandInterpreter& adapter) {
        if (args.NumberOrZero() > 1) {
          return CommandOutcome::Error();
        }
        adapter.Current() = adapter.Factory();
        return CommandOutcome::Next();
      });
    }
    if (services_) {
      services_->AddCommands(commands);
    }
    if (data_.featureWord) {
      commands.Add("!P", [this](CommandCursor& args, CommandInterpreter& adapter) {
        if (args.NumberOrZero() != 0 || RunningVersion() < data_.featureWordSince) {
          return CommandOutcome::Error();
        }
        adapter.Info(FourHexDigits(*data_.featureWord));
        return CommandOutcome::Next();
      });
    }
  }

  // The relayed answer goes out after the adapter's own, as soon as that is
  // sent; the modem part may have a clock of its own too.
  [[nodiscard]] std::optional<Clock::time_point> NextTimer() const override {
    if (boot_.Active()) {
      return boot_.NextTimer();
    }
    std::optional<Clock::time_point> next = call_.Due();
    if (!relayed_.empty() && (!next || relayedDue_ < *next)) {
      next = relayedDue_;
    }
    if (relay_) {
      if (const auto modemTimer = relay_->NextTimer();
          modemTimer && (!next || *modemTimer < *next)) {
        next = modemTimer;
      }
    }
    return next;
  }

  void OnTimer(ProductLink& link) override {
    if (boot_.Active()) {
      boot_.OnTimer(link);
      return;
    }
    const auto now = Clock::now();
    if (!relayed_.empty() && now >= relayedDue_) {
      link.Send(std::exchange(relayed_, std::string{}));
    }
    if (relay_) {
      if (const auto modemTimer = relay_->NextTimer(); modemTimer && now >= *modemTimer) {
        relay_->OnTimer(link);
      }
    }
    call_.OnTimer(link);
  }

 private:
  CommandOutcome Identify(std::uint32_t which, CommandInterpreter& adapter) const {
    if (which == kCountryQuery && country_) {
      adapter.Info(country_->CurrentText());
      return CommandOutcome::Next();
    }
    if (which == kAddOnReportQuery && addOn_) {
      adapter.Info(std::string(AddOnReport(*addOn_)));
      return CommandOutcome::Next();
    }
    if (which == kBootCodeQuery && boot_.BootCodeVersion()) {
      adapter.Info(FourHexDigits(*boot_.BootCodeVersion()));
      return CommandOutcome::Next();
    }
    const AdapterFlash& flash = boot_.Flash();
    if (flash.reprogrammed && (which == kIdentificationQuery || which == kChecksumQuery)) {
      adapter.Info(which == kIdentificationQuery ? flash.identification : flash.checksum);
      return CommandOutcome::Next();
    }
    const auto it = data_.identification.find(which);
    if (it == data_.identification.end()) {
      return CommandOutcome::Error();
    }
    adapter.Info(it->second);
    return CommandOutcome::Next();
  }

  // One of the modem part's own commands, answered as the modem part
  // answers it.
  CommandOutcome AskModemPart(const std::string& line, CommandInterpreter& adapter) {
    const Reply reply = relay_->Ask(line);
    for (const std::string& text : reply.information) {
      adapter.Info(text);
    }
    return reply.result == ResultCode::Ok ? CommandOutcome::Next() : CommandOutcome::Error();
  }

  // "!M" followed by a command line relays it; followed by a number it
  // selects the add-on.
  CommandOutcome ModemPartCommand(CommandCursor& args, CommandInterpreter& adapter) {
    if (StartsWithNoCase(args.Rest(), "AT")) {
      const std::string_view line = args.TakeRest();
      if (!relay_) {
        return CommandOutcome::Error();
      }
      adapter.Info("Modem command: " + std::string(line));
      relayed_ += relay_->Run(line);
      relayedDue_ = Clock::now();
      return CommandOutcome::Next();
    }
    const auto number = args.Number();
    const auto addOn = number ? AddOnByNumber(*number) : std::nullopt;
    if (!addOn_ || !addOn) {
      return CommandOutcome::Error();
    }
    addOn_ = addOn;
    return CommandOutcome::Next();
  }

  // "&Z*n?" answers the number of slot n, "&Z*n=digits" stores one.
  CommandOutcome SubscriberNumber(CommandCursor& args, CommandInterpreter& adapter) {
    const auto slot = args.Consume("*") ? args.Number() : std::nullopt;
    if (!slot || *slot >= msns_.size()) {
      return CommandOutcome::Error();
    }
    if (args.Consume("?")) {
      if (!msns_[*slot].empty()) {
        adapter.Info(msns_[*slot]);
      }
      return CommandOutcome::Next();
    }
    if (!args.Consume("=")) {
      return CommandOutcome::Error();
    }
    std::string digits;
    while (args.Peek() >= '0' && args.Peek() <= '9') {
      digits.push_back(args.Peek());
      args.Advance(1);
    }
    if (digits.size() > kMsnDigits) {
      return CommandOutcome::Error();
    }
    msns_[*slot] = digits;
    return CommandOutcome::Next();
  }

  // The version of the firmware that runs, from its identification.
  [[nodiscard]] std::uint32_t RunningVersion() const {
    const AdapterFlash& flash = boot_.Flash();
    if (flash.reprogrammed) {
      return VersionNumber(flash.identification);
    }
    const auto it = data_.identification.find(kIdentificationQuery);
    return it == data_.identification.end() ? 0 : VersionNumber(it->second);
  }

  [[nodiscard]] bool PartUpgrading() const { return relay_ && relay_->Part().Upgrading(); }

  IsdnAdapterData data_;
  std::optional<AdapterAddOn> addOn_;  // kept apart from the profiles, like the hardware
  std::vector<std::string> msns_;      // subscriber numbers, kept apart as well
  AdapterBootProgram boot_;
  std::optional<CountrySetting> country_;
  std::optional<ModemRelay> relay_;
  std::optional<ProviderServiceSettings> services_;
  OutgoingCall call_;
  std::string relayed_;  // the modem part's answer, not yet sent
  Clock::time_point relayedDue_;
};

}  // namespace

std::string_view AddOnReport(AdapterAddOn addOn) {
  switch (addOn) {
    case AdapterAddOn::None:
      return "Added No Internal HW";
    case AdapterAddOn::AnaloguePort:
      return "Added Internal Analog Interface";
    case AdapterAddOn::InternalModem:
      return "Added Internal Modem";
  }
  return "Added No Internal HW";
}

std::unique_ptr<Model> MakeIsdnAdapter(IsdnAdapterData data) {
  return std::make_unique<IsdnAdapter>(std::move(data));
}

}  // namespace norix::sim
