// Runs the built norix-lfu program: make a file of each family, then show it.
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "upgrade/image_checksum.h"
#include "upgrade/image_loader.h"
#include "upgrade/upgrade_file_builder.h"

namespace norix::upgrade::testing {
namespace {

struct Run {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

Run Lfu(const std::string& arguments) {
  const std::string command = std::string(NORIX_LFU_PATH) + " " + arguments + " 2>&1";
  Run run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    run.output.append(buffer.data(), got);
  }
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class NorixLfuTool : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("norix-lfu-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  std::filesystem::path folder_;
};

TEST_F(NorixLfuTool, MakesAModemFileThatShowMatches) {
  const auto out = Path("C560V140.LFU");
  auto run = Lfu("make --family modem --out " + out +
                 " --name 'NORIX corvid 560 Voice' --version 1.40 --loader-size 1500"
                 " --firmware-size 5000 --modem-checksum V140 --seed 9");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // The same recipe through the library gives the same bytes.
  UpgradeFileRecipe recipe;
  recipe.name = "NORIX corvid 560 Voice";
  recipe.version = "1.40";
  recipe.modemChecksum = "V140";
  recipe.loader = MakeFlashLoader(LoaderMode::RawStar, 1500, 9);
  recipe.firmware =
      MakeFirmware(FirmwareTarget::ModemNormalFlash, "NORIX corvid 560 Voice V1.40", 5000, 10);
  const auto loaded = LoadImage(out);
  ASSERT_TRUE(loaded.ok());
  const auto built = BuildUpgradeFile(recipe);
  ASSERT_TRUE(built.ok());
  EXPECT_EQ(std::vector<std::uint8_t>(
                loaded.image.bytes.begin(),
                loaded.image.bytes.begin() + static_cast<std::ptrdiff_t>(loaded.image.size)),
            built.bytes);

  run = Lfu("show " + out + " --layout modem");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Name: \"NORIX corvid 560 Voice\""), std::string::npos);
  EXPECT_NE(run.output.find("version number 140"), std::string::npos);
  // The loader as the modem receives it: its 1500 bytes, CR LF and "[F".
  EXPECT_NE(run.output.find("flash loader: offset"), std::string::npos);
  EXPECT_NE(run.output.find(", 1504 bytes"), std::string::npos);
  EXPECT_NE(run.output.find("5000 bytes"), std::string::npos);
  EXPECT_NE(run.output.find(ChecksumText(recipe.firmware) + ", file says"), std::string::npos);
  EXPECT_NE(run.output.find("matches"), std::string::npos);

  run = Lfu("show " + out + " --layout modem-large");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("refused, message 2021"), std::string::npos);
}

// The sections the simulated products check: how the loader takes the
// firmware, the identification, the hardware the firmware is for.
TEST_F(NorixLfuTool, MakesSectionsForTheSimulatedProducts) {
  const auto out = Path("C560V150.LFU");
  auto run =
      Lfu("make --family modem --out " + out +
          " --name 'NORIX corvid 560 Voice' --version 1.50 --loader-size 800"
          " --loader-mode xmodem --firmware-size 2000 --large-flash --ident 'NORIX X V1.50'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  UpgradeFileRecipe recipe;
  recipe.name = "NORIX corvid 560 Voice";
  recipe.version = "1.50";
  recipe.loader = MakeFlashLoader(LoaderMode::Xmodem, 800, 1);
  recipe.firmware = MakeFirmware(FirmwareTarget::ModemLargeFlash, "NORIX X V1.50", 2000, 2);
  const auto loaded = LoadImage(out);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(std::vector<std::uint8_t>(
                loaded.image.bytes.begin(),
                loaded.image.bytes.begin() + static_cast<std::ptrdiff_t>(loaded.image.size)),
            BuildUpgradeFile(recipe).bytes);

  run = Lfu("make --family modem --out " + out + " --name n --version 1 --loader-mode fast");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("--loader-mode must be star, digit or xmodem"), std::string::npos);
  run = Lfu("make --family solano --out " + out + " --name n --version 1 --firmware-size 15");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("cannot hold the identification \"n V1\""), std::string::npos);
  run = Lfu("make --family komet --out " + out + " --name n --version 1 --large-flash");
  EXPECT_EQ(run.exitCode, 2);
  run = Lfu("make --family modem --out " + out + " --name n --version 1 --loader-size 10");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("--loader-size must be at least 18"), std::string::npos);
}

TEST_F(NorixLfuTool, MakesKometAndSolanoFiles) {
  const auto komet = Path("KMT2V205.LFU");
  auto run =
      Lfu("make --family komet --out " + komet +
          " --name 'NORIX KOMET II' --version 2.05 --firmware-size 4000 --boot-version 0x0102");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  run = Lfu("show " + komet + " --layout komet");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("boot code version 0102"), std::string::npos) << run.output;

  const auto solano = Path("1280V150.LFU");
  run = Lfu("make --family solano --out " + solano + " --name '' --version 1.50");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  run = Lfu("show " + solano);  // every layout; the solano one accepts
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Name: (empty)"), std::string::npos);
}

TEST_F(NorixLfuTool, ClearErrorsAndExitCodes) {
  auto run = Lfu("make --family fax --out " + Path("x.lfu") + " --name n --version 1.00");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("--family"), std::string::npos);
  run = Lfu("make --family modem --out " + Path("x.lfu") + " --name n");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("--version is required"), std::string::npos);
  run =
      Lfu("make --family solano --out " + Path("x.lfu") + " --name n --version 1 --boot-version 1");
  EXPECT_EQ(run.exitCode, 2);
  run = Lfu("make --family modem --out " + Path("x.lfu") +
            " --name n --version 1 --firmware2-size 100");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("800000"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("x.lfu")));
  run = Lfu("make --family modem --out " + Path("no/such/folder.lfu") + " --name n --version 1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                          std::filesystem::directory_iterator()),
            0);

  run = Lfu("show " + Path("missing.lfu"));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("File open failed."), std::string::npos);
  run = Lfu("show a b");
  EXPECT_EQ(run.exitCode, 2);
  run = Lfu("show x --layout fax");
  EXPECT_EQ(run.exitCode, 2);
  run = Lfu("frobnicate");
  EXPECT_EQ(run.exitCode, 2);
  run = Lfu("--help");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("norix-lfu make"), std::string::npos);
}

}  // namespace
}  // namespace norix::upgrade::testing
