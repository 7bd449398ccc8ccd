// The simulator's models by name.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "sim/model.h"

namespace norix::sim {

// Every model, in the order `norix-sim --list` shows them.
[[nodiscard]] const std::vector<ModelEntry>& Models();

// The model of that exact name, or null.
[[nodiscard]] const ModelEntry* FindModel(std::string_view name);

}  // namespace norix::sim
