#include "sim/command_faults.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/command_interpreter.h"

namespace norix::sim {
namespace {

// Makes "&W" answer ERROR `failures` times before it stores as before.
void FailStoresAtFirst(CommandSet& commands, std::uint32_t failures) {
  std::size_t nameLength = 0;
  const CommandHandler* store = commands.Find("&W", nameLength);
  if (failures == 0 || store == nullptr) {
    return;
  }
  commands.Add(
      "&W", [store = *store, failures](CommandCursor& args, CommandInterpreter& product) mutable {
        if (failures > 0) {
          --failures;
          return CommandOutcome::Error();
        }
        return store(args, product);
      });
}

// Makes the command that `command` (with its "AT") begins with answer
// ERROR, or nothing when `silent`, whenever what follows its name begins as
// in `command`; it is then not carried out.
void FailCommand(CommandSet& commands, std::string_view command, bool silent) {
  if (!StartsWithNoCase(command, "AT")) {
    return;
  }
  command.remove_prefix(2);
  std::size_t nameLength = 0;
  const CommandHandler* handler = commands.Find(command, nameLength);
  if (handler == nullptr) {
    return;
  }
  const std::string name(command.substr(0, nameLength));
  commands.Add(name, [inner = *handler, rest = std::string(command.substr(nameLength)), silent](
                         CommandCursor& args, CommandInterpreter& product) {
    if (StartsWithNoCase(args.Rest(), rest)) {
      return silent ? CommandOutcome::EndSilently() : CommandOutcome::Error();
    }
    return inner(args, product);
  });
}

}  // namespace

void AddCommandFaults(CommandSet& commands, const ProductOptions& options) {
  FailStoresAtFirst(commands, options.storeFailures);
  for (const std::string& command : options.failingCommands) {
    FailCommand(commands, command, false);
  }
  for (const std::string& command : options.unansweredCommands) {
    FailCommand(commands, command, true);
  }
}

}  // namespace norix::sim
