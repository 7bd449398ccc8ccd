// The countries a product can be set for: their list texts, international
// dialling codes, the maker's "*NC" nationality codes, the ITU-T T.35 codes
// that "+GCI" takes, and their flag pictures. The dialling code is the key
// of an entry everywhere (list item data, page state, upgrade restore).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace norix::device {

struct NationalityEntry {
  int nameText = 0;  // the list text, string 2162-2180
  std::uint16_t diallingCode = 0;
  std::uint16_t ncCode = 0;   // "ATI5*NC%03dZ"
  std::uint32_t gciCode = 0;  // one byte: "ATI5+GCI=%02X"
  int flagPicture = 0;        // picture resource 301-319
};

inline constexpr std::size_t kNationalityCount = 19;

// The entries in list order (the order of the country name texts).
extern const std::array<NationalityEntry, kNationalityCount> kNationalityTable;

// Reported by ReadCurrentNationality when "ATI5" was not answered with OK.
inline constexpr std::uint16_t kNationalityUnknown = 0xFFFF;
// No entry matched the product's answer.
inline constexpr std::uint16_t kNationalityNone = 0;

// The index of the entry with that dialling code; none when no entry has it.
[[nodiscard]] std::optional<std::size_t> FindNationality(std::uint16_t diallingCode);

// The code the product takes for the country: the GCI code with "+GCI"
// support, else the NC code; 0 for a dialling code that is in no entry.
[[nodiscard]] std::uint32_t NationalityCode(std::uint16_t diallingCode, bool gciSupport);

// The flag picture of the country; 0 for a dialling code that is in no entry.
[[nodiscard]] int NationalityFlag(std::uint16_t diallingCode);

// The setting command for a country: "ATI5+GCI=B5" with "+GCI" support,
// "ATI5*NC003Z" without; empty for a dialling code that is in no entry.
[[nodiscard]] std::string NationalitySettingCommand(std::uint16_t diallingCode, bool gciSupport);

}  // namespace norix::device
