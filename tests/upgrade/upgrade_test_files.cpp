#include "upgrade_test_files.h"

#include <gtest/gtest.h>

#include "upgrade/section_search.h"

namespace norix::upgrade::testing {

std::vector<std::uint8_t> Build(const UpgradeFileRecipe& recipe) {
  auto file = BuildUpgradeFile(recipe);
  EXPECT_TRUE(file.ok()) << file.error;
  return std::move(file.bytes);
}

UpgradeFileRecipe ModemRecipe(std::size_t loaderSize, std::size_t firmwareSize,
                              std::size_t firmware2Size) {
  UpgradeFileRecipe recipe;
  recipe.family = UpgradeFamily::Modem;
  recipe.name = "NORIX corvid 560 Voice";
  recipe.version = "1.40";
  recipe.loader = SeededBytes(11, loaderSize);
  recipe.firmware = SeededBytes(12, firmwareSize);
  recipe.firmware2 = SeededBytes(13, firmware2Size);
  return recipe;
}

UpgradeFileRecipe KometRecipe(std::size_t firmwareSize, std::size_t bootSize,
                              std::uint16_t bootVersion) {
  UpgradeFileRecipe recipe;
  recipe.family = UpgradeFamily::KometII;
  recipe.name = "NORIX KOMET II";
  recipe.version = "2.05";
  recipe.firmware = SeededBytes(21, firmwareSize);
  if (bootSize > 0) {
    recipe.bootCode = MakeBootCode(bootVersion, bootSize, 22);
  }
  return recipe;
}

UpgradeFileRecipe SolanoRecipe(std::size_t firmwareSize) {
  UpgradeFileRecipe recipe;
  recipe.family = UpgradeFamily::Solano;
  recipe.name = "NORIX solano 1280";
  recipe.version = "1.50";
  recipe.firmware = SeededBytes(31, firmwareSize);
  return recipe;
}

std::vector<std::uint8_t> ModemFileOfSize(std::size_t totalSize, std::size_t loaderSize,
                                          std::size_t firmwareSize) {
  UpgradeHeader header;
  header.name = "NORIX corvid 560 Voice";
  header.version = "1.40";
  header.modemChecksum = "AB12";
  header.modemChecksum2 = "CD34";
  std::vector<DataSection> sections{{kFileOne, SeededBytes(41, loaderSize)},
                                    {kFileTwo, SeededBytes(42, firmwareSize)},
                                    {kFileThree, {}}};
  const auto withoutThird = WriteUpgradeFile(header, sections);
  EXPECT_TRUE(withoutThird.ok()) << withoutThird.error;
  EXPECT_LE(withoutThird.bytes.size(), totalSize);
  sections[2].data = SeededBytes(43, totalSize - withoutThird.bytes.size());
  auto file = WriteUpgradeFile(header, sections);
  EXPECT_TRUE(file.ok()) << file.error;
  EXPECT_EQ(file.bytes.size(), totalSize);
  return std::move(file.bytes);
}

}  // namespace norix::upgrade::testing
