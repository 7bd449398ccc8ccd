#include "sim/command_set.h"

#include <utility>

#include "sim/command_interpreter.h"

namespace norix::sim {

void CommandSet::Add(std::string name, CommandHandler handler) {
  name = UpperCase(name);
  for (Entry& entry : entries_) {
    if (entry.name == name) {
      entry.handler = std::move(handler);
      return;
    }
  }
  entries_.push_back({std::move(name), std::move(handler)});
}

const CommandHandler* CommandSet::Find(std::string_view text, std::size_t& nameLength) const {
  const Entry* best = nullptr;
  for (const Entry& entry : entries_) {
    if (StartsWithNoCase(text, entry.name) &&
        (best == nullptr || entry.name.size() > best->name.size())) {
      best = &entry;
    }
  }
  if (best == nullptr) {
    return nullptr;
  }
  nameLength = best->name.size();
  return &best->handler;
}

void CommandSet::AddOption(std::string name, unsigned maxValue) {
  std::string key = UpperCase(name);
  Add(std::move(name),
      [key = std::move(key), maxValue](CommandCursor& args, CommandInterpreter& modem) {
        const std::uint32_t value = args.NumberOrZero();
        if (value > maxValue) {
          return CommandOutcome::Error();
        }
        modem.Current().options[key] = value;
        return CommandOutcome::Next();
      });
}

void CommandSet::AddAccepted(std::string name, unsigned maxValue) {
  Add(std::move(name), [maxValue](CommandCursor& args, CommandInterpreter&) {
    return args.NumberOrZero() > maxValue ? CommandOutcome::Error() : CommandOutcome::Next();
  });
}

}  // namespace norix::sim
