// How lines of a flash loader are read: the key order, the skipped first
// character, and which received bytes start the final line.
#include "upgrade/loader_reply.h"

#include <gtest/gtest.h>

#include "upgrade/fill_in.h"
#include "upgrade/modem_transfer.h"

namespace norix::upgrade::testing {
namespace {

struct Line {
  const char* text;
  std::size_t skip;
  int code;
};

class LoaderLine : public ::testing::TestWithParam<Line> {};

TEST_P(LoaderLine, GetsTheCodeOfTheFirstKeyFound) {
  EXPECT_EQ(LoaderReply(GetParam().text, GetParam().skip), GetParam().code) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LoaderLine,
    ::testing::Values(Line{"Download initiated\r\n", 0, 0}, Line{"download FLASH code", 0, 1},
                      Line{"ownload flash code\r\n", 1, 1},  // its 'D' went with the dots
                      Line{"ownload flash code", 0, 10}, Line{"pLoader (XModem)", 1, 2},
                      Line{"Upload flash code ..", 0, 3}, Line{"Upload flash code .", 0, 10},
                      Line{"xx Wrong device", 0, 4}, Line{"Wrong S37 file", 0, 5},
                      Line{"Device successfully programmed", 0, 6},
                      Line{"Upload successfully completed", 0, 6}, Line{"Flash Loader V2", 0, 7},
                      Line{"Code not match hardware", 0, 8}, Line{"ERROR", 0, 9},
                      Line{"Record error", 0, 9},  // "ERROR" is searched first
                      Line{"", 0, 10}, Line{"\xC4\xFF\x80 garbage", 0, 10}, Line{"", 1, 10}));

TEST(LoaderLetter, IsALetterOfTheCharacterSetButNot0xFF) {
  for (const int byte : {0x41, 0x7A, 0xC4, 0xE9, 0x8A, 0xB5}) {
    EXPECT_TRUE(IsLoaderLetter(static_cast<std::uint8_t>(byte))) << byte;
  }
  for (const int byte : {0x2A, 0x31, 0x39, 0x00, 0x7F, 0xD7, 0xF7, 0xFF, 0xA0}) {
    EXPECT_FALSE(IsLoaderLetter(static_cast<std::uint8_t>(byte))) << byte;
  }
}

TEST(FillIn, PutsTheValueInTheFirstPlaceAndNothingElse) {
  EXPECT_EQ(FillIn("Set it to %s now.", "Denmark (45)"), "Set it to Denmark (45) now.");
  EXPECT_EQ(FillIn("100%% %s %s %d", "x"), "100% x %s %d");
  EXPECT_EQ(FillIn("no place", "x"), "no place");
  EXPECT_EQ(FillIn("%", "x"), "%");
}

}  // namespace
}  // namespace norix::upgrade::testing
