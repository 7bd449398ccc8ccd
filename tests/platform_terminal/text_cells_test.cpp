// Texts as terminal cells: decoding with broken bytes, widths, wrapping at
// word breaks and line feeds, and the ASCII stand-ins of a terminal without
// UTF-8.
#include "platform/terminal/text_cells.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace norix::platform::terminal {
namespace {

std::vector<std::string> Wrapped(std::string_view text, int width) {
  std::vector<std::string> out;
  for (const std::u32string& line : WrapText(DecodeUtf8(text), width)) {
    out.push_back(EncodeUtf8(line));
  }
  return out;
}

struct WrapCase {
  std::string text;
  int width;
  std::vector<std::string> lines;
};

class WrapTextTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTextTest, BreaksAtBlanksAndLineFeeds) {
  EXPECT_EQ(Wrapped(GetParam().text, GetParam().width), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapTextTest,
    ::testing::Values(WrapCase{"", 10, {""}},
                      WrapCase{"Select the country", 10, {"Select the", "country"}},
                      WrapCase{"Select  the country", 11, {"Select  the", "country"}},
                      WrapCase{"a\nb\r\nc\rd", 10, {"a", "b", "c", "d"}},
                      WrapCase{"last line\n", 20, {"last line", ""}},
                      WrapCase{"ATI3ATI3ATI3", 5, {"ATI3A", "TI3AT", "I3"}},
                      WrapCase{"go ATI3ATI3", 6, {"go ATI", "3ATI3"}},
                      // Letters of the pages' languages take one column each.
                      WrapCase{
                          "Vælg det land, hvor De bor", 11, {"Vælg det", "land, hvor", "De bor"}},
                      // Wide characters never end up cut in half.
                      WrapCase{"日本語のテキスト", 5, {"日本", "語の", "テキ", "スト"}}));

TEST(TextCellsTest, BrokenBytesShowAsReplacementCharacters) {
  EXPECT_EQ(DecodeUtf8("OK\xFF\r"), (std::u32string{U'O', U'K', kReplacementCharacter, U'\r'}));
  EXPECT_EQ(DecodeUtf8("\xC3"), std::u32string(1, kReplacementCharacter)) << "cut sequence";
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), std::u32string(2, kReplacementCharacter)) << "overlong '/'";
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80").front(), kReplacementCharacter) << "surrogate";
  EXPECT_EQ(EncodeUtf8(DecodeUtf8("Größe €")), "Größe €");
}

TEST(TextCellsTest, WidthsAndFitting) {
  EXPECT_EQ(TextWidth(U"e\u0301te"), 3) << "a combining accent takes no column";
  EXPECT_EQ(TextWidth(U"日本"), 4);
  EXPECT_EQ(FitWidth(U"日本", 3), U"日");
  EXPECT_EQ(FitWidth(U"Modem", 3), U"Mod");
}

TEST(TextCellsTest, AsciiStandInsKeepWordsReadable) {
  std::string shown;
  for (const char32_t c : DecodeUtf8("Ærø Größe Français “OK” – …日")) {
    shown += AsciiStandIn(c);
  }
  EXPECT_EQ(shown, "Aro Grose Francais \"OK\" - .?");
}

}  // namespace
}  // namespace norix::platform::terminal
