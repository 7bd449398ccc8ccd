// The protocol choice page of the KOMET II (kProtocolChoicePage), opened by
// "Other" on the Protocols page: one radio button per data protocol the
// adapter supports, PPP included. OK replaces the protocol settings by the
// chosen protocol alone; OK and X both return to the Protocols page, which
// then keeps the edited settings instead of reading the stored ones.
#pragma once

#include <array>

#include "device/selected_product.h"
#include "isdn/protocol_settings.h"
#include "shell/page_table.h"

namespace norix::isdn {

// A protocol of the page: its bit, radio button and description text.
struct ProtocolChoice {
  ProtocolFlags bit;
  int radio;
  int description;
};

// In the order the page lists and searches them.
inline constexpr std::array<ProtocolChoice, 12> kProtocolChoices{{
    {kPpp, 1147, 2258},
    {kV120, 1134, 2250},
    {kV110, 1144, 2251},
    {kX75, 1137, 2252},
    {kX25, 1139, 2253},
    {kHdlc, 1141, 2254},
    {kV120Multilink, 1129, 2250},
    {kX75Multilink, 1126, 2252},
    {kX25Multilink, 1127, 2253},
    {kAutoModeIncoming, 1145, 2255},
    {kAutoModeOutgoing, 1149, 2256},
    {kAutoModeAlways, 1151, 2269},
}};

inline constexpr int kChoiceDescription = 1146;
// Fills the second placeholder of a multilink protocol's description.
inline constexpr int kMultilinkText = 2257;

void RegisterProtocolChoicePage(shell::PageTable& pages, device::SelectedProduct& product,
                                ProtocolSettings& settings);

}  // namespace norix::isdn
