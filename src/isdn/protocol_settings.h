// The dial-up protocol of a KOMET II as the Protocols page and the protocol
// choice page edit it: which protocol, one or two ISDN channels, bandwidth
// on demand (BOD) with its four numbers, and call bumping. The record lives
// for the whole run; the two pages touch it one at a time, each on its page
// thread, and hand it over through the navigator.
#pragma once

#include <cstdint>

namespace norix::isdn {

// The protocol bits use the numbering of the adapter's "AT!P0" feature
// word: a protocol is offered only when the feature word has its bit.
using ProtocolFlags = std::uint32_t;

inline constexpr ProtocolFlags kX25 = 0x1;
inline constexpr ProtocolFlags kX25Multilink = 0x2;
inline constexpr ProtocolFlags kV110 = 0x4;
inline constexpr ProtocolFlags kX75 = 0x8;
inline constexpr ProtocolFlags kX75Multilink = 0x10;
inline constexpr ProtocolFlags kV120 = 0x20;
inline constexpr ProtocolFlags kV120Multilink = 0x40;
inline constexpr ProtocolFlags kHdlc = 0x80;
inline constexpr ProtocolFlags kPpp = 0x100;
inline constexpr ProtocolFlags kTwoChannels = 0x200;
inline constexpr ProtocolFlags kBandwidthOnDemand = 0x400;
inline constexpr ProtocolFlags kCallBumping = 0x800;
inline constexpr ProtocolFlags kAutoModeIncoming = 0x1000;
inline constexpr ProtocolFlags kAutoModeOutgoing = 0x2000;
inline constexpr ProtocolFlags kAutoModeAlways = 0x4000;

// Every protocol but PPP, and the ones that bundle both channels.
inline constexpr ProtocolFlags kOtherProtocols = 0x70ff;
inline constexpr ProtocolFlags kMultilinkProtocols = kX25Multilink | kX75Multilink | kV120Multilink;

// The four numbers of bandwidth on demand.
struct BodParams {
  std::uint8_t openDelay = 5;        // seconds before the second channel is opened
  std::uint8_t closeDelay = 30;      // seconds before it is closed again
  std::uint8_t openThreshold = 48;   // kbit/s above which it is opened
  std::uint8_t closeThreshold = 30;  // kbit/s below which it is closed

  bool operator==(const BodParams&) const = default;
};

struct ProtocolSettings {
  ProtocolFlags flags = 0;
  BodParams bod;
  // Set by the protocol choice page when it returns to the Protocols page,
  // which then keeps the edited state instead of reading the stored string.
  bool backFromChoice = false;
};

}  // namespace norix::isdn
