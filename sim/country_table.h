// The countries the maker's products are sold for, each with the codes the
// two country command families take: the maker's own nationality code
// ("*NC", three decimal digits) and the ITU-T T.35 country code ("+GCI", two
// hexadecimal digits). Options name a country by its international dialling
// code, whatever the product's command family.
#pragma once

#include <cstdint>
#include <span>

namespace norix::sim {

struct Country {
  std::uint16_t diallingCode = 0;  // 46 for Sweden
  std::uint16_t nationalityCode = 0;
  std::uint16_t t35Code = 0;
};

// The 19 countries, in the order of their names (England last but one).
[[nodiscard]] std::span<const Country> Countries();

// The country with that dialling code; null when none has it.
[[nodiscard]] const Country* FindCountry(std::uint16_t diallingCode);

}  // namespace norix::sim
