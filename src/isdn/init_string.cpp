#include "isdn/init_string.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "platform/ascii/ascii_text.h"

namespace norix::isdn {

namespace {

namespace ascii = platform::ascii;

// The protocols chosen with "&B0": the number after "\P", the protocol and,
// where the number bundles both channels under "%B2", the multilink one.
struct ProtocolNumber {
  long number;
  ProtocolFlags single;
  ProtocolFlags multilink;
};

constexpr std::array<ProtocolNumber, 8> kProtocolNumbers{{
    {0, kV110, kV110},
    {1, kHdlc, kHdlc},
    {2, kX25, kX25Multilink},
    {3, kX75, kX75Multilink},
    {4, kV120, kV120Multilink},
    {13, kAutoModeIncoming, kAutoModeIncoming},
    {14, kAutoModeOutgoing, kAutoModeOutgoing},
    {15, kAutoModeAlways, kAutoModeAlways},
}};

// The order in which the encoder takes a protocol other than PPP, with the
// bundling key and protocol number it writes.
struct ProtocolKey {
  ProtocolFlags bit;
  std::string_view bundling;
  int number;
};

constexpr std::array<ProtocolKey, 11> kProtocolKeys{{
    {kV110, "%B0", 0},
    {kHdlc, "%B0", 1},
    {kX25, "%B0", 2},
    {kX75, "%B0", 3},
    {kV120, "%B0", 4},
    {kAutoModeIncoming, "%B0", 13},
    {kAutoModeOutgoing, "%B0", 14},
    {kAutoModeAlways, "%B0", 15},
    {kX25Multilink, "%B2", 2},
    {kX75Multilink, "%B2", 3},
    {kV120Multilink, "%B2", 4},
}};

constexpr std::array<const BodField*, 4> kBodFields{&kOpenDelayField, &kCloseDelayField,
                                                    &kOpenThresholdField, &kCloseThresholdField};

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The decimal number right after the first `key` in `text`: blanks, a sign,
// then digits (a number too large for a long saturates). None when the key
// does not occur or no digit follows it.
std::optional<long> NumberAfter(std::string_view text, std::string_view key) {
  const std::optional<std::size_t> at = ascii::FindNoCase(text, key);
  if (!at) {
    return std::nullopt;
  }
  std::size_t i = *at + key.size();
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || !ascii::IsDigit(text[i])) {
    return std::nullopt;
  }
  constexpr long kMost = std::numeric_limits<long>::max() / 10 - 9;
  long value = 0;
  for (; i < text.size() && ascii::IsDigit(text[i]); ++i) {
    value = value < kMost ? value * 10 + (text[i] - '0') : kMost;
  }
  return negative ? -value : value;
}

}  // namespace

std::uint8_t BoundToField(const BodField& field, long value) {
  if (value > field.maximum) {
    return field.maximum;
  }
  if (value <= field.minimum) {
    return field.minimum;
  }
  return static_cast<std::uint8_t>(value);
}

DecodedInitString DecodeInitString(std::string_view text) {
  DecodedInitString decoded;
  ProtocolFlags flags = 0;
  bool multilink = false;
  if (const std::optional<long> bundling = NumberAfter(text, "%B")) {
    if (*bundling == 2) {
      flags = kTwoChannels;
      multilink = true;
    } else if (*bundling == 7) {
      flags = kTwoChannels | kBandwidthOnDemand;
    }
  }
  if (const std::optional<long> bumping = NumberAfter(text, "*CB"); bumping && *bumping > 0) {
    flags |= kCallBumping;
  }
  if (const std::optional<long> mode = NumberAfter(text, "&B")) {
    if (*mode != 0) {
      flags |= kPpp;
    } else if (const std::optional<long> protocol = NumberAfter(text, "\\P")) {
      const auto* found =
          std::find_if(kProtocolNumbers.begin(), kProtocolNumbers.end(),
                       [&](const ProtocolNumber& entry) { return entry.number == *protocol; });
      if (found != kProtocolNumbers.end()) {
        flags = multilink ? found->multilink : found->single;
      }
    }
  }
  decoded.flags = flags;
  for (const BodField* field : kBodFields) {
    if (const std::optional<long> value = NumberAfter(text, field->key)) {
      decoded.bod.*(field->value) = BoundToField(*field, *value);
    }
  }
  return decoded;
}

std::string EncodeInitString(ProtocolFlags flags, const BodParams& bod, std::uint32_t featureWord) {
  if ((flags & kPpp) == 0) {
    for (const ProtocolKey& key : kProtocolKeys) {
      if ((flags & key.bit) != 0) {
        return "AT&B0" + std::string(key.bundling) + "\\P" + std::to_string(key.number) + "<cr>";
      }
    }
  }
  std::string text = "AT&B2";
  if ((flags & kTwoChannels) != 0) {
    if ((flags & kBandwidthOnDemand) != 0) {
      text += "%B7";
      for (const BodField* field : kBodFields) {
        text += field->key;
        text += std::to_string(bod.*(field->value));
      }
    } else {
      text += "%B2";
    }
    if ((featureWord & kCallBumping) != 0) {
      text += (flags & kCallBumping) != 0 ? "*CB1" : "*CB0";
    }
  } else {
    text += "%B0";
  }
  text += "\\P1<cr>";
  return text;
}

}  // namespace norix::isdn
