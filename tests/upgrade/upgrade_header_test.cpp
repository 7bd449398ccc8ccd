#include "upgrade/upgrade_header.h"

#include <string>

#include <gtest/gtest.h>

#include "upgrade/profile_tokenizer.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

TEST(ProfileTokenizer, SplitsSectionsAndEntriesAndSkipsTheRest) {
  ProfileTokenizer tokenizer(
      "; comment line\r\n"
      "  [ Product ]  \r\n"
      "Name = NORIX corvid  \r\n"
      "just text\n"
      "Quoted=\"  spaced  \"\n"
      "Single='x'\n"
      "Unbalanced=\"x'\n"
      "Empty=\n"
      "[Open\n"
      "Last=1");
  std::vector<std::pair<std::string, std::string>> seen;
  while (const auto line = tokenizer.Next()) {
    const char* kind = line->kind == ProfileLine::Kind::Section ? "section:" : "";
    seen.emplace_back(kind + std::string(line->name), std::string(line->value));
  }
  const std::vector<std::pair<std::string, std::string>> expected{
      {"section:Product", ""},  {"Name", "NORIX corvid"},
      {"Quoted", "  spaced  "}, {"Single", "x"},
      {"Unbalanced", "\"x'"},   {"Empty", ""},
      {"section:Open", ""},     {"Last", "1"}};
  EXPECT_EQ(seen, expected);
}

TEST(UpgradeHeaderParse, ReadsTheSixKeysOfTheFirstProductSection) {
  const auto header = ParseUpgradeHeaderText(
      "[Other]\r\nName=wrong\r\n"
      "[PRODUCT]\r\n"
      "name=NORIX corvid 560 Voice\r\n"
      "VERSION=1.40\r\n"
      "ModemChecksum=3A7F\r\n"
      "modemchecksum2=77AA\r\n"
      "FileChecksum=1C02\r\n"
      "FileChecksum2=2D03\r\n"
      "Name=second occurrence\r\n"
      "[Product]\r\nVersion=9.99\r\n");
  EXPECT_EQ(header.name, "NORIX corvid 560 Voice");
  EXPECT_EQ(header.version, "1.40");
  EXPECT_EQ(header.modemChecksum, "3A7F");
  EXPECT_EQ(header.modemChecksum2, "77AA");
  EXPECT_EQ(header.fileChecksum, "1C02");
  EXPECT_EQ(header.fileChecksum2, "2D03");
}

TEST(UpgradeHeaderParse, MissingKeysAndMissingSectionAreEmpty) {
  EXPECT_EQ(ParseUpgradeHeaderText("[Product]\r\nVersion=1.40\r\n").name, "");
  EXPECT_EQ(ParseUpgradeHeaderText("Name=x\r\nVersion=1.40\r\n"), UpgradeHeader{});
  EXPECT_EQ(ParseUpgradeHeaderText(""), UpgradeHeader{});
}

TEST(UpgradeHeaderParse, CutsValuesToTheirCapacityAndAtNul) {
  const std::string longName(2000, 'n');
  std::string text = "[Product]\nName=" + longName + "\nVersion=" + std::string(300, '1') +
                     "\nModemChecksum=0123456789\nFileChecksum=AB";
  text += '\0';
  text += "CD\n";
  const auto header = ParseUpgradeHeaderText(text);
  EXPECT_EQ(header.name.size(), 511U);
  EXPECT_EQ(header.version.size(), 127U);
  EXPECT_EQ(header.modemChecksum, "0123456");
  EXPECT_EQ(header.fileChecksum, "AB");
}

TEST(UpgradeHeaderParse, NeverReadsSectionDataAsProfileText) {
  // Key lines inside the data of a section, and a header whose section is
  // only opened after the first data section header.
  auto bytes = Bytes("[Product]\r\nVersion=1.40\r\n[FileOne]\r\nName=in the data\r\n");
  EXPECT_EQ(ParseUpgradeHeader(bytes).name, "");
  EXPECT_EQ(ParseUpgradeHeader(bytes).version, "1.40");
  bytes = Bytes("junk [fileone]\r\n[Product]\r\nVersion=1.40\r\n");
  EXPECT_EQ(ParseUpgradeHeader(bytes), UpgradeHeader{});
}

TEST(UpgradeHeaderWrite, RoundTripsEveryKey) {
  UpgradeHeader header;
  header.name = "NORIX solano 1280 [a=b] 'x";
  header.version = "1.30";
  header.modemChecksum = "1234567";
  header.modemChecksum2 = "X";
  header.fileChecksum = std::string(127, 'F');
  header.fileChecksum2 = "0000";
  const auto written = WriteUpgradeHeader(header);
  ASSERT_TRUE(written.ok()) << written.error;
  EXPECT_EQ(ParseUpgradeHeaderText(written.text), header);
  EXPECT_EQ(written.text.rfind("[Product]\r\n", 0), 0U);

  // Empty keys are left out and still read back empty.
  const UpgradeHeader sparse{"", "2.05", "", "", "", ""};
  const auto sparseText = WriteUpgradeHeader(sparse);
  ASSERT_TRUE(sparseText.ok());
  EXPECT_EQ(sparseText.text, "[Product]\r\nVersion=2.05\r\n");
  EXPECT_EQ(ParseUpgradeHeaderText(sparseText.text), sparse);
}

TEST(UpgradeHeaderWrite, RefusesValuesThatWouldNotReadBack) {
  const auto refuses = [](auto change) {
    UpgradeHeader header{"NORIX", "1.40", "AB", "", "1234", ""};
    change(header);
    const auto written = WriteUpgradeHeader(header);
    return !written.ok() && written.text.empty();
  };
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.name = std::string(512, 'n'); }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.modemChecksum = "12345678"; }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.name = "two\nlines"; }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.version = std::string("1\0", 2); }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.name = " NORIX"; }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.version = "1.40\t"; }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.name = "\"NORIX\""; }));
  EXPECT_TRUE(refuses([](UpgradeHeader& h) { h.name = "NORIX [filetwo] x"; }));
  EXPECT_FALSE(refuses([](UpgradeHeader& h) { h.name = std::string(511, 'n'); }));
}

}  // namespace
}  // namespace norix::upgrade::testing
