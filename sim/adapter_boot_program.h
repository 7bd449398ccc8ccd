// The boot program of an ISDN adapter whose flash was left damaged by a
// failed upgrade. It does not speak AT: it sits at its upgrade confirmation
// prompt and shows the prompt again for every line the host ends with a CR,
// "AT" included. It talks at one port speed only and is silent at any other:
//
//   "AT\r" at its speed -> "\r\nAre You sure to upgrade (Y/N)? "   (solano 1280)
//                          "\r\nDo You really want to upgrade Your KOMET II (Y/N)? "
//
// No echo, and the prompt has no line end: the adapter waits for the answer
// on the same line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sim/model.h"

namespace norix::sim {

inline constexpr std::string_view kSolanoUpgradePrompt = "Are You sure to upgrade (Y/N)? ";
inline constexpr std::string_view kKometUpgradePrompt =
    "Do You really want to upgrade Your KOMET II (Y/N)? ";

// The boot program's speed in rescue mode.
inline constexpr std::uint32_t kBootProgramBaudRate = 57600;

[[nodiscard]] std::unique_ptr<Model> MakeAdapterBootProgram(std::string prompt,
                                                            std::uint32_t baudRate);

}  // namespace norix::sim
