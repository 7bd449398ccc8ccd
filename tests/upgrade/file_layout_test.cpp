#include "upgrade/file_layout.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "upgrade/cut_and_verify.h"
#include "upgrade/image_checksum.h"
#include "upgrade/section_search.h"
#include "upgrade/upgrade_file_messages.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

UpgradeImage Cut(const std::vector<std::uint8_t>& file, FileLayout layout, CutResult& result,
                 bool largeFlash = false, bool solanoFileTwo = false) {
  UpgradeImage image = MakeUpgradeImage(file);
  image.largeFlash = largeFlash;
  image.modemChecksum = "selected";
  result = CutImage(image, layout, solanoFileTwo);
  return image;
}

std::vector<std::uint8_t> Span(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// The flash loader as the modem layout cuts it: up to 9 bytes before the
// data of "[FileTwo]", so the line end before the header and "[F" go with it.
std::vector<std::uint8_t> SentLoader(std::vector<std::uint8_t> loader) {
  for (const char c : std::string_view("\r\n[F")) {
    loader.push_back(static_cast<std::uint8_t>(c));
  }
  return loader;
}

// The flash loader ends 9 bytes before the firmware's data start, whatever
// comes between the loader's last byte and "[FileTwo]".
TEST(ModemLayout, FlashLoaderEndsNineBytesBeforeTheFirmware) {
  struct Case {
    const char* between;
    const char* loader;
  };
  for (const Case& c :
       {Case{"\r\n", "LOADER\r\n[F"}, Case{"\n", "LOADER\n[F"}, Case{"", "LOADER[F"}}) {
    const std::string text =
        std::string("[Product]\r\n[FileOne]\r\nLOADER") + c.between + "[FileTwo]\r\nfirmware";
    CutResult result;
    const auto image = Cut(Bytes(text), FileLayout::Modem, result);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(Span(LoaderSection(image)), Bytes(c.loader)) << "between: " << c.between;
    EXPECT_EQ(Span(FirmwareSection(image)), Bytes("firmware"));
  }
}

TEST(ModemLayout, CutsLoaderAndFirmwareOfABuiltFile) {
  const auto recipe = ModemRecipe(1500, 4000);
  CutResult result;
  const auto image = Cut(Build(recipe), FileLayout::Modem, result);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(LoaderSection(image)), SentLoader(recipe.loader));
  EXPECT_EQ(Span(FirmwareSection(image)), recipe.firmware);
  EXPECT_TRUE(image.firmwareEndInclusive);
  EXPECT_EQ(image.firmwareEnd, image.size - 1);
  EXPECT_EQ(image.fileChecksum, ChecksumText(recipe.firmware));
  EXPECT_EQ(image.modemChecksum, "selected");  // the one read at file selection stays
  EXPECT_TRUE(VerifyImageChecksum(image).ok());
}

TEST(ModemLayout, BigFileGivesNormalAndLargeFlashTheirOwnFirmwareAndKeys) {
  auto recipe = ModemRecipe(2000, 300000, 500000);
  recipe.modemChecksum = "N1";
  recipe.modemChecksum2 = "L2";
  const auto file = Build(recipe);
  ASSERT_GT(file.size(), kFileThreeThreshold);

  CutResult result;
  const auto normal = Cut(file, FileLayout::Modem, result, false);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(FirmwareSection(normal)), recipe.firmware);
  EXPECT_EQ(normal.modemChecksum, "selected");
  EXPECT_TRUE(VerifyImageChecksum(normal).ok());

  const auto large = Cut(file, FileLayout::Modem, result, true);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(LoaderSection(large)), SentLoader(recipe.loader));
  EXPECT_EQ(Span(FirmwareSection(large)), recipe.firmware2);
  EXPECT_EQ(large.fileChecksum, ChecksumText(recipe.firmware2));
  EXPECT_EQ(large.modemChecksum, "L2");
  EXPECT_TRUE(VerifyImageChecksum(large).ok());
}

struct SizeRuleCase {
  const char* name;
  bool largeFlash;
  std::size_t firmwareBytes;  // end - start is one less
  bool accepted;
};

void PrintTo(const SizeRuleCase& c, std::ostream* os) { *os << c.name; }

class ModemSizeRule : public ::testing::TestWithParam<SizeRuleCase> {};

