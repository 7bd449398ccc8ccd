// The boot firmware of an analogue modem whose flash was left damaged by a
// failed upgrade: the modem's firmware no longer runs and only this small
// loader answers. It talks at one port speed only, echoes and answers "AT"
// with OK; it has no identification, so "ATI3" gets ERROR at its speed and
// nothing at any other:
//
//   "AT\r" at its speed -> "AT\r" "\r\nOK\r\n"
#pragma once

#include <cstdint>
#include <memory>

#include "sim/model.h"

namespace norix::sim {

[[nodiscard]] std::unique_ptr<Model> MakeModemLoader(std::uint32_t baudRate);

}  // namespace norix::sim
