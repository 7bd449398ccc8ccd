#include "upgrade/section_search.h"

#include <optional>
#include <ostream>

#include <gtest/gtest.h>

#include "upgrade/image_checksum.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

struct SearchCase {
  const char* name;
  std::string image;
  std::size_t from;
  std::optional<std::size_t> dataStart;
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class SectionSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SectionSearch, FindsTheDataStart) {
  const auto& c = GetParam();
  EXPECT_EQ(FindSectionData(Bytes(c.image), kFileOne, c.from), c.dataStart);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SectionSearch,
    ::testing::Values(SearchCase{"CrLf", "ab[FileOne]\r\nDATA", 0, 13},
                      SearchCase{"AnyCase", "ab[fILEoNE]\r\nDATA", 0, 13},
                      // The byte after the header text is never examined, so a bare LF
                      // there does not end the line: the data starts a line later.
                      SearchCase{"BareLineFeedMovesToNextLine", "[FileOne]\nxyz\r\nDATA", 0, 15},
                      SearchCase{"LongerHeaderLine", "[FileOne] v2\r\nDATA", 0, 14},
                      SearchCase{"HeaderLineIsLastLine", "[FileOne]\r\n", 0, 11},
                      SearchCase{"NoLineFeed", "[FileOne]\rDATA", 0, std::nullopt},
                      SearchCase{"BareLineFeedAtEnd", "[FileOne]\n", 0, std::nullopt},
                      SearchCase{"HeaderAtVeryEnd", "data[FileOne]", 0, std::nullopt},
                      SearchCase{"PartialHeaderAtEnd", "data[FileOn", 0, std::nullopt},
                      SearchCase{"Missing", "[FileTwo]\r\n", 0, std::nullopt},
                      SearchCase{"SearchStartsAtFrom", "[FileOne]\r\nA[FileOne]\r\nB", 1, 23},
                      SearchCase{"FromBeyondEnd", "[FileOne]\r\n", 100, std::nullopt},
                      SearchCase{"EmptyImage", "", 0, std::nullopt}),
    [](const ::testing::TestParamInfo<SearchCase>& param) { return param.param.name; });

TEST(SectionSearch, FirstSectionHeaderOffsetTakesTheEarliestOfAnyKind) {
  EXPECT_EQ(FirstSectionHeaderOffset("hdr[filethree]x[FileOne]"), 3U);
  EXPECT_EQ(FirstSectionHeaderOffset("hdr[FileTwo]"), 3U);
  EXPECT_EQ(FirstSectionHeaderOffset("no sections"), 11U);
}

struct ChecksumCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  std::string text;
};

void PrintTo(const ChecksumCase& c, std::ostream* os) { *os << c.name; }

class Checksum : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(Checksum, SumsSignedBytesModulo65536) {
  EXPECT_EQ(ChecksumText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Checksum,
    ::testing::Values(ChecksumCase{"Empty", {}, "0000"},
                      ChecksumCase{"Abc", {'a', 'b', 'c'}, "0126"},
                      ChecksumCase{"SingleFF", {0xFF}, "FFFF"},
                      ChecksumCase{"SignedBytesCancel", {0x80, 0x80, 0x00, 0x7F, 0x81}, "FF00"},
                      ChecksumCase{
                          "HighDigitsUpperCase", {0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F}, "02FA"},
                      // 600 bytes of 0x7F: 76200 wraps to 10664 = 0x29A8.
                      ChecksumCase{"Wraps", std::vector<std::uint8_t>(600, 0x7F), "29A8"}),
    [](const ::testing::TestParamInfo<ChecksumCase>& param) { return param.param.name; });

}  // namespace
}  // namespace norix::upgrade::testing
