// The built-in table of the maker's models: which upgrade kind each has.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "device/upgrade_class.h"

namespace norix::products {

inline constexpr std::size_t kCatalogueCapacity = 40;
// Longer row names take part in lookups with their first 39 characters only.
inline constexpr std::size_t kCatalogueNameCapacity = 39;

// Product classes carried in the rows; no lookup uses them.
inline constexpr std::uint32_t kProductClassAnalogue = 1;  // also the adapter with internal modem
inline constexpr std::uint32_t kProductClassIsdn = 2;

struct CatalogueRow {
  std::string_view name;  // an empty name ends the catalogue
  std::uint32_t productClass = 0;
  device::UpgradeClass upgradeKind = device::kUpgradeNone;
};

struct ProductCatalogue {
  std::array<CatalogueRow, kCatalogueCapacity> rows{};
};

// The 20 models the program knows, in lookup order.
[[nodiscard]] const ProductCatalogue& BuiltInCatalogue();

// Index of the row for `text`, case-insensitively: the row named exactly like
// the text, else the first row whose name agrees with the text over the length
// of the shorter of the two (so "NORIX solano 1280i a/b" finds
// "NORIX solano 1280i"). None for an empty text or when no row agrees.
[[nodiscard]] std::optional<std::size_t> FindCatalogueRow(std::string_view text,
                                                          const ProductCatalogue& catalogue);

// Upgrade kind of the first matching row; kUpgradeNone without a match.
[[nodiscard]] device::UpgradeClass LookupUpgradeKind(std::string_view text,
                                                     const ProductCatalogue& catalogue);
[[nodiscard]] device::UpgradeClass LookupUpgradeKind(std::string_view text);

}  // namespace norix::products
