#include "sim/country_table.h"

#include <array>

namespace norix::sim {
namespace {

constexpr std::array<Country, 19> kCountries = {{
    {61, 40, 0x09},   // Australia
    {43, 1, 0x0A},    // Austria
    {32, 2, 0x0F},    // Belgium
    {45, 3, 0x31},    // Denmark
    {358, 4, 0x3C},   // Finland
    {33, 5, 0x3D},    // France
    {49, 6, 0x42},    // Germany
    {30, 17, 0x46},   // Greece
    {353, 7, 0x57},   // Ireland
    {39, 8, 0x59},    // Italy
    {81, 43, 0x00},   // Japan
    {31, 10, 0x7B},   // Netherlands
    {47, 11, 0x82},   // Norway
    {351, 12, 0x8B},  // Portugal
    {34, 13, 0xA0},   // Spain
    {46, 14, 0xA5},   // Sweden
    {41, 15, 0xA6},   // Switzerland
    {44, 16, 0xB4},   // England
    {1, 22, 0xB5},    // U.S.A.
}};

}  // namespace

std::span<const Country> Countries() { return kCountries; }

const Country* FindCountry(std::uint16_t diallingCode) {
  for (const Country& country : kCountries) {
    if (country.diallingCode == diallingCode) {
      return &country;
    }
  }
  return nullptr;
}

}  // namespace norix::sim
