// The models the simulator knows, one file each. model_registry.cpp lists
// them by name.
#pragma once

#include "sim/analogue_modem.h"
#include "sim/model.h"

namespace norix::sim::models {

// Desktop 56k voice modem with "+GCI" support, firmware V1.10.
[[nodiscard]] AnalogueModemData Netrunner56kData();
[[nodiscard]] ModelEntry Netrunner56k();

// Desktop 33.6k voice modem without "+GCI" support: "*NC" country codes.
[[nodiscard]] AnalogueModemData Netrunner33k6Data();
[[nodiscard]] ModelEntry Netrunner33k6();

// A port with nothing attached: it hears the host and never answers.
[[nodiscard]] ModelEntry SilentPort();

}  // namespace norix::sim::models
