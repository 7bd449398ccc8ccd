#include "upgrade/upgrade_file_builder.h"

#include <gtest/gtest.h>

#include "upgrade/cut_and_verify.h"
#include "upgrade/file_layout.h"
#include "upgrade/image_checksum.h"
#include "upgrade/section_search.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

TEST(UpgradeFileBuilder, HeaderCarriesTheRecipeAndChecksums) {
  auto recipe = ModemRecipe(100, 200);
  const auto file = Build(recipe);
  const auto header = ParseUpgradeHeader(file);
  EXPECT_EQ(header.name, recipe.name);
  EXPECT_EQ(header.version, "1.40");
  EXPECT_EQ(header.fileChecksum, ChecksumText(recipe.firmware));
  EXPECT_EQ(header.modemChecksum, header.fileChecksum);  // defaults to the firmware's
  EXPECT_EQ(header.fileChecksum2, "");                   // small file: never read

  recipe.modemChecksum = "V140OK";
  EXPECT_EQ(ParseUpgradeHeader(Build(recipe)).modemChecksum, "V140OK");
}

TEST(UpgradeFileBuilder, BigModemFileWithoutSecondFirmwareGetsChecksum2OfTheFirmware) {
  const auto recipe = ModemRecipe(400000, 460000);
  const auto file = Build(recipe);
  ASSERT_GT(file.size(), kFileThreeThreshold);
  const auto header = ParseUpgradeHeader(file);
  EXPECT_EQ(header.fileChecksum2, ChecksumText(recipe.firmware));
  auto image = MakeUpgradeImage(file);
  image.largeFlash = true;
  ASSERT_TRUE(CutImage(image, FileLayout::Modem).ok());
  EXPECT_TRUE(VerifyImageChecksum(image).ok());
}

TEST(UpgradeFileBuilder, RefusesRecipesThatWouldNotWork) {
  const auto error = [](const UpgradeFileRecipe& recipe) { return BuildUpgradeFile(recipe).error; };
  auto modem = ModemRecipe(100, 200);
  modem.version.clear();
  EXPECT_FALSE(error(modem).empty());
  EXPECT_FALSE(error(ModemRecipe(0, 200)).empty());
  EXPECT_FALSE(error(ModemRecipe(100, 0)).empty());
  // A second firmware in a file too small for "[FileThree]" to be read.
  EXPECT_NE(error(ModemRecipe(100, 200, 300)).find("800000"), std::string::npos);
  modem = ModemRecipe(100, 200);
  modem.bootCode = {1};
  EXPECT_FALSE(error(modem).empty());
  auto komet = KometRecipe(100, 0);
  komet.loader = {1};
  EXPECT_FALSE(error(komet).empty());
  auto solano = SolanoRecipe(100);
  solano.bootCode = MakeBootCode(1, 20, 1);
  EXPECT_FALSE(error(solano).empty());
  solano = SolanoRecipe(100);
  solano.modemChecksum = "TOOLONG1";
  EXPECT_FALSE(error(solano).empty());
  // Section data that holds a section header would be cut wrongly.
  solano = SolanoRecipe(0);
  solano.firmware = Bytes("abc[FileTwo]def");
  EXPECT_FALSE(error(solano).empty());
}

TEST(UpgradeFileWriter, WritesSectionsSeparatedByLineEnds) {
  const UpgradeHeader header{"", "1.00", "", "", "", ""};
  const auto file = WriteUpgradeFile(header, {{kFileOne, Bytes("AB")}, {kFileTwo, Bytes("CD")}});
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(Text(file.bytes), "[Product]\r\nVersion=1.00\r\n[FileOne]\r\nAB\r\n[FileTwo]\r\nCD");
  EXPECT_FALSE(WriteUpgradeFile(header, {{kFileOne, {}}, {kFileOne, {}}}).ok());
  EXPECT_FALSE(WriteUpgradeFile(header, {{"[FileFour]", {}}}).ok());
}

TEST(SeededBytes, AreTheSameForTheSameSeed) {
  EXPECT_EQ(SeededBytes(5, 1001), SeededBytes(5, 1001));
  EXPECT_NE(SeededBytes(5, 64), SeededBytes(6, 64));
  const auto longer = SeededBytes(5, 12);
  EXPECT_EQ(SeededBytes(5, 10), std::vector<std::uint8_t>(longer.begin(), longer.begin() + 10));
}

}  // namespace
}  // namespace norix::upgrade::testing
