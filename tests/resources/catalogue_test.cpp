// Reading the catalogue format: good lines, bad lines, files.

#include "resources/strings/catalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace norix::resources::strings {
namespace {

using namespace std::string_literals;

bool IsValidUtf8(std::string_view text) {
  // Minimal independent check: decoding with the standard codecvt is gone in
  // C++20, so count sequences by their lead bytes and continuation bytes.
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    if (lead < 0x80) {
      len = 1;
    } else if ((lead & 0xE0) == 0xC0) {
      len = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      len = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      len = 4;
    } else {
      return false;
    }
    if (i + len > text.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += len;
  }
  return true;
}

std::size_t CharCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

TEST(ParseCatalogue, ReadsEntriesAndSkipsCommentsAndBlankLines) {
  const auto catalogue = ParseCatalogue(
      "\xEF\xBB\xBF# heading\n"
      "\n"
      "2092\tNORIX message\r\n"
      "   \t \n"
      "2162\tAustralia (61)\n"
      "2163\t\xC3\x98strig (43)",  // no line break at the end
      "t.txt");
  EXPECT_TRUE(catalogue.problems.empty());
  ASSERT_EQ(catalogue.entries.size(), 3U);
  EXPECT_EQ(catalogue.entries[0].id, 2092);
  EXPECT_EQ(catalogue.entries[0].text, "NORIX message");  // the CR of CR LF is not text
  EXPECT_EQ(catalogue.entries[0].line, 3);
  EXPECT_EQ(catalogue.Find(2163)->text, "\xC3\x98strig (43)");
  EXPECT_EQ(catalogue.Find(2163)->line, 6);
  EXPECT_EQ(catalogue.Find(2001), nullptr);
}

TEST(ParseCatalogue, DecodesEscapesAndKeepsBlanksAtEitherEnd) {
  const auto catalogue = ParseCatalogue(
      "2154\t\\nYou have selected.\\nNORIX does not recommend it. \n"
      "2001\ta\\tb\\\\n c\n",
      "t.txt");
  EXPECT_TRUE(catalogue.problems.empty());
  EXPECT_EQ(catalogue.Find(2154)->text, "\nYou have selected.\nNORIX does not recommend it. ");
  EXPECT_EQ(catalogue.Find(2001)->text, "a\tb\\n c");
}

TEST(ParseCatalogue, EscapingRoundTrips) {
  const std::string text = "A\\B\n\tC\\n  \xC3\xA6";
  const auto catalogue = ParseCatalogue("2100\t" + EscapeCatalogueText(text) + "\n", "t");
  ASSERT_EQ(catalogue.entries.size(), 1U);
  EXPECT_EQ(catalogue.entries[0].text, text);
}

struct BadLine {
  std::string line;
  std::string_view reason;  // part of the problem text
};

// Names the case in test lists by its line, with blanks, control characters,
// backslashes and non-ASCII bytes shown as '_'.
void PrintTo(const BadLine& bad, std::ostream* out) {
  for (const char c : bad.line) *out << (c > ' ' && c < 0x7F && c != '\\' ? c : '_');
}

class ParseCatalogueBadLine : public ::testing::TestWithParam<BadLine> {};

// A bad line is reported with file and line number and skipped; the good
// lines around it are kept.
TEST_P(ParseCatalogueBadLine, IsReportedAndSkipped) {
  const std::string content = "2003\tfirst\n" + GetParam().line + "\n2328\tlast\n";
  const auto catalogue = ParseCatalogue(content, "norix045.txt");
  ASSERT_EQ(catalogue.problems.size(), 1U) << GetParam().line;
  EXPECT_EQ(catalogue.problems[0].rfind("norix045.txt:2: ", 0), 0U) << catalogue.problems[0];
  EXPECT_NE(catalogue.problems[0].find(GetParam().reason), std::string::npos)
      << catalogue.problems[0];
  ASSERT_EQ(catalogue.entries.size(), 2U);
  EXPECT_EQ(catalogue.entries[0].text, "first");
  EXPECT_EQ(catalogue.entries[1].text, "last");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCatalogueBadLine,
    ::testing::Values(
        BadLine{"hello", "expected a string number"},
        BadLine{"\t2004\tx", "expected a string number"},
        BadLine{" #2004\tx", "expected a string number"},
        BadLine{"2004 Product information", "expected a tab"}, BadLine{"2004", "expected a tab"},
        BadLine{"2000\tbelow", "outside 2001-2328"}, BadLine{"2329\tabove", "outside 2001-2328"},
        BadLine{"2399\tbetween", "and 2400-2599"}, BadLine{"2600\tabove own", "outside 2001-2328"},
        BadLine{"99999999999999999999\thuge", "outside 2001-2328"}, BadLine{"2004\t", "empty text"},
        BadLine{"2004\tbad \\q escape", "unknown escape \\q"},
        BadLine{"2004\tends in \\", "backslash at the end"},
        BadLine{"2004\traw\ttab", "control character"},
        BadLine{"2004\tnul\0byte"s, "control character"},
        BadLine{"2004\tlone \xC3", "not valid UTF-8"},
        BadLine{"2004\toverlong \xC0\xAF", "not valid UTF-8"},
        BadLine{"2004\tsurrogate \xED\xA0\x80", "not valid UTF-8"},
        BadLine{"2004\ttoo high \xF4\x90\x80\x80", "not valid UTF-8"},
        BadLine{"2004\tstray \x80", "not valid UTF-8"}));

TEST(ParseCatalogue, KeepsTheFirstOfRepeatedNumbers) {
  const auto catalogue = ParseCatalogue("2093\tOK\n# note\n2093\tO.K.\n2093\tOkay\n", "t.txt");
  ASSERT_EQ(catalogue.entries.size(), 1U);
  EXPECT_EQ(catalogue.entries[0].text, "OK");
  ASSERT_EQ(catalogue.problems.size(), 2U);
  EXPECT_EQ(catalogue.problems[0],
            "t.txt:3: string 2093 already given at line 1; this line is ignored");
  EXPECT_EQ(catalogue.problems[1].rfind("t.txt:4: ", 0), 0U);
}

TEST(ParseCatalogue, CutsOverlongTextsAtACharacterBoundary) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "\xC3\xA6";  // two bytes each
  const auto catalogue = ParseCatalogue("2316\t" + text + "\n", "t.txt");
  ASSERT_EQ(catalogue.entries.size(), 1U);
  const std::string& kept = catalogue.entries[0].text;
  EXPECT_EQ(CharCount(kept), kMaxTextChars);
  EXPECT_EQ(kept.size(), 2 * kMaxTextChars);
  ASSERT_EQ(catalogue.problems.size(), 1U);
  EXPECT_NE(catalogue.problems[0].find("cut to 1023 characters"), std::string::npos);

