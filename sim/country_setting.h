// The country a product is set for, and the commands that read and change
// it. A product takes one of two command families:
//   T.35 ("+GCI"):  "+GCI?" -> "+GCI: B5", "+GCI=?" -> "+GCI: (00,09,...,B5)",
//                   "+GCI=xx" sets it; "ATI5" answers "B5"
//   nationality ("*NC"): "*NCnnn" sets it (three digits; commands may follow
//                   at once, as in "ATI5*NC003Z"); "ATI5" answers "003"
// Both take "*N-" and "*N+", the maker's bracket around a country change.
// The country is kept apart from the settings profiles: "AT&F" and "ATZ"
// leave it as it is, as the products keep it in memory of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/command_set.h"

namespace norix::sim {

enum class CountryCodeSet : std::uint8_t { T35, Nationality };

class CountrySetting {
 public:
  // `supported` in the order "+GCI=?" lists them; `factory` is the country
  // the product leaves the factory with.
  CountrySetting(CountryCodeSet codeSet, std::vector<std::uint16_t> supported,
                 std::uint16_t factory);

  // Makes the product refuse the country with this dialling code although
  // it still lists it; none, or a country the table does not know, refuses
  // nothing beyond the unsupported ones.
  void Refuse(std::optional<std::uint16_t> diallingCode);

  // The current country as "ATI5" reports it: "B5" or "003".
  [[nodiscard]] std::string CurrentText() const;
  [[nodiscard]] std::uint16_t Current() const { return current_; }
  // Back to the country the product left the factory with.
  void ResetToFactory() { current_ = factory_; }

  // Adds "*N" and either "+GCI" or "*NC". Handlers keep `this`.
  void AddCommands(CommandSet& commands);

 private:
  // Sets the country; false when it is not supported or refused.
  bool Set(std::uint32_t code);

  CountryCodeSet codeSet_;
  std::vector<std::uint16_t> supported_;
  std::uint16_t factory_;
  std::uint16_t current_;
  std::optional<std::uint16_t> refused_;  // in the product's own code set
};

// A T.35 code as products report it: two upper-case hex digits.
[[nodiscard]] std::string HexCode(unsigned value);
// A nationality code as products report it: three decimal digits.
[[nodiscard]] std::string DecimalCode(unsigned value);

}  // namespace norix::sim
