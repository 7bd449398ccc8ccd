// The protocol init string of a KOMET II: the protocol settings written in
// the adapter's AT dialect, as the modem driver keeps and sends them. "<cr>"
// stands in it as four characters, the driver's notation for a carriage
// return.
//
//   "AT&B2%B7S161=5S162=30S163=48S164=30*CB1\P1<cr>"
//       PPP on two channels with BOD (open after 5 s above 48 kbit/s, close
//       after 30 s below 30 kbit/s) and call bumping
//   "AT&B2%B0\P1<cr>"    PPP on one channel
//   "AT&B0%B2\P3<cr>"    X.75 Multilink
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "isdn/protocol_settings.h"

namespace norix::isdn {

// The longest init string the store keeps; a longer stored one is cut.
inline constexpr std::size_t kInitStringLimit = 99;

// A BOD number's field on the Protocols page: its range and key.
struct BodField {
  int control;
  std::uint8_t minimum;
  std::uint8_t maximum;
  std::string_view key;
  std::uint8_t BodParams::*value;
};

inline constexpr BodField kOpenDelayField{1132, 0, 255, "S161=", &BodParams::openDelay};
inline constexpr BodField kCloseDelayField{1131, 0, 255, "S162=", &BodParams::closeDelay};
inline constexpr BodField kOpenThresholdField{1133, 32, 64, "S163=", &BodParams::openThreshold};
inline constexpr BodField kCloseThresholdField{1136, 0, 31, "S164=", &BodParams::closeThreshold};

// The range rule of a field: above the maximum is the maximum, at or below
// the minimum is the minimum, anything else stays.
[[nodiscard]] std::uint8_t BoundToField(const BodField& field, long value);

struct DecodedInitString {
  ProtocolFlags flags = 0;
  BodParams bod;
};

// What a stored string says. Keys are found without regard to case, the
// first occurrence counting; the number after a key may have leading blanks
// and a sign. A key without a number counts as missing. A BOD number that
// is missing takes its default; one outside its field's range is bounded to
// it, so the page shows and writes back what the adapter can take.
[[nodiscard]] DecodedInitString DecodeInitString(std::string_view text);

// The init string for the settings; `featureWord` decides whether the
// call bumping key is written.
[[nodiscard]] std::string EncodeInitString(ProtocolFlags flags, const BodParams& bod,
                                           std::uint32_t featureWord);

}  // namespace norix::isdn
