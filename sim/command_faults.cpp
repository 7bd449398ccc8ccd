#include "sim/command_faults.h"

#include <cstdint>

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

}  // namespace

void AddCommandFaults(CommandSet& commands, const ProductOptions& options) {
  FailStoresAtFirst(commands, options.storeFailures);
}

}  // namespace norix::sim
