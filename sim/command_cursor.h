// Reading position in a command line after its "AT" prefix, with the small
// parsers that command handlers use for their parameters. Letters compare
// without regard to case, as a modem's command parser does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norix::sim {

class CommandCursor {
 public:
  explicit CommandCursor(std::string_view text) : text_(text) {}

  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }
  // The next character, '\0' at the end.
  [[nodiscard]] char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  [[nodiscard]] std::string_view Rest() const { return text_.substr(pos_); }
  void Advance(std::size_t count);

  // Takes `expected` if the text continues with it (case-insensitive).
  bool Consume(std::string_view expected);

  // Takes a run of decimal digits. None when no digit follows. Values beyond
  // kNumberLimit read as kNumberLimit, so a long run never overflows and
  // every range check rejects it.
  static constexpr std::uint32_t kNumberLimit = 0xFFFFFFU;
  [[nodiscard]] std::optional<std::uint32_t> Number();
  // A number where V.250 lets a missing value mean 0 ("ATE" is "ATE0").
  [[nodiscard]] std::uint32_t NumberOrZero() { return Number().value_or(0); }

  // The parameter text of an extended command ("+GCI=B5"): everything up to
  // the next ';' or the end of the line; the ';' is taken too.
  [[nodiscard]] std::string_view ExtendedArgument();

  // Everything that is left (a dial string, a relayed command line).
  [[nodiscard]] std::string_view TakeRest();

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Parses a whole text as a hexadecimal number of 1 to `maxDigits` (at most 8)
// digits.
[[nodiscard]] std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits);
// Parses a whole text as a decimal number of 1 to `maxDigits` (at most 9)
// digits.
[[nodiscard]] std::optional<std::uint32_t> ParseDecimal(std::string_view text,
                                                        std::size_t maxDigits);

// The products' own ASCII case rules: only A-Z and a-z have a case, whatever
// the locale. The simulator stands for the products' firmware, so it keeps
// these apart from the program's text helpers.
[[nodiscard]] bool EqualNoCase(std::string_view a, std::string_view b);
[[nodiscard]] bool StartsWithNoCase(std::string_view text, std::string_view prefix);
[[nodiscard]] std::string UpperCase(std::string_view text);

}  // namespace norix::sim
