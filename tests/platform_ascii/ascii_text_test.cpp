// Locale-free ASCII: only the 26 letter pairs fold, in any locale, and the
// search finds the first match at or after its start on both of its paths
// (words beginning with a letter, and with a character that has no case).
#include "platform/ascii/ascii_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "support/scoped_locale.h"

namespace norix::platform::ascii {
namespace {

constexpr std::string_view kCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kSmall = "abcdefghijklmnopqrstuvwxyz";

TEST(AsciiCase, OnlyTheLetterPairsFoldInAnyLocale) {
  for (const char* locale : {"C", norix::testing::kTurkishLocale}) {
    const norix::testing::ScopedLocale scoped(locale);
    if (!scoped.Set()) {
      ADD_FAILURE() << locale << " is not installed (scripts/setup generates it)";
      continue;
    }
    for (int value = 0; value < 256; ++value) {
      const char c = static_cast<char>(value);
      const auto capital = kCapitals.find(c);
      const auto small = kSmall.find(c);
      const char lower = capital != std::string_view::npos ? kSmall[capital] : c;
      const char upper = small != std::string_view::npos ? kCapitals[small] : c;
      EXPECT_EQ(ToLower(c), lower) << locale << " byte " << value;
      EXPECT_EQ(ToUpper(c), upper) << locale << " byte " << value;
      EXPECT_EQ(IsAlpha(c), capital != std::string_view::npos || small != std::string_view::npos)
          << value;
    }
    EXPECT_EQ(ToLower(std::string_view("NORIX KOMET II \xc4\xb0")), "norix komet ii \xc4\xb0");
    EXPECT_EQ(ToUpper(std::string_view("norix solano 1280i")), "NORIX SOLANO 1280I");
    EXPECT_TRUE(EqualNoCase("NORIX MARLIN", "norix marlin"));
    EXPECT_FALSE(EqualNoCase("NORIX", "NORIX "));
    EXPECT_TRUE(StartsWithNoCase("NORIX corvid", "norix"));
    EXPECT_FALSE(StartsWithNoCase("NOR", "norix"));
  }
}

struct FindCase {
  std::string_view text;
  std::string_view word;
  std::size_t from;
  std::optional<std::size_t> position;
};

class FindNoCaseTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindNoCaseTest, FindsTheFirstMatchAtOrAfterTheStart) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindNoCase(c.text, c.word, c.from), c.position)
      << '"' << c.text << "\" / \"" << c.word << "\" from " << c.from;
  EXPECT_EQ(ContainsNoCase(c.text, c.word), FindNoCase(c.text, c.word).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FindNoCaseTest,
    ::testing::Values(FindCase{"NORIX MARLIN 336", "marlin", 0, 6},
                      FindCase{"NORIX Marlin 560 Voice", "MARLIN", 0, 6},
                      FindCase{"marlin", "marlin", 0, 0},            // the whole text
                      FindCase{"xx marlin", "marlin", 0, 3},         // at the very end
                      FindCase{"marlinmarlin", "MARLIN", 0, 0},      // first of two
                      FindCase{"marlinmarlin", "MARLIN", 1, 6},      // from after the first
                      FindCase{"mmarlin", "marlin", 0, 1},           // a false start before
                      FindCase{"marli", "marlin", 0, std::nullopt},  // text shorter than word
                      FindCase{"NORIX corvid", "marlin", 0, std::nullopt},
                      FindCase{"", "marlin", 0, std::nullopt},
                      // An empty word is found where the search starts.
                      FindCase{"", "", 0, 0}, FindCase{"abc", "", 0, 0}, FindCase{"abc", "", 3, 3},
                      FindCase{"abc", "", 4, std::nullopt},
                      // Only ASCII letters fold: '@' and '`' sit next to 'A' and 'a', and
                      // bytes above 0x7F stay as they are.
                      FindCase{"@", "`", 0, std::nullopt},
                      FindCase{"mar\xc4lin", "MAR\xe4LIN", 0, std::nullopt},
                      // Words that begin without case take the other path.
                      FindCase{"x[a[AB]", "[ab]", 0, 3}, FindCase{"[ab][AB]", "[ab]", 1, 4},
                      FindCase{"[AB]", "[ab]", 0, 0}, FindCase{"[ab", "[ab]", 0, std::nullopt},
                      FindCase{"[ab]", "[ab]", 5, std::nullopt}, FindCase{"[ab]x[", "[", 1, 5}));

}  // namespace
}  // namespace norix::platform::ascii
