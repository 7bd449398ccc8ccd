// The AT dialogue of the KOMET II's numbers: its eight subscriber number
// slots with their attribute values, its six local numbers with theirs, and
// the dial prefix of local calls. Numbers are read and written as
// device/msn_exchange.h does it; the attribute value is a bit set:
//   128 the data side ("Adapter") answers, 64 TEL#1 rings, 32 TEL#2 rings,
//   bits 0-1 the ringing type (0 "Type 1", 1 "Type 2", 2 "Type 3").
// Local numbers have no data side. Reads block the calling thread for one
// exchange each (up to the port's read time-outs when the adapter is silent).
//
// Example exchanges (echo on):
//   "AT&Z*P3?\r" -> "AT&Z*P3?\r" "\r\n160\r\n" "\r\nOK\r\n"   Adapter, TEL#2, Type 1
//   "AT&Z#L?\r"  -> "AT&Z#L?\r" "\r\n*\r\n" "\r\nOK\r\n"      two-digit local numbers
//   "AT&Z#L?\r"  -> "AT&Z#L?\r" "\r\n#,*\r\n" "\r\nOK\r\n"    one-digit, prefixes # and *
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/at_exchange.h"
#include "platform/comm/port.h"

namespace norix::isdn {

inline constexpr std::size_t kKometMsnSlots = 8;
inline constexpr std::size_t kLocalNumberSlots = 6;
// The longest local number, in two-digit mode.
inline constexpr std::size_t kLocalNumberDigits = 2;

inline constexpr std::uint8_t kAdapterBit = 128;
inline constexpr std::uint8_t kTel1Bit = 64;
inline constexpr std::uint8_t kTel2Bit = 32;
inline constexpr std::uint8_t kRingingBits = 3;
inline constexpr int kRingingTypes = 3;

// Stems of slot n: "AT&Z*n", "AT&Z*Pn", "AT&Z#n", "AT&Z#Pn".
[[nodiscard]] std::string KometMsnStem(std::size_t slot);
[[nodiscard]] std::string KometAttributeStem(std::size_t slot);
[[nodiscard]] std::string LocalNumberStem(std::size_t slot);
[[nodiscard]] std::string LocalAttributeStem(std::size_t slot);

// The attribute value of an answer: the decimal number the reply line holds
// when the answer ended with OK; none for anything else (silence, ERROR, a
// line that is not a number from 0 to 255).
[[nodiscard]] std::optional<std::uint8_t> ParseAttributeReply(link::AtResult result,
                                                              std::string_view reply);

// Reads the attribute value of `stem` (stem and "?") after discarding
// waiting input.
[[nodiscard]] std::optional<std::uint8_t> ReadAttribute(platform::comm::Port* port,
                                                        std::string_view stem);

// The stem, "=" and the value in decimal.
[[nodiscard]] std::string AttributeCommand(std::string_view stem, std::uint8_t value);

// How long local numbers are, which the local prefix decides.
enum class LocalMode : std::uint8_t { kUnknown, kTwoDigits, kOneDigit };

struct LocalPrefix {
  LocalMode mode = LocalMode::kUnknown;
  char first = '#';
  char second = '#';  // one-digit mode only
};

// The prefix of an "AT&Z#L?" answer: a reply without a comma is two-digit
// mode with its first character as the prefix; one with a comma is one-digit
// mode with a prefix on either side of the comma. Every prefix must be "#"
// or "*", and the answer must end with OK; otherwise the mode is unknown.
[[nodiscard]] LocalPrefix ParseLocalPrefixReply(link::AtResult result, std::string_view reply);

// Sends "AT&Z#L?" after discarding waiting input.
[[nodiscard]] LocalPrefix ReadLocalPrefix(platform::comm::Port* port);

// "AT&Z#L=#" (two digits) or "AT&Z#L=#,*" (one digit).
[[nodiscard]] std::string LocalPrefixCommand(const LocalPrefix& prefix);

// "AT*S10=,c": c is "#" when the prefix that ends `prefix` (the second in
// one-digit mode) is "*", else "*".
[[nodiscard]] std::string PrefixPartnerCommand(const LocalPrefix& prefix);

}  // namespace norix::isdn