TEST_P(ModemSizeRule, Boundary) {
  const auto& c = GetParam();
  const auto file = Build(ModemRecipe(1000, c.firmwareBytes));
  ASSERT_LE(file.size(), kFileThreeThreshold);
  CutResult result;
  const auto image = Cut(file, FileLayout::Modem, result, c.largeFlash);
  if (c.accepted) {
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(FirmwareLength(image), c.firmwareBytes);
    EXPECT_TRUE(VerifyImageChecksum(image).ok());
  } else {
    EXPECT_EQ(result.messageId, kMsgNotForYourModem) << result.reason;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModemSizeRule,
                         ::testing::Values(SizeRuleCase{"Normal450000", false, 450001, true},
                                           SizeRuleCase{"Normal450001", false, 450002, false},
                                           SizeRuleCase{"Large449999", true, 450000, false},
                                           SizeRuleCase{"Large450000", true, 450001, true}),
                         [](const ::testing::TestParamInfo<SizeRuleCase>& param) {
                           return param.param.name;
                         });

TEST(ModemLayout, FileThreeIsOnlySearchedAbove800000Bytes) {
  CutResult result;
  const auto atLimit = ModemFileOfSize(800000, 1000, 100000);
  auto image = Cut(atLimit, FileLayout::Modem, result, false);
  // Not searched: the normal firmware runs over "[FileThree]" to the last
  // byte, which breaks the 450000 rule.
  EXPECT_EQ(result.messageId, kMsgNotForYourModem);
  image = Cut(atLimit, FileLayout::Modem, result, true);
  ASSERT_TRUE(result.ok()) << result.reason;
  const auto d2 = *FindSectionData(atLimit, kFileTwo, 0);
  EXPECT_EQ(image.firmwareStart, d2);
  EXPECT_EQ(image.firmwareEnd, atLimit.size() - 1);
  EXPECT_EQ(image.fileChecksum, "");  // FileChecksum, empty in this file
  EXPECT_EQ(image.modemChecksum, "selected");

  const auto aboveLimit = ModemFileOfSize(800001, 1000, 100000);
  image = Cut(aboveLimit, FileLayout::Modem, result, false);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(FirmwareSection(image)), SeededBytes(42, 100000));
  image = Cut(aboveLimit, FileLayout::Modem, result, true);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(image.firmwareStart, *FindSectionData(aboveLimit, kFileThree, 0));
  EXPECT_EQ(image.modemChecksum, "CD34");
}

TEST(ModemLayout, RefusesDamagedStructure) {
  const auto refusal = [](const std::string& text, bool large = false) {
    CutResult result;
    auto image = Cut(Bytes(text), FileLayout::Modem, result, large);
    return result.messageId;
  };
  const std::string head = "[Product]\r\nFileChecksum=0000\r\n";
  EXPECT_EQ(refusal(head), kMsgFileDamaged);
  EXPECT_EQ(refusal(head + "[FileOne]\r\nloader"), kMsgFileDamaged);
  EXPECT_EQ(refusal(head + "[FileTwo]\r\nfw[FileOne]\r\nloader"), kMsgFileDamaged);
  // No loader byte before "[FileTwo]": the loader end would lie before its start.
  EXPECT_EQ(refusal(head + "[FileOne]\r\n[FileTwo]\r\nfirmware"), kMsgFileDamaged);
  EXPECT_EQ(refusal(head + "[FileOne]\r\nL\r\n[FileTwo]\r\nfirmware"), 0);
  // "[FileTwo]" as the very last line: no firmware at all.
  EXPECT_EQ(refusal(head + "[FileOne]\r\nloader\r\n[FileTwo]\r\n"), kMsgNotForYourModem);
  EXPECT_EQ(refusal(head + "[FileOne]\r\nloader\r\n[FileTwo]\r\n", true), kMsgNotForYourModem);
}

TEST(ModemLayout, RefusesFileThreeRightAfterFileTwoInABigFile) {
  std::string text = "[Product]\r\nModemChecksum2=AB\r\n[FileOne]\r\nloader\r\n[FileTwo]\r\nx";
  text += "[FileThree]\r\n";
  text += std::string(kFileThreeThreshold, 'z');
  CutResult result;
  auto image = Cut(Bytes(text), FileLayout::Modem, result, false);
  EXPECT_EQ(result.messageId, kMsgNotForYourModem) << result.reason;
  image = Cut(Bytes(text), FileLayout::Modem, result, true);
  EXPECT_TRUE(result.ok()) << result.reason;
}

TEST(ModemLayout, LargeFlashInABigFileNeedsModemChecksum2) {
  auto recipe = ModemRecipe(1000, 300000, 500000);
  auto file = Build(recipe);
  const std::string key = "ModemChecksum2=";
  const auto text = Text(file);
  const auto at = text.find(key);
  ASSERT_NE(at, std::string::npos);
  // Rename the key so that it reads as missing, keeping every offset.
  file[at] = 'X';
  CutResult result;
  auto image = Cut(file, FileLayout::Modem, result, true);
  EXPECT_EQ(result.messageId, kMsgInvalidFile);
  EXPECT_EQ(image.modemChecksum, "selected");
  image = Cut(file, FileLayout::Modem, result, false);
  EXPECT_TRUE(result.ok());
}