  // Exactly at the limit: kept whole, nothing reported.
  const auto exact = ParseCatalogue("2316\t" + std::string(kMaxTextChars, 'x'), "t.txt");
  EXPECT_TRUE(exact.problems.empty());
  EXPECT_EQ(exact.entries.at(0).text.size(), kMaxTextChars);
}

TEST(ParseCatalogue, RejectsABadEscapeBeyondTheCut) {
  const auto catalogue = ParseCatalogue("2316\t" + std::string(1500, 'x') + "\\q\n", "t.txt");
  EXPECT_TRUE(catalogue.entries.empty());
  ASSERT_EQ(catalogue.problems.size(), 1U);
  EXPECT_NE(catalogue.problems[0].find("unknown escape"), std::string::npos);
}

// Whatever the input, the result keeps its promises: numbers in range and
// unique, texts non-empty, valid UTF-8 and within the length limit.
TEST(ParseCatalogue, KeepsItsInvariantsOnArbitraryInput) {
  std::mt19937 random(20241207);
  const std::string alphabet = "0123456789\t\n\r\\nt#x \xC3\xA6\x80\xFF";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 400);
  for (int round = 0; round < 2000; ++round) {
    std::string content = round % 2 == 0 ? "2050\t" : "";
    const int n = length(random);
    for (int i = 0; i < n; ++i) content += alphabet[pick(random)];
    const auto catalogue = ParseCatalogue(content, "fuzz");
    std::set<int> seen;
    for (const auto& entry : catalogue.entries) {
      EXPECT_GE(entry.id, kFirstTextId);
      EXPECT_LE(entry.id, kLastTextId);
      EXPECT_TRUE(seen.insert(entry.id).second);
      EXPECT_FALSE(entry.text.empty());
      EXPECT_TRUE(IsValidUtf8(entry.text));
      EXPECT_LE(CharCount(entry.text), kMaxTextChars);
    }
    for (const auto& problem : catalogue.problems) EXPECT_EQ(problem.rfind("fuzz:", 0), 0U);
  }
}

