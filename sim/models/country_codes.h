// The countries the maker's modems are sold for, in the two code sets the
// modems take.
#pragma once

#include <cstdint>
#include <vector>

namespace norix::sim::models {

// ITU-T T.35 codes ("+GCI"), ascending, as "AT+GCI=?" lists them.
[[nodiscard]] inline std::vector<std::uint16_t> GciCountries() {
  return {0x00, 0x09, 0x0A, 0x0F, 0x31, 0x3C, 0x3D, 0x42, 0x46, 0x57,
          0x59, 0x7B, 0x82, 0x8B, 0xA0, 0xA5, 0xA6, 0xB4, 0xB5};
}

// The maker's own nationality codes ("*NC"), ascending.
[[nodiscard]] inline std::vector<std::uint16_t> NationalityCodes() {
  return {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 22, 40, 43};
}

// The nationality codes of the countries with the European ISDN (DSS1) that
// the maker's ISDN adapters are approved for: not Australia, Japan or the
// U.S.A.
[[nodiscard]] inline std::vector<std::uint16_t> EuroIsdnNationalityCodes() {
  return {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17};
}

}  // namespace norix::sim::models
