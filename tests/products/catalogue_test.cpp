#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "products/product_catalogue.h"

namespace norix::products {
using namespace norix::device;
namespace {

struct LookupCase {
  std::string_view text;
  std::optional<std::size_t> row;
  UpgradeClass kind;
};

class CatalogueLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(CatalogueLookup, FindsRowAndKind) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(FindCatalogueRow(c.text, BuiltInCatalogue()), c.row) << c.text;
  EXPECT_EQ(LookupUpgradeKind(c.text), c.kind) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    BuiltIn, CatalogueLookup,
    ::testing::Values(
        // Product names as ParseIdentification leaves them, with the blank.
        LookupCase{"NORIX Netrunner 56000 Voice ", 9, 1},
        LookupCase{"NORIX Netrunner 33600 Voice ", 7, 0},
        // The analogue-port adapter: the shorter length decides, and rows 13
        // ("NORIX solano 1280 Rescue Mode") and 14 ("...1280mi") differ early.
        LookupCase{"NORIX solano 1280i a/b", 15, 2}, LookupCase{"NORIX solano 1280mi ", 14, 3},
        LookupCase{"NORIX solano 640i ", 16, 0},
        // Case does not matter, either way round.
        LookupCase{"norix corvid 560 voice", 8, 1}, LookupCase{"NORIX CORVID 560V USB ", 12, 17},
        LookupCase{"NORIX Corvid 336V ", 2, 0}, LookupCase{"NORIX Corvid 336 Voice ", 6, 1},
        LookupCase{"NORIX marlin 560 voice ", 10, 17},
        // The identification texts of products in rescue mode.
        LookupCase{"NORIX Modem Rescue Mode", 17, 9},
        LookupCase{"NORIX solano 1280 Rescue Mode", 13, 10},
        // Exactly row 19's name: not row 18, which is only its beginning.
        LookupCase{"NORIX KOMET II Rescue Mode", 19, 10}, LookupCase{"NORIX KOMET II ", 18, 2},
        LookupCase{"NORIX KOMET II", 18, 2},
        // A text that is a beginning of several names takes the first.
        LookupCase{"NORIX", 0, 0}, LookupCase{"norix ko", 18, 2},
        // Nothing of ours.
        LookupCase{"", std::nullopt, 0}, LookupCase{"Unknown Modem", std::nullopt, 0},
        LookupCase{"No Modem Detected", std::nullopt, 0},
        LookupCase{"NORIX Netrunner 28800", std::nullopt, 0}));

TEST(Catalogue, EveryBuiltInNameFindsItsOwnRow) {
  const ProductCatalogue& catalogue = BuiltInCatalogue();
  std::size_t count = 0;
  for (std::size_t i = 0; i < catalogue.rows.size() && !catalogue.rows[i].name.empty(); ++i) {
    EXPECT_EQ(FindCatalogueRow(catalogue.rows[i].name, catalogue), i) << catalogue.rows[i].name;
    ++count;
  }
  EXPECT_EQ(count, 20U);
  EXPECT_EQ(catalogue.rows.size(), kCatalogueCapacity);
}

TEST(Catalogue, RescueKindGoesWithRescueName) {
  for (const CatalogueRow& row : BuiltInCatalogue().rows) {
    if (row.name.empty()) {
      break;
    }
    const bool rescue = (row.upgradeKind & kUpgradeRescueMode) != 0;
    EXPECT_EQ(rescue, row.name.find("Rescue Mode") != std::string_view::npos) << row.name;
  }
}

TEST(Catalogue, FullCatalogueWithoutEndRowStopsAtItsCapacity) {
  ProductCatalogue full;
  for (auto& row : full.rows) {
    row = {"NORIX filler", kProductClassAnalogue, 1};
  }
  full.rows.back() = {"NORIX last row", kProductClassIsdn, 2};
  EXPECT_EQ(FindCatalogueRow("NORIX last row", full), kCatalogueCapacity - 1);
  EXPECT_EQ(LookupUpgradeKind("Somebody else", full), kUpgradeNone);
}

TEST(Catalogue, RowsAfterTheEndRowAreNotSearched) {
  ProductCatalogue catalogue;
  catalogue.rows[0] = {"NORIX first", kProductClassAnalogue, 1};
  catalogue.rows[2] = {"NORIX hidden", kProductClassAnalogue, 17};
  EXPECT_EQ(LookupUpgradeKind("NORIX hidden", catalogue), kUpgradeNone);
}

TEST(Catalogue, OverlongRowNameTakesPartWithItsFirst39Characters) {
  const std::string name = "NORIX a product name well over the limit of the table";
  ProductCatalogue catalogue;
  catalogue.rows[0] = {name, kProductClassAnalogue, 1};
  const std::string sameStart = name.substr(0, kCatalogueNameCapacity) + " but another end";
  EXPECT_EQ(LookupUpgradeKind(sameStart, catalogue), 1U);
  EXPECT_EQ(LookupUpgradeKind(name.substr(0, kCatalogueNameCapacity - 1) + "#", catalogue),
            kUpgradeNone);
}

}  // namespace
}  // namespace norix::products
