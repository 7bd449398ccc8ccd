// Splitting the identification text into product name and firmware version.
#pragma once

#include <cstddef>
#include <string_view>

#include "link/modem_context.h"

namespace norix::products {

// Product names hold at most this many characters.
inline constexpr std::size_t kProductNameCapacity = 49;
// What a solano 1280i with an analogue telephone port calls itself.
inline constexpr std::string_view kSolanoAnalogueName = "NORIX solano 1280i a/b";

// Sets the context's product name (the text before the last "V", at most
// kProductNameCapacity characters, "corvid" written "Corvid"), firmware
// version text (after that "V") and number (major * 100 + minor, at most
// 65535). A text without a "V" after its first character gives an empty name,
// an empty version and 0. For a solano name it asks the adapter "ATI7" on the
// context's port, which blocks up to about 6 s when the adapter is silent.
void ParseIdentification(std::string_view text, link::ModemContext& context);

}  // namespace norix::products