TEST(KometLayout, CutsFirmwareAndBootCode) {
  const auto recipe = KometRecipe(5000, 300, 0x0102);
  CutResult result;
  const auto image = Cut(Build(recipe), FileLayout::KometII, result);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(FirmwareSection(image)), recipe.firmware);
  EXPECT_FALSE(image.firmwareEndInclusive);
  EXPECT_EQ(Span(LoaderSection(image)), recipe.bootCode);
  EXPECT_GT(image.loaderStart, image.firmwareStart);
  EXPECT_EQ(BootCodeVersion(LoaderSection(image)), 0x0102);
  EXPECT_TRUE(VerifyImageChecksum(image).ok());
}

TEST(KometLayout, WithoutFileTwoTheFirmwareRunsToTheEnd) {
  const auto recipe = KometRecipe(5000, 0);
  CutResult result;
  const auto image = Cut(Build(recipe), FileLayout::KometII, result);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(FirmwareSection(image)), recipe.firmware);
  EXPECT_EQ(image.loaderStart, 0U);
  EXPECT_EQ(image.loaderEnd, 0U);
  EXPECT_TRUE(VerifyImageChecksum(image).ok());
}

TEST(KometLayout, RefusesMissingOrEmptyFirmware) {
  const auto refusal = [](const std::string& text) {
    CutResult result;
    auto image = Cut(Bytes(text), FileLayout::KometII, result);
    return result.messageId;
  };
  EXPECT_EQ(refusal("[Product]\r\n[FileTwo]\r\nboot"), kMsgInvalidFile);
  EXPECT_EQ(refusal("[FileOne]\r\n"), kMsgInvalidFile);
  EXPECT_EQ(refusal("[FileOne]\r\n[FileTwo]\r\nboot"), kMsgInvalidFile);
  EXPECT_EQ(refusal("[FileOne]\r\nx[FileTwo]\r\nboot"), kMsgInvalidFile);
  EXPECT_EQ(refusal("[FileOne]\r\nfw\r\n[FileTwo]\r\n"), 0);
}

TEST(BootCodeVersion, NeedsTheMarkAndTwoBytes) {
  EXPECT_EQ(BootCodeVersion(Bytes("NORIX BOOT\x02\x01rest")), 0x0102);
  EXPECT_EQ(BootCodeVersion(Bytes("NORIX BOOT\x02")), std::nullopt);
  EXPECT_EQ(BootCodeVersion(Bytes("norix boot\x02\x01")), std::nullopt);
  EXPECT_EQ(BootCodeVersion({}), std::nullopt);
}

TEST(SolanoLayout, FirmwareRunsFromItsSectionToTheEnd) {
  const auto recipe = SolanoRecipe(7000);
  CutResult result;
  const auto image = Cut(Build(recipe), FileLayout::Solano, result);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(Span(FirmwareSection(image)), recipe.firmware);
  EXPECT_TRUE(VerifyImageChecksum(image).ok());

  const std::string twoSections =
      "[Product]\r\nFileChecksum=0000\r\n[FileOne]\r\nisdn\r\n[FileTwo]\r\nmodem";
  const auto fromTwo = Cut(Bytes(twoSections), FileLayout::Solano, result, false, true);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(Text(FirmwareSection(fromTwo)), "modem");
}

TEST(SolanoLayout, RefusesEmptyChecksumBeforeLookingForTheSection) {
  const auto refusal = [](const std::string& text, bool fileTwo = false) {
    CutResult result;
    auto image = Cut(Bytes(text), FileLayout::Solano, result, false, fileTwo);
    return result.reason;
  };
  EXPECT_EQ(refusal("[Product]\r\nName=x\r\n"), "FileChecksum is empty");
  EXPECT_EQ(refusal("[Product]\r\nFileChecksum=1\r\n"), "\"[FileOne]\" not found");
  EXPECT_EQ(refusal("[Product]\r\nFileChecksum=1\r\n[FileOne]\r\nx", true),
            "\"[FileTwo]\" not found");
  EXPECT_EQ(refusal("[Product]\r\nFileChecksum=1\r\n[FileOne]\r\n"),
            "no firmware data after \"[FileOne]\"");
}

TEST(Verification, ChecksumMustMatchExactly) {
  const auto verdict = [](const std::string& checksum) {
    const std::string text = "[Product]\r\nFileChecksum=" + checksum + "\r\n[FileOne]\r\nabc";
    CutResult result;
    const auto image = Cut(Bytes(text), FileLayout::Solano, result);
    EXPECT_TRUE(result.ok());
    return VerifyImageChecksum(image).messageId;
  };
  EXPECT_EQ(verdict("0126"), 0);
  EXPECT_EQ(verdict("0127"), kMsgInvalidFile);
  EXPECT_EQ(verdict("126"), kMsgInvalidFile);
  EXPECT_EQ(verdict("0126 "), 0);  // the profile reader trims the value
}

