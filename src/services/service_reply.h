// Reading the KOMET II's answers to the provider service queries. Pure
// functions on one reply line; nothing here touches a port.
//
// A supplementary service query ("AT*S2?") is answered with its activation
// line, for services with a cancel code (and booking) a cancel line, and OK:
//   "1,*,21,*,987,#\r\n"   on, activation * 21 *, number 987, number suffix #
//   "#,21,#\r\n"           cancel # 21 #
//   "OK\r\n"
// A service without a number answers "0,*,31,*". Commas and blanks both
// separate the parts, and a run of them counts as one, so an empty number
// ("0,*,21,*,,#") reads as a missing number.
//
// The other queries answer one decimal value ("AT*DP?" -> "3", "ATS202?"
// -> "012", "AT%U?" -> "5") or, for "AT&Z#L?", a line that begins with the
// key character the adapter uses for its own purposes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norix::services {

// The activation line of a supplementary service. A part is "taken" when
// the line holds it (the record shows it); it is "read" when it is also
// whole and valid, so that writing it back sends what the adapter has.
struct ActivationReply {
  // The on value, prefix, digits and suffix are there and the prefix is
  // '*' or '#'.
  bool codesTaken = false;
  // Taken, the suffix '*' or '#' too, and the digits at most 4 dialling
  // characters.
  bool codesRead = false;
  bool on = false;
  char prefix = 0;
  std::string digits;  // cut to 4 characters
  char suffix = 0;
  // For services with a number, after taken codes: the number and a suffix
  // '*' or '#' are there (taken); read when the number is at most 20
  // dialling characters.
  bool numberTaken = false;
  bool numberRead = false;
  std::string number;  // cut to 20 characters
  char numberSuffix = 0;
};

// The cancel line: prefix, digits and suffix, taken and read as above.
struct CancelReply {
  bool taken = false;
  bool read = false;
  char prefix = 0;
  std::string digits;  // cut to 4 characters
  char suffix = 0;
};

[[nodiscard]] ActivationReply ParseActivationReply(std::string_view line, bool withNumber);
[[nodiscard]] CancelReply ParseCancelReply(std::string_view line);

// The decimal value a reply line begins with (blanks first allowed, a sign
// allowed); none when it begins with no number. Values beyond the range of
// int32 are clamped.
[[nodiscard]] std::optional<std::int32_t> ReplyValue(std::string_view line);

// Whether every character of `text` is one of `allowed`.
[[nodiscard]] bool OnlyCharacters(std::string_view text, std::string_view allowed);

}  // namespace norix::services
