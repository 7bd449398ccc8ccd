// The file dialog's folder listing and path completion on a folder of its
// own: subfolders and the filter's files only, hidden entries on request,
// completion as far as the candidates agree, "~/" and relative paths.
#include "platform/terminal/file_chooser.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace norix::platform::terminal {
namespace {

struct ChooserCase {
  std::string typed;
  std::vector<std::string> listed;  // names as listed
  std::string completed;
};

class FileChooserTest : public ::testing::TestWithParam<ChooserCase> {
 protected:
  FileChooserTest() {
    folder_.Write("firmware_110.lfu", "x");
    folder_.Write("firmware_120.LFU", "x");
    folder_.Write("notes.txt", "x");
    folder_.Write(".hidden.lfu", "x");
    folder_.Write("fw/inner.lfu", "x");
    folder_.Write("fwextra/readme", "x");
  }

  norix::testing::TempDir folder_;
  const std::vector<std::string> patterns_ = SplitPatterns(" *.lfu ; *.LFU;");
};

TEST_P(FileChooserTest, ListsAndCompletesTheTypedPath) {
  const ChooserCase& c = GetParam();
  const PathContext paths{folder_.Path(), (folder_.Path() / "fw").string()};
  std::vector<std::string> listed;
  for (const FolderEntry& entry : ListTyped(c.typed, patterns_, paths)) {
    listed.push_back(entry.name);
    EXPECT_EQ(entry.folder, entry.name.ends_with('/')) << entry.name;
  }
  EXPECT_EQ(listed, c.listed) << c.typed;
  EXPECT_EQ(CompleteTyped(c.typed, patterns_, paths), c.completed) << c.typed;
  // The same path typed absolutely lists the same.
  if (!c.typed.starts_with('~')) {
    EXPECT_EQ(ListTyped(folder_.Path().string() + "/" + c.typed, patterns_, paths).size(),
              listed.size())
        << c.typed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileChooserTest,
    ::testing::Values(
        ChooserCase{"", {"../", "fw/", "fwextra/", "firmware_110.lfu", "firmware_120.LFU"}, "f"},
        ChooserCase{"fi", {"firmware_110.lfu", "firmware_120.LFU"}, "firmware_1"},
        ChooserCase{"firmware_11", {"firmware_110.lfu"}, "firmware_110.lfu"},
        ChooserCase{"fw", {"fw/", "fwextra/"}, "fw"}, ChooserCase{"fwe", {"fwextra/"}, "fwextra/"},
        ChooserCase{"fw/", {"../", "inner.lfu"}, "fw/inner.lfu"},
        ChooserCase{".h", {".hidden.lfu"}, ".hidden.lfu"}, ChooserCase{"no", {}, "no"},
        ChooserCase{"missing/", {}, "missing/"},
        ChooserCase{"~/in", {"inner.lfu"}, "~/inner.lfu"}));

TEST(FilePatternTest, PatternsIgnoreCaseAndStarMatchesEverything) {
  const std::vector<std::string> lfu = SplitPatterns("*.lfu");
  EXPECT_TRUE(MatchesPattern("A.LFU", lfu));
  EXPECT_FALSE(MatchesPattern("a.lfu.txt", lfu));
  const std::vector<std::string> all = SplitPatterns("*.*");
  EXPECT_TRUE(MatchesPattern("README", all));
  EXPECT_TRUE(MatchesPattern("anything", {}));
}

}  // namespace
}  // namespace norix::platform::terminal