TEST(Verification, LowerCaseChecksumNeverMatches) {
  // Find a seed whose checksum holds a letter, then write it in lower case.
  for (std::uint32_t seed = 1;; ++seed) {
    auto recipe = SolanoRecipe(0);
    recipe.firmware = SeededBytes(seed, 100);
    const std::string upper = ChecksumText(recipe.firmware);
    if (upper.find_first_of("ABCDEF") == std::string::npos) {
      continue;
    }
    std::string lower = upper;
    for (char& c : lower) {
      c = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
    }
    const std::string text =
        "[Product]\r\nFileChecksum=" + lower + "\r\n[FileOne]\r\n" + Text(recipe.firmware);
    CutResult result;
    const auto image = Cut(Bytes(text), FileLayout::Solano, result);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(VerifyImageChecksum(image).messageId, kMsgInvalidFile) << lower;
    break;
  }
}

TEST(Verification, AnImageWithoutCutSectionsIsRefused) {
  const auto image = ImageOf("[Product]\r\nFileChecksum=0000\r\n");
  EXPECT_EQ(VerifyImageChecksum(image).messageId, kMsgInvalidFile);
}

TEST(CutImage, LeavesTheImageAsItWasWhenRefused) {
  auto image = MakeUpgradeImage(Build(KometRecipe(100, 50)));
  ASSERT_TRUE(CutImage(image, FileLayout::KometII).ok());
  const auto before = image;
  image.largeFlash = true;  // far too small for the large flash part
  EXPECT_FALSE(CutImage(image, FileLayout::Modem).ok());
  EXPECT_EQ(image.loaderStart, before.loaderStart);
  EXPECT_EQ(image.loaderEnd, before.loaderEnd);
  EXPECT_EQ(image.firmwareStart, before.firmwareStart);
  EXPECT_EQ(image.firmwareEnd, before.firmwareEnd);
  EXPECT_EQ(image.firmwareEndInclusive, before.firmwareEndInclusive);
  EXPECT_EQ(image.fileChecksum, before.fileChecksum);
}

TEST(LayoutChoice, ByProductKindAndTarget) {
  // isdnAdapter, isdnRescueProduct, internalModem, kometII, isdnTarget
  EXPECT_EQ(ChooseLayout({false, false, false, false, true}), FileLayout::Modem);
  EXPECT_EQ(ChooseLayout({true, false, false, false, true}), FileLayout::Solano);
  EXPECT_EQ(ChooseLayout({false, true, false, false, true}), FileLayout::Solano);
  EXPECT_EQ(ChooseLayout({true, false, false, true, true}), FileLayout::KometII);
  EXPECT_EQ(ChooseLayout({false, true, false, true, true}), FileLayout::KometII);
  EXPECT_EQ(ChooseLayout({true, false, true, false, true}), FileLayout::Solano);
  EXPECT_EQ(ChooseLayout({true, false, true, false, false}), FileLayout::Modem);
  // Without an internal modem the target does not matter.
  EXPECT_EQ(ChooseLayout({true, false, false, false, false}), FileLayout::Solano);

  EXPECT_FALSE(SolanoTakesFileTwo(2, true));
  EXPECT_TRUE(SolanoTakesFileTwo(2, false));
  EXPECT_TRUE(SolanoTakesFileTwo(3, false));
  EXPECT_FALSE(SolanoTakesFileTwo(10, true));
  EXPECT_TRUE(SolanoTakesFileTwo(1, true));
  EXPECT_TRUE(SolanoTakesFileTwo(9, true));
  EXPECT_TRUE(SolanoTakesFileTwo(17, true));
}

TEST(CutAndVerify, PicksTheLayoutAndAsksForLargeFlashOnlyForModems) {
  int asked = 0;
  const auto large = [&asked] {
    ++asked;
    return true;
  };
  auto image = MakeUpgradeImage(Build(KometRecipe(3000, 100)));
  auto result = CutAndVerifyImage(image, {{true, false, false, true, true}, 2, false}, large);
  EXPECT_TRUE(result.ok()) << result.reason;
  EXPECT_EQ(asked, 0);

  // A modem file given to a solano adapter: the solano layout's checksum
  // runs over the loader as well and does not match.
  image = MakeUpgradeImage(Build(ModemRecipe(100, 3000)));
  result = CutAndVerifyImage(image, {{true, false, false, false, true}, 2, false}, large);
  EXPECT_EQ(result.messageId, kMsgInvalidFile);

  // The modem with the large flash part refuses a normal flash file.
  result = CutAndVerifyImage(image, {{}, 1, false}, large);
  EXPECT_EQ(result.messageId, kMsgNotForYourModem);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(image.largeFlash);
}

}  // namespace
}  // namespace norix::upgrade::testing
