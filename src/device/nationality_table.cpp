#include "device/nationality_table.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "resources/resource_ids.h"

namespace norix::device {

const std::array<NationalityEntry, kNationalityCount> kNationalityTable{{
    {2162, 61, 40, 0x09, resources::kFirstFlagPicture + 0},    // Australia
    {2163, 43, 1, 0x0A, resources::kFirstFlagPicture + 1},     // Austria
    {2164, 32, 2, 0x0F, resources::kFirstFlagPicture + 2},     // Belgium
    {2165, 45, 3, 0x31, resources::kFirstFlagPicture + 3},     // Denmark
    {2166, 358, 4, 0x3C, resources::kFirstFlagPicture + 4},    // Finland
    {2167, 33, 5, 0x3D, resources::kFirstFlagPicture + 5},     // France
    {2168, 49, 6, 0x42, resources::kFirstFlagPicture + 6},     // Germany
    {2169, 30, 17, 0x46, resources::kFirstFlagPicture + 7},    // Greece
    {2170, 353, 7, 0x57, resources::kFirstFlagPicture + 8},    // Ireland
    {2171, 39, 8, 0x59, resources::kFirstFlagPicture + 9},     // Italy
    {2172, 81, 43, 0x00, resources::kFirstFlagPicture + 10},   // Japan
    {2173, 31, 10, 0x7B, resources::kFirstFlagPicture + 11},   // Netherlands
    {2174, 47, 11, 0x82, resources::kFirstFlagPicture + 12},   // Norway
    {2175, 351, 12, 0x8B, resources::kFirstFlagPicture + 13},  // Portugal
    {2176, 34, 13, 0xA0, resources::kFirstFlagPicture + 14},   // Spain
    {2177, 46, 14, 0xA5, resources::kFirstFlagPicture + 15},   // Sweden
    {2178, 41, 15, 0xA6, resources::kFirstFlagPicture + 16},   // Switzerland
    {2179, 44, 16, 0xB4, resources::kFirstFlagPicture + 17},   // England
    {2180, 1, 22, 0xB5, resources::kFirstFlagPicture + 18},    // U.S.A.
}};

std::optional<std::size_t> FindNationality(std::uint16_t diallingCode) {
  const auto* it = std::find_if(
      kNationalityTable.begin(), kNationalityTable.end(),
      [diallingCode](const NationalityEntry& entry) { return entry.diallingCode == diallingCode; });
  if (it == kNationalityTable.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(it - kNationalityTable.begin());
}

std::uint32_t NationalityCode(std::uint16_t diallingCode, bool gciSupport) {
  const auto index = FindNationality(diallingCode);
  if (!index) {
    return 0;
  }
  const NationalityEntry& entry = kNationalityTable[*index];
  return gciSupport ? entry.gciCode : entry.ncCode;
}

int NationalityFlag(std::uint16_t diallingCode) {
  const auto index = FindNationality(diallingCode);
  return index ? kNationalityTable[*index].flagPicture : 0;
}

std::string NationalitySettingCommand(std::uint16_t diallingCode, bool gciSupport) {
  if (!FindNationality(diallingCode)) {
    return {};
  }
  const std::uint32_t code = NationalityCode(diallingCode, gciSupport);
  std::array<char, 32> text{};
  if (gciSupport) {
    static_cast<void>(std::snprintf(text.data(), text.size(), "ATI5+GCI=%02X", code & 0xFFU));
  } else {
    static_cast<void>(std::snprintf(text.data(), text.size(), "ATI5*NC%03uZ", code));
  }
  return text.data();
}

}  // namespace norix::device
