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

constexpr std::uint32_t kCountryQuery = 5;
constexpr std::uint32_t kAddOnReportQuery = 7;

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
      : data_(std::move(data)), addOn_(data_.addOn), numbers_(data_.numbers) {
    if (data_.internalModem) {
      relay_.emplace(*data_.internalModem);
    }
    if (!data_.countries.empty()) {
      country_.emplace(CountryCodeSet::Nationality, data_.countries, data_.country);
    }
  }

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return std::find(data_.speeds.begin(), data_.speeds.end(), baudRate) != data_.speeds.end();
  }

  [[nodiscard]] ModemSettings FactorySettings() const override {
    ModemSettings settings = StandardFactorySettings(data_.registerCount);
    settings.options.insert({"X", 4U});
    return settings;
  }

  void ApplyOptions(const ProductOptions& options) override {
    if (country_) {
      country_->Refuse(options.refusedCountry);
    }
    if (relay_) {
      relay_->ApplyOptions(options);
    }
  }

  [[nodiscard]] bool InDataMode() const override { return call_.Active(); }

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    return call_.Abort(bytes, link);
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
    numbers_.AddCommands(commands);
    commands.Add("I", [this](CommandCursor& args, CommandInterpreter& adapter) {
      return Identify(args.NumberOrZero(), adapter);
    });
    commands.Add("!M", [this](CommandCursor& args, CommandInterpreter& adapter) {
      return ModemPartCommand(args, adapter);
    });
    if (data_.featureWord) {
      commands.Add("!P", [this](CommandCursor& args, CommandInterpreter& adapter) {
        if (args.NumberOrZero() != 0) {
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

  IsdnAdapterData data_;
  std::optional<AdapterAddOn> addOn_;  // kept apart from the profiles, like the hardware
  std::optional<CountrySetting> country_;
  SubscriberNumbers numbers_;
  std::optional<ModemRelay> relay_;
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
