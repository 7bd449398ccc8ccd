#include "upgrade/image_loader.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

class ImageLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("norix-upgrade-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto path = folder_ / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  std::filesystem::path folder_;
};

TEST_F(ImageLoader, LoadsTheWholeFileWithSpareZeroBytes) {
  const auto file = Build(SolanoRecipe(5000));
  const auto path = Write("S.lfu", file);
  const auto loaded = LoadImage(path);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.image.path, path);
  EXPECT_EQ(loaded.image.size, file.size());
  ASSERT_EQ(loaded.image.bytes.size(), file.size() + kImageSpareBytes);
  EXPECT_TRUE(std::equal(file.begin(), file.end(), loaded.image.bytes.begin()));
  EXPECT_TRUE(std::all_of(loaded.image.bytes.end() - kImageSpareBytes, loaded.image.bytes.end(),
                          [](std::uint8_t b) { return b == 0; }));

  const auto empty = LoadImage(Write("empty.lfu", {}));
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty.image.size, 0U);
}

TEST_F(ImageLoader, ReportsWhichStepFailed) {
  auto result = LoadImage((folder_ / "missing.lfu").string());
  EXPECT_EQ(result.status, LoadImageStatus::OpenFailed);
  EXPECT_EQ(LoadFailureText(result.status), "File open failed.");

  EXPECT_EQ(LoadImage(folder_.string()).status, LoadImageStatus::OpenFailed);

  const auto fifo = (folder_ / "pipe.lfu").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadImage(fifo).status, LoadImageStatus::OpenFailed);  // and does not block

  // A sparse file beyond the limit is refused as if memory had run out.
  const auto huge = (folder_ / "huge.lfu").string();
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, kMaxImageSize + 1);
  result = LoadImage(huge);
  EXPECT_EQ(result.status, LoadImageStatus::AllocFailed);
  EXPECT_EQ(LoadFailureText(result.status), "GlobalAlloc failed!");
  EXPECT_TRUE(result.image.bytes.empty());

  EXPECT_EQ(LoadFailureText(LoadImageStatus::SizeFailed), "GetFileSize failed!");
  EXPECT_EQ(LoadFailureText(LoadImageStatus::ReadFailed), "ReadFile failed!");
  EXPECT_EQ(kLoadFailureCaption, "Error");
}

TEST_F(ImageLoader, HeaderOfAFileOnDisk) {
  const auto path = Write("K.lfu", Build(KometRecipe(2000, 100)));
  const auto header = ReadUpgradeHeaderFile(path);
  EXPECT_EQ(header.name, "NORIX KOMET II");
  EXPECT_EQ(header.version, "2.05");
  EXPECT_EQ(ReadUpgradeHeaderFile((folder_ / "missing.lfu").string()), UpgradeHeader{});
}

}  // namespace
}  // namespace norix::upgrade::testing
