// Faults of the commands that every product can be given through its
// options, whatever its model: a profile store that fails at first, and
// chosen commands that answer ERROR or nothing.
#pragma once

#include "sim/command_set.h"
#include "sim/product_options.h"

namespace norix::sim {

// Changes the commands of `commands` as `options` say; call it once, after
// the model has added its own commands. Without faults in `options` nothing
// changes.
void AddCommandFaults(CommandSet& commands, const ProductOptions& options);

}  // namespace norix::sim
