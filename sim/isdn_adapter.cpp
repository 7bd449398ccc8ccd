#include "sim/isdn_adapter.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <utility>

#include "sim/command_interpreter.h"
#include "sim/modem_relay.h"

namespace norix::sim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kAddOnReportQuery = 7;

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
  explicit IsdnAdapter(IsdnAdapterData data) : data_(std::move(data)), addOn_(data_.addOn) {
    if (data_.internalModem) {
      relay_.emplace(*data_.internalModem);
    }
  }

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return std::find(data_.speeds.begin(), data_.speeds.end(), baudRate) != data_.speeds.end();
  }

  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(data_.registerCount);
  }

  void AddCommands(CommandSet& commands) override {
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
    std::optional<Clock::time_point> next;
    if (!relayed_.empty()) {
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
  }

 private:
  CommandOutcome Identify(std::uint32_t which, CommandInterpreter& adapter) const {
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
  std::optional<ModemRelay> relay_;
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
