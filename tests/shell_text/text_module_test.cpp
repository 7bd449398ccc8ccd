// The text module: which catalogue serves the texts, and reading them.

#include "shell/text_module.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "resources/strings/data_folder.h"

namespace norix::shell {
namespace {

class LanguageCatalogueChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "norix-texts-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  void Write(std::string_view name, std::string_view content) {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }
  std::filesystem::path folder_;
};

TEST_F(LanguageCatalogueChoice, CatalogueHoldingTheProbeTextIsUsed) {
  Write("norix045.txt", "2092\tNORIX-meddelelse\n2249\tLukkegr\xC3\xA6nse\n");
  const TextModuleChoice choice = LoadTextModule(45, folder_);
  EXPECT_FALSE(choice.module.IsProgramOwn());
  EXPECT_EQ(choice.module.CataloguePath(), folder_ / "norix045.txt");
  EXPECT_EQ(choice.module.Text(2092), "NORIX-meddelelse");
  // A text the catalogue lacks is empty, not the program's own.
  EXPECT_EQ(choice.module.Text(2003), "");
  EXPECT_TRUE(choice.problems.empty());
}

TEST_F(LanguageCatalogueChoice, CatalogueWithoutTheProbeTextIsIgnored) {
  Write("norix045.txt", "2092\tNORIX-meddelelse\n2248\tx\n");
  const TextModuleChoice choice = LoadTextModule(45, folder_);
  EXPECT_TRUE(choice.module.IsProgramOwn());
  EXPECT_EQ(choice.module.Text(2092), "NORIX message");
  ASSERT_EQ(choice.problems.size(), 1U);
  EXPECT_NE(choice.problems[0].find("no string 2249"), std::string::npos);
}

TEST_F(LanguageCatalogueChoice, ProbeTextOnABadLineCountsAsMissing) {
  Write("norix045.txt", "2092\tNORIX-meddelelse\n2249\tbad \\q\n");
  const TextModuleChoice choice = LoadTextModule(45, folder_);
  EXPECT_TRUE(choice.module.IsProgramOwn());
  EXPECT_EQ(choice.problems.size(), 2U);
}

TEST_F(LanguageCatalogueChoice, NoCatalogueForTheCountryMeansOwnTextsQuietly) {
  Write("norix045.txt", "2249\tx\n");
  const TextModuleChoice uk = LoadTextModule(44, folder_);
  EXPECT_TRUE(uk.module.IsProgramOwn());
  EXPECT_TRUE(uk.problems.empty());
  EXPECT_TRUE(LoadTextModule(45, "").module.IsProgramOwn());
  EXPECT_TRUE(LoadTextModule(-45, folder_).module.IsProgramOwn());
}

TEST_F(LanguageCatalogueChoice, UnreadableCatalogueMeansOwnTexts) {
  std::filesystem::create_directory(folder_ / "norix047.txt");
  const TextModuleChoice choice = LoadTextModule(47, folder_);
  EXPECT_TRUE(choice.module.IsProgramOwn());
  EXPECT_FALSE(choice.problems.empty());
}

// A translated text used as a format must take the same arguments as the
// program's own, or formatting it would read arguments that are not there.
TEST_F(LanguageCatalogueChoice, TextWithOtherFormatArgumentsIsReplacedByTheOwnText) {
  Write("norix045.txt",
        "2249\tx\n"
        "2250\tAktiv\xC3\xA9r V.120 %sprotokol. %s\n"
        "2252\tAktiv\xC3\xA9r X.75 %s%s%sprotokol. %n\n"
        "2254\tAktiv\xC3\xA9r HDLC %s\n");
  const TextModuleChoice choice = LoadTextModule(45, folder_);
  EXPECT_FALSE(choice.module.IsProgramOwn());
  EXPECT_EQ(choice.module.Text(2250), "Aktiv\xC3\xA9r V.120 %sprotokol. %s");
  EXPECT_EQ(choice.module.Text(2252), "Enable X.75 %sprotocol. %s");
  EXPECT_EQ(choice.module.Text(2254), "Enable HDLC protocol.");
  ASSERT_EQ(choice.problems.size(), 2U);
  EXPECT_NE(choice.problems[0].find(":3: string 2252"), std::string::npos) << choice.problems[0];
}

TEST(ShippedDanishCatalogue, IsChosenForCountry45) {
  const TextModuleChoice choice = LoadTextModule(45, resources::strings::BuildTreeDataFolder());
  EXPECT_FALSE(choice.module.IsProgramOwn());
  EXPECT_TRUE(choice.problems.empty());
  EXPECT_EQ(choice.module.Text(2165), "Danmark (45)");
  EXPECT_EQ(choice.module.Text(2003), "NORIX konfigurationsprogram");
}

TEST(LanguageCatalogueName, IsNorixWithTheCountryCodeInThreeDigits) {
  EXPECT_EQ(LanguageCatalogueName(45), "norix045.txt");
  EXPECT_EQ(LanguageCatalogueName(1), "norix001.txt");
  EXPECT_EQ(LanguageCatalogueName(358), "norix358.txt");
  EXPECT_EQ(LanguageCatalogueName(1234), "norix1234.txt");
}

TEST(TextModule, OwnTableTextsAndMissingNumbers) {
  const TextModule own;
  EXPECT_TRUE(own.IsProgramOwn());
  EXPECT_EQ(own.Text(2092), "NORIX message");
  EXPECT_EQ(own.Text(2002), "");  // a number without a text
  EXPECT_EQ(own.Text(2000), "");
  EXPECT_EQ(own.Text(2329), "");
  EXPECT_EQ(own.Text(-1), "");
}

TEST(TextModule, LoadTextCutsToTheBufferWithoutSplittingACharacter) {
  const TextModule own;
  EXPECT_EQ(own.LoadText(2092, 1024), "NORIX message");
  EXPECT_EQ(own.LoadText(2092, 6), "NORIX");
  EXPECT_EQ(own.LoadText(2092, 1), "");
  EXPECT_EQ(own.LoadText(2092, 0), "");
  EXPECT_EQ(own.LoadText(2002, 1024), "");

  const TextModule danish = LoadTextModule(45, resources::strings::BuildTreeDataFolder()).module;
  EXPECT_EQ(danish.LoadText(2163, 2), "\xC3\x98");  // "Ø" of "Østrig (43)", both bytes
  EXPECT_EQ(danish.LoadText(2163, 4), "\xC3\x98st");
}

// Pages on several threads load texts from one module at the same time,
// each also keeping copies of it.
TEST(TextModule, ManyThreadsReadOneModule) {
  const TextModule module = LoadTextModule(45, resources::strings::BuildTreeDataFolder()).module;
  std::vector<std::string> expected;
  std::vector<std::string> expected_own;
  for (int id = 2001; id <= 2328; ++id) {
    expected.emplace_back(module.Text(id));
    expected_own.emplace_back(TextModule().Text(id));
  }

  std::vector<std::thread> threads;
  std::vector<int> mismatches(8, 0);
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round) {
        // A copy per round: copies share one table across threads.
        const TextModule copy = module;  // NOLINT(performance-unnecessary-copy-initialization)
        const TextModule own;
        for (int id = 2001; id <= 2328; ++id) {
          const auto index = static_cast<std::size_t>(id - 2001);
          if (copy.LoadText(id, 1024) != expected[index]) ++mismatches[t];
          if (own.Text(id) != expected_own[index]) ++mismatches[t];
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const int count : mismatches) EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace norix::shell
