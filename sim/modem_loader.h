// The boot firmware of an analogue modem whose flash was left damaged by a
// failed upgrade: the modem's firmware no longer runs and only this small
// loader answers. It is not a Hayes interpreter: it echoes, answers a bare
// "AT" with OK and any other command line with ERROR, so "ATI3" gets no
// identification:
//
//   "AT\r"   at its speed -> "AT\r" "\r\nOK\r\n"
//   "ATI3\r" at its speed -> "ATI3\r" "\r\nERROR\r\n"
//
// It talks at one port speed only. A host at half that speed still reaches
// its UART, which samples every host bit twice and makes garbage of each
// byte; the loader echoes the garbage and answers nothing. At any other speed
// it hears nothing at all.
#pragma once

#include <cstdint>
#include <memory>

#include "sim/model.h"

namespace norix::sim {

[[nodiscard]] std::unique_ptr<Model> MakeModemLoader(std::uint32_t baudRate);

// What a UART at twice the sender's speed makes of one byte: its start bit
// samples the sender's start bit, its data bits sample the sender's low four
// data bits twice each (d0 d0 d1 d1 d2 d2 d3).
[[nodiscard]] std::uint8_t HalfSpeedByte(std::uint8_t byte);

}  // namespace norix::sim
