#include "sim/subscriber_numbers.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "sim/command_interpreter.h"

namespace norix::sim {
namespace {

constexpr std::size_t kMsnDigits = 20;
constexpr std::size_t kLocalDigits = 2;
// The bits an attribute may have: the data side (MSNs only), the two
// telephone ports and the ringing type.
constexpr std::uint32_t kMsnAttributeBits = 0xE3;
constexpr std::uint32_t kLocalAttributeBits = 0x63;
constexpr std::uint32_t kRingingBits = 3;
constexpr std::uint32_t kRingingTypes = 3;
// Slot numbers beyond any adapter's slots, but short enough not to overflow.
constexpr std::size_t kSlotDigits = 2;

bool IsDigits(std::string_view text, std::size_t maxDigits) {
  return text.size() <= maxDigits &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsPrefixSymbol(char c) { return c == '#' || c == '*'; }

// An attribute value: decimal, only the allowed bits, a ringing type that
// exists.
std::optional<std::uint8_t> Attribute(std::string_view text, std::uint32_t allowedBits) {
  const auto value = ParseDecimal(text, 3);
  if (!value || (*value & ~allowedBits) != 0 || (*value & kRingingBits) >= kRingingTypes) {
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(*value);
}

}  // namespace

SubscriberNumbers::SubscriberNumbers(SubscriberNumberPlan plan)
    : plan_(std::move(plan)), msns_(plan_.msnSlots), locals_(plan_.localNumbers.size()) {
  for (std::size_t i = 0; i < locals_.size(); ++i) {
    locals_[i].number = plan_.localNumbers[i];
    if (i < plan_.localAttributes.size()) {
      locals_[i].attribute = plan_.localAttributes[i];
    }
  }
}

void SubscriberNumbers::AddCommands(CommandSet& commands) {
  if (msns_.empty() && locals_.empty()) {
    return;
  }
  commands.Add("&Z", [this](CommandCursor& args, CommandInterpreter& adapter) {
    return Numbers(args, adapter);
  });
}

CommandHandler SubscriberNumbers::LocalPrefixHandler() {
  if (locals_.empty()) {
    return nullptr;
  }
  return [this](CommandCursor& args, CommandInterpreter& adapter) {
    return Prefix(args.TakeRest(), adapter);
  };
}

void SubscriberNumbers::EraseSubscriberNumbers() { std::fill(msns_.begin(), msns_.end(), Slot{}); }

CommandOutcome SubscriberNumbers::Numbers(CommandCursor& args, CommandInterpreter& adapter) {
  const bool local = args.Consume("#");
  if (!local && !args.Consume("*")) {
    return CommandOutcome::Error();
  }
  if (local && args.Consume("L")) {
    return Prefix(args.TakeRest(), adapter);
  }
  const bool attribute = args.Consume("P");
  const std::size_t before = args.Rest().size();
  const auto slot = args.Number();
  if (!slot || before - args.Rest().size() > kSlotDigits) {
    return CommandOutcome::Error();
  }
  std::vector<Slot>& slots = local ? locals_ : msns_;
  if (*slot >= slots.size() || (attribute && !local && !plan_.msnAttributes)) {
    return CommandOutcome::Error();
  }
  Slot& target = slots[*slot];
  if (args.Consume("?")) {
    if (!args.AtEnd() || (!local && !plan_.msnQueries)) {
      return CommandOutcome::Error();
    }
    if (attribute) {
      adapter.Info(std::to_string(target.attribute));
    } else if (!target.number.empty()) {
      adapter.Info(target.number);
    }
    return CommandOutcome::Next();
  }
  if (!args.Consume("=")) {
    return CommandOutcome::Error();
  }
  const std::string_view value = args.TakeRest();
  if (attribute) {
    const auto parsed = Attribute(value, local ? kLocalAttributeBits : kMsnAttributeBits);
    if (!parsed) {
      return CommandOutcome::Error();
    }
    target.attribute = *parsed;
    return CommandOutcome::Next();
  }
  if (!IsDigits(value, local ? kLocalDigits : kMsnDigits)) {
    return CommandOutcome::Error();
  }
  target.number = std::string(value);
  return CommandOutcome::Next();
}

// "#" or "*" alone, or two of them with a comma between.
CommandOutcome SubscriberNumbers::Prefix(std::string_view value, CommandInterpreter& adapter) {
  if (locals_.empty()) {
    return CommandOutcome::Error();
  }
  if (value == "?") {
    adapter.Info(plan_.localPrefix);
    return CommandOutcome::Next();
  }
  if (!value.starts_with('=')) {
    return CommandOutcome::Error();
  }
  value.remove_prefix(1);
  const bool one = value.size() == 1 && IsPrefixSymbol(value[0]);
  const bool two =
      value.size() == 3 && IsPrefixSymbol(value[0]) && value[1] == ',' && IsPrefixSymbol(value[2]);
  if (!one && !two) {
    return CommandOutcome::Error();
  }
  plan_.localPrefix = std::string(value);
  return CommandOutcome::Next();
}

}  // namespace norix::sim