struct Conversions {
  std::string_view text;
  std::string_view expected;
};

void PrintTo(const Conversions& c, std::ostream* out) {
  for (const char ch : c.text) *out << (ch > ' ' && ch < 0x7F ? ch : '_');
}

class FormatConversionsOf : public ::testing::TestWithParam<Conversions> {};

TEST_P(FormatConversionsOf, ListsTheArgumentsInOrder) {
  EXPECT_EQ(FormatConversions(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatConversionsOf,
    ::testing::Values(Conversions{"Enable V.120 %sprotocol. %s", "%s%s"},
                      Conversions{"plain text", ""}, Conversions{"100%% sure", ""},
                      Conversions{"%-3d of %05.2f", "%d%f"}, Conversions{"%*d", "%*%d"},
                      Conversions{"%.*s", "%*%s"}, Conversions{"%lu %lld %zu", "%lu%lld%zu"},
                      Conversions{"%ls", "%ls"}, Conversions{"%n", "%n"},
                      Conversions{"ends in %", "%?"}, Conversions{"ends in %-", "%?"}));

class CatalogueFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "norix-catalogue-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  std::filesystem::path Write(std::string_view name, std::string_view content) {
    auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::filesystem::path folder_;
};

TEST_F(CatalogueFile, IsReadAndParsedWithItsNameInProblems) {
  const auto path = Write("norix045.txt", "2092\tNORIX-meddelelse\nbad\n");
  const auto catalogue = ReadCatalogueFile(path);
  ASSERT_TRUE(catalogue.has_value());
  EXPECT_EQ(catalogue->Find(2092)->text, "NORIX-meddelelse");
  ASSERT_EQ(catalogue->problems.size(), 1U);
  EXPECT_EQ(catalogue->problems[0].rfind(path.string() + ":2: ", 0), 0U);
}

TEST_F(CatalogueFile, MissingFileIsNoCatalogue) {
  EXPECT_FALSE(ReadCatalogueFile(folder_ / "norix099.txt").has_value());
}

TEST_F(CatalogueFile, FolderOrOversizedFileGivesAProblemAndNoEntries) {
  std::filesystem::create_directory(folder_ / "norix046.txt");
  const auto folder = ReadCatalogueFile(folder_ / "norix046.txt");
  ASSERT_TRUE(folder.has_value());
  EXPECT_TRUE(folder->entries.empty());
  EXPECT_EQ(folder->problems.size(), 1U);

  std::string big = "2092\tx\n";
  big.resize(static_cast<std::size_t>(kMaxCatalogueBytes) + 1, '#');
  const auto oversized = ReadCatalogueFile(Write("norix047.txt", big));
  ASSERT_TRUE(oversized.has_value());
  EXPECT_TRUE(oversized->entries.empty());
  ASSERT_EQ(oversized->problems.size(), 1U);
  EXPECT_NE(oversized->problems[0].find("larger than"), std::string::npos);
}

}  // namespace
}  // namespace norix::resources::strings
