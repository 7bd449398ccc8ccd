// Finding the program's data folder.

#include "resources/strings/data_folder.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

namespace norix::resources::strings {
namespace {

class DataFolderChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "norix-data-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "bin");
    std::filesystem::create_directories(root_ / "build" / "share" / "norix");
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::filesystem::path root_;
};

TEST_F(DataFolderChoice, EnvironmentWinsWhenSet) {
  DataFolderPlaces places{"/opt/norix-texts", root_ / "bin" / "norix", root_ / "build"};
  EXPECT_EQ(ChooseDataFolder(places), "/opt/norix-texts");
  places.environment = "";  // set but empty counts as unset
  EXPECT_EQ(ChooseDataFolder(places), root_ / "build");
}

TEST_F(DataFolderChoice, InstalledFolderBesideTheExecutableComesNext) {
  const DataFolderPlaces places{std::nullopt, root_ / "bin" / "norix",
                                root_ / "build" / "share" / "norix"};
  EXPECT_EQ(ChooseDataFolder(places), root_ / "build" / "share" / "norix");  // no share/norix yet
  std::filesystem::create_directories(root_ / "share" / "norix");
  EXPECT_EQ(ChooseDataFolder(places), root_ / "share" / "norix");
}

TEST_F(DataFolderChoice, NoFolderAnywhereGivesEmptyPath) {
  const DataFolderPlaces places{std::nullopt, root_ / "bin" / "norix", root_ / "missing"};
  EXPECT_TRUE(ChooseDataFolder(places).empty());
  EXPECT_TRUE(ChooseDataFolder({}).empty());
}

TEST(DataFolderOfThisBuild, HoldsTheDanishCatalogue) {
  EXPECT_TRUE(std::filesystem::is_regular_file(BuildTreeDataFolder() / "norix045.txt"));
  EXPECT_FALSE(DataFolderPlacesOfProcess().executable.empty());
}

}  // namespace
}  // namespace norix::resources::strings
