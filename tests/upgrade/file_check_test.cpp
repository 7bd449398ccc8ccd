#include "upgrade/file_check.h"

#include <ostream>

#include <gtest/gtest.h>

#include "upgrade/default_file_name.h"
#include "upgrade/upgrade_file_dialog.h"
#include "upgrade/upgrade_file_messages.h"
#include "upgrade/version_number.h"

namespace norix::upgrade::testing {
namespace {

UpgradeHeader Header(std::string name, std::string version, std::string modemChecksum = "3A7F") {
  UpgradeHeader header;
  header.name = std::move(name);
  header.version = std::move(version);
  header.modemChecksum = std::move(modemChecksum);
  return header;
}

ProductForFileCheck Product(std::string_view text, std::uint32_t kind, int installed) {
  ProductForFileCheck product;
  product.identificationText = text;
  product.upgradeKind = kind;
  product.installedVersion = installed;
  return product;
}

// Counts how often the product was asked "ATI7".
struct AnalogInterface {
  bool present = false;
  int asked = 0;
  std::function<bool()> Query() {
    return [this] {
      ++asked;
      return present;
    };
  }
};

TEST(VersionNumber, ReadsLikeAtoi) {
  EXPECT_EQ(FileVersionNumber("1.30"), 130);
  EXPECT_EQ(FileVersionNumber("2.05"), 205);
  EXPECT_EQ(FileVersionNumber("1.3"), 103);
  EXPECT_EQ(FileVersionNumber("1.40 beta"), 140);
  EXPECT_EQ(FileVersionNumber("1"), 100);
  EXPECT_EQ(FileVersionNumber("abc"), 0);
  EXPECT_EQ(FileVersionNumber(" 1.10"), 100);       // the third character is the point
  EXPECT_EQ(FileVersionNumber("-1.50"), -100 + 0);  // third character is '.'
  EXPECT_EQ(FileVersionNumber("99999999999.99"), std::numeric_limits<int>::max());
  EXPECT_EQ(FileVersionNumber("-99999999999"), std::numeric_limits<int>::min());
  EXPECT_EQ(DecimalValue("2147483648"), std::numeric_limits<int>::max());
  EXPECT_EQ(DecimalValue("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(DecimalValue("  +42x"), 42);
  EXPECT_EQ(DecimalValue(""), 0);
}

TEST(FileCheck, NameMustBeginTheIdentificationText) {
  AnalogInterface ati7;
  const auto check = [&](std::string name, std::string_view text, std::uint32_t kind = 1) {
    return CheckFileAgainstProduct(Header(std::move(name), "1.40"), Product(text, kind, 130),
                                   ati7.Query());
  };
  EXPECT_EQ(check("NORIX corvid 560", "NORIX corvid 560 Voice V1.30").nextPage, kPageNewerVersion);
  EXPECT_EQ(check("norix CORVID", "NORIX corvid 560 Voice V1.30").nextPage, kPageNewerVersion);
  EXPECT_EQ(check("", "anything at all").nextPage, kPageNewerVersion);

  const auto wrong = check("NORIX Netrunner", "NORIX corvid 560 Voice V1.30");
  EXPECT_EQ(wrong.nextPage, kPageMainMenu);
  EXPECT_EQ(wrong.messageId, kMsgNotForYourEquipment);
  EXPECT_EQ(check("NORIX corvid 560 Voice V1.30 extra", "NORIX corvid 560 Voice V1.30").messageId,
            kMsgNotForYourEquipment);

  // " Rescue" and what follows are not part of the name.
  EXPECT_EQ(check("NORIX solano 1280", "NORIX solano 1280 Rescue Mode", 10).messageId, 0);
  EXPECT_EQ(check("NORIX solano 1280 Rescue", "NORIX solano 1280 Rescue Mode", 10).messageId,
            kMsgNotForYourEquipment);
  // A modem in rescue mode (kind 9) skips the name check.
  EXPECT_EQ(check("NORIX corvid", "NORIX Modem Rescue Mode", 9).messageId, 0);
  EXPECT_EQ(check("NORIX corvid", "NORIX Modem Rescue Mode", 9 + 16).messageId, 0);
}

TEST(FileCheck, VersionDecidesThePage) {
  AnalogInterface ati7;
  const auto page = [&](std::string version, int installed) {
    return CheckFileAgainstProduct(Header("NORIX", std::move(version)),
                                   Product("NORIX corvid 560 Voice V1.40", 1, installed),
                                   ati7.Query());
  };
  EXPECT_EQ(page("1.30", 140).nextPage, kPageOlderVersion);
  EXPECT_EQ(page("1.40", 140).nextPage, kPageSameVersion);
  EXPECT_EQ(page("1.41", 140).nextPage, kPageNewerVersion);
  EXPECT_EQ(page("1.40", 140).fileVersionNumber, 140);
  EXPECT_EQ(page("1.40", 140).modemChecksum, "3A7F");

  const auto empty = page("", 140);
  EXPECT_EQ(empty.nextPage, kPageMainMenu);
  EXPECT_EQ(empty.messageId, kMsgInvalidFile);
  EXPECT_EQ(ati7.asked, 0);
}

TEST(FileCheck, ModemChecksumMustNotBeEmpty) {
  const auto result = CheckFileAgainstProduct(Header("NORIX", "1.40", ""),
                                              Product("NORIX x V1.00", 1, 100), nullptr);
  EXPECT_EQ(result.nextPage, kPageMainMenu);
  EXPECT_EQ(result.messageId, kMsgInvalidFile);
}

TEST(FileCheck, TwoComponentAdapterComparesTheTargetComponent) {
  auto product = Product("NORIX solano 1280mi V1.50", 3, 150);
  product.modemComponentVersion = 120;
  const auto header = Header("NORIX solano 1280", "1.30");
  EXPECT_EQ(CheckFileAgainstProduct(header, product, nullptr).nextPage, kPageOlderVersion);
  product.isdnTarget = false;
  EXPECT_EQ(CheckFileAgainstProduct(header, product, nullptr).nextPage, kPageNewerVersion);
}

TEST(FileCheck, RescueTransferSkipsVersionAndGoesToProgress) {
  auto product = Product("NORIX solano 1280 Rescue Mode", 10, 0);
  product.rescueTransfer = true;
  AnalogInterface ati7;
  ati7.present = true;
  const auto result = CheckFileAgainstProduct(Header("NORIX solano", ""), product, ati7.Query());
  EXPECT_EQ(result.nextPage, kPageProgress);
  EXPECT_EQ(result.messageId, 0);
  EXPECT_EQ(ati7.asked, 0);
  // The modem checksum is still required.
  EXPECT_EQ(CheckFileAgainstProduct(Header("NORIX solano", "", ""), product, nullptr).messageId,
            kMsgInvalidFile);
}

TEST(FileCheck, AnalogInterfaceAdapterRefusesVersionsBelow130) {
  AnalogInterface ati7;
  ati7.present = true;
  const auto product = Product("NORIX solano 1280i a/b V1.40", 2, 140);
  auto result = CheckFileAgainstProduct(Header("NORIX solano 1280", "1.29"), product, ati7.Query());
  EXPECT_EQ(result.nextPage, kPageSameVersion);
  EXPECT_TRUE(result.v130Refusal);
  EXPECT_EQ(ati7.asked, 1);

  // Checked before the modem checksum.
  result = CheckFileAgainstProduct(Header("NORIX solano 1280", "1.20", ""), product, ati7.Query());
  EXPECT_TRUE(result.v130Refusal);

  result = CheckFileAgainstProduct(Header("NORIX solano 1280", "1.30"), product, ati7.Query());
  EXPECT_FALSE(result.v130Refusal);
  EXPECT_EQ(result.nextPage, kPageOlderVersion);

  ati7.present = false;
  result = CheckFileAgainstProduct(Header("NORIX solano 1280", "1.29"), product, ati7.Query());
  EXPECT_FALSE(result.v130Refusal);
  EXPECT_EQ(result.nextPage, kPageOlderVersion);

  // Only the ISDN adapter kind 2 is asked.
  ati7 = {true, 0};
  result = CheckFileAgainstProduct(Header("NORIX solano 1280", "1.29"),
                                   Product("NORIX solano 1280mi V1.40", 3, 140), ati7.Query());
  EXPECT_FALSE(result.v130Refusal);
  EXPECT_EQ(ati7.asked, 0);
}

TEST(FileCheck, ProductFromContextTakesTheVersions) {
  link::ModemContext context;
  context.firmwareVersionNumber = 150;
  context.internalModemVersionNumber = "120";
  const auto product = ProductFromContext(context, "NORIX solano 1280mi V1.50", 3, false, false);
  EXPECT_EQ(product.installedVersion, 150);
  EXPECT_EQ(product.modemComponentVersion, 120);
  EXPECT_FALSE(product.isdnTarget);
}

struct NameCase {
  const char* name;
  std::string identification;
  bool isdnTarget;
  std::optional<std::string> pattern;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class DefaultFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(DefaultFileName, FromIdentification) {
  EXPECT_EQ(BuildDefaultFileName(GetParam().identification, GetParam().isdnTarget),
            GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Products, DefaultFileName,
    ::testing::Values(
        NameCase{"Corvid", "NORIX corvid 560 Voice V1.40", true, "C560V???.LFU"},
        NameCase{"CorvidUsbIsUsb", "NORIX Corvid 560V USB V1.20", true, "B560V???.LFU"},
        NameCase{"Netrunner56000", "NORIX Netrunner 56000 Voice V1.10", true, "N560V???.LFU"},
        NameCase{"Corvid336", "NORIX corvid 336 Voice V2.00", true, "C336V???.LFU"},
        NameCase{"Marlin", "NORIX Marlin 560 Voice V1.00", true, "M560V???.LFU"},
        NameCase{"Internal", "NORIX 560 V Int V1.00", true, "H560V???.LFU"},
        NameCase{"SolanoIsdn", "NORIX solano 1280i V1.50", true, "1280V???.LFU"},
        NameCase{"SolanoModemComponent", "NORIX solano 1280mi V1.50", false, "S336V???.LFU"},
        NameCase{"Komet", "NORIX KOMET II V2.05", true, "KMT2V???.LFU"},
        NameCase{"NoFamily", "NORIX Unknown 560", true, std::nullopt},
        NameCase{"NoSpeedClass", "NORIX corvid 288", true, std::nullopt},
        NameCase{"Empty", "", true, std::nullopt}),
    [](const ::testing::TestParamInfo<NameCase>& param) { return param.param.name; });

TEST(UpgradeFileDialog, StartsInTheProgramFolderThenInTheLastFilesFolder) {
  UpgradeFolderMemory memory;
  auto request = MakeUpgradeFileDialogRequest("C560V???.LFU", memory, "/opt/norix");
  EXPECT_EQ(request.titleId, kMsgSelectFileTitle);
  EXPECT_EQ(request.filterName, "NORIX flash upgrade files (.lfu)");
  EXPECT_EQ(request.filterPattern, "*.lfu");
  EXPECT_EQ(request.defaultExtension, "lfu");
  EXPECT_EQ(request.startFolder, "/opt/norix");
  EXPECT_EQ(request.fileName, "C560V???.LFU");
  EXPECT_TRUE(request.fileMustExist);

  RememberChosenFile(memory, "/home/u/firmware/C560V140.LFU");
  request = MakeUpgradeFileDialogRequest(std::nullopt, memory, "/opt/norix");
  EXPECT_EQ(request.startFolder, "/home/u/firmware");
  EXPECT_EQ(request.fileName, std::nullopt);

  RememberChosenFile(memory, "/C560V140.LFU");
  EXPECT_EQ(StartFolder(memory, "/opt/norix"), "/");
}

}  // namespace
}  // namespace norix::upgrade::testing
