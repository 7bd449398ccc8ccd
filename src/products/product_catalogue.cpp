#include "products/product_catalogue.h"

#include <algorithm>

#include "platform/ascii/ascii_text.h"

namespace norix::products {

namespace {

constexpr device::UpgradeClass kModem = device::kUpgradeAnalogueModem;
constexpr device::UpgradeClass kIsdn = device::kUpgradeIsdnAdapter;
constexpr device::UpgradeClass kRescue = device::kUpgradeRescueMode;
constexpr device::UpgradeClass kNoProbe = device::kUpgradeNoSpeedProbe;

constexpr ProductCatalogue kBuiltIn{{{
    {"NORIX solano 288", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX corvid 288", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX corvid 336V", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX MARLIN 288", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX MARLIN 336", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX 288V int", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX corvid 336 Voice", kProductClassAnalogue, kModem},
    {"NORIX Netrunner 33600 Voice", kProductClassAnalogue, device::kUpgradeNone},
    {"NORIX corvid 560 Voice", kProductClassAnalogue, kModem},
    {"NORIX Netrunner 56000 Voice", kProductClassAnalogue, kModem},
    {"NORIX Marlin 560 Voice", kProductClassAnalogue, kModem | kNoProbe},
    {"NORIX 560 V Int", kProductClassAnalogue, kModem | kNoProbe},
    {"NORIX Corvid 560V USB", kProductClassAnalogue, kModem | kNoProbe},
    {"NORIX solano 1280 Rescue Mode", kProductClassIsdn, kIsdn | kRescue},
    {"NORIX solano 1280mi", kProductClassAnalogue, kModem | kIsdn},
    {"NORIX solano 1280i", kProductClassIsdn, kIsdn},
    {"NORIX solano 640i", kProductClassIsdn, device::kUpgradeNone},
    {"NORIX Modem Rescue Mode", kProductClassAnalogue, kModem | kRescue},
    {"NORIX KOMET II", kProductClassIsdn, kIsdn},
    {"NORIX KOMET II Rescue Mode", kProductClassIsdn, kIsdn | kRescue},
}}};

constexpr bool AllNamesFit(const ProductCatalogue& catalogue) {
  return std::all_of(catalogue.rows.begin(), catalogue.rows.end(), [](const CatalogueRow& row) {
    return row.name.size() <= kCatalogueNameCapacity;
  });
}
static_assert(AllNamesFit(kBuiltIn), "catalogue names hold at most 39 characters");

}  // namespace

const ProductCatalogue& BuiltInCatalogue() { return kBuiltIn; }

std::optional<std::size_t> FindCatalogueRow(std::string_view text,
                                            const ProductCatalogue& catalogue) {
  if (text.empty()) {
    return std::nullopt;
  }
  std::optional<std::size_t> first;
  for (std::size_t i = 0; i < catalogue.rows.size(); ++i) {
    const std::string_view name = catalogue.rows[i].name.substr(0, kCatalogueNameCapacity);
    if (name.empty()) {
      break;
    }
    // A row named exactly like the text wins over an earlier row that is only
    // a beginning of it: "NORIX KOMET II Rescue Mode" must not be taken for
    // "NORIX KOMET II", whose upgrade is a different one.
    if (platform::ascii::EqualNoCase(name, text)) {
      return i;
    }
    const std::size_t common = std::min(name.size(), text.size());
    if (!first && platform::ascii::EqualNoCase(name.substr(0, common), text.substr(0, common))) {
      first = i;
    }
  }
  return first;
}

device::UpgradeClass LookupUpgradeKind(std::string_view text, const ProductCatalogue& catalogue) {
  const auto row = FindCatalogueRow(text, catalogue);
  return row ? catalogue.rows[*row].upgradeKind : device::kUpgradeNone;
}

device::UpgradeClass LookupUpgradeKind(std::string_view text) {
  return LookupUpgradeKind(text, kBuiltIn);
}

}  // namespace norix::products
