// The maker's USB modems: analogue modems (analogue_modem.h) behind a USB
// virtual serial port. The speed the host sets on such a port never reaches
// a wire, so the modem answers whatever speed the host has chosen.
#pragma once

#include <memory>

#include "sim/analogue_modem.h"
#include "sim/model.h"

namespace norix::sim {

// `data.speeds` plays no part.
[[nodiscard]] std::unique_ptr<Model> MakeUsbModem(AnalogueModemData data);

}  // namespace norix::sim
