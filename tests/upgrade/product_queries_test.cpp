// The product questions of the upgrade file checks, asked of a scripted
// product on an in-memory line.
#include "upgrade/product_queries.h"

#include <gtest/gtest.h>

#include "link/link_fixture.h"
#include "upgrade/cut_and_verify.h"
#include "upgrade/file_check.h"
#include "upgrade/upgrade_file_messages.h"
#include "upgrade_test_files.h"

namespace norix::upgrade::testing {
namespace {

using norix::testing::Answer;
using norix::testing::Chunk;
using norix::testing::LinkFixture;

// A product that answers one command with the given lines and ERROR to
// anything else.
norix::testing::Responder Answers(const std::string& command, std::vector<std::string> lines) {
  return [command, lines = std::move(lines)](const std::string& line,
                                             const platform::comm::CommState&) {
    if (line == command) {
      return std::vector<Chunk>{{Answer(line, lines)}};
    }
    return std::vector<Chunk>{{Answer(line, {"ERROR"})}};
  };
}

class ProductQueries : public LinkFixture {};

TEST_F(ProductQueries, AnalogInterfaceNeedsTheTextAndOk) {
  Start(Answers("ATI7", {"added internal ANALOG interface", "OK"}));
  Quick(200, 80);
  EXPECT_TRUE(QueryAddedAnalogInterface(Port()));
}

TEST_F(ProductQueries, OtherAddOnOrErrorIsNoAnalogInterface) {
  Start(Answers("ATI7", {"Added No Internal HW", "OK"}));
  Quick(200, 80);
  EXPECT_FALSE(QueryAddedAnalogInterface(Port()));
  product_.reset();
  Start(Answers("ATI7", {"Added Internal Analog Interface", "ERROR"}));
  Quick(200, 80);
  EXPECT_FALSE(QueryAddedAnalogInterface(Port()));
}

TEST_F(ProductQueries, SilentProductHasNeitherFeature) {
  Start([](const std::string&, const platform::comm::CommState&) { return std::vector<Chunk>{}; });
  Quick(60, 40);
  EXPECT_FALSE(QueryAddedAnalogInterface(Port()));
  EXPECT_FALSE(QueryLargeFlash(Port()));
  EXPECT_FALSE(QueryLargeFlash(nullptr));
}

TEST_F(ProductQueries, LargeFlashFromAti4) {
  Start(Answers("ATI4", {"NORIX 560 FLASH_2M_ REV B", "OK"}));
  Quick(200, 80);
  EXPECT_TRUE(QueryLargeFlash(Port()));
  product_.reset();
  Start(Answers("ATI4", {"NORIX 560 FLASH_1M_", "OK"}));
  Quick(200, 80);
  EXPECT_FALSE(QueryLargeFlash(Port()));
}

TEST_F(ProductQueries, V130RuleAsksTheProductOnTheLine) {
  Start(Answers("ATI7", {"Added Internal Analog Interface", "OK"}));
  Quick(200, 80);
  UpgradeHeader header;
  header.name = "NORIX solano 1280";
  header.version = "1.20";
  header.modemChecksum = "AB";
  ProductForFileCheck product;
  product.identificationText = "NORIX solano 1280i a/b V1.40";
  product.upgradeKind = 2;
  product.installedVersion = 140;
  const auto result = CheckFileAgainstProduct(header, product,
                                              [this] { return QueryAddedAnalogInterface(Port()); });
  EXPECT_TRUE(result.v130Refusal);
  EXPECT_EQ(result.nextPage, kPageSameVersion);
  EXPECT_EQ(product_->Lines(), std::vector<std::string>{"ATI7"});
}

TEST_F(ProductQueries, CutAndVerifyAsksForTheLargeFlashOutsideARescue) {
  Start(Answers("ATI4", {"FLASH_2M_", "OK"}));
  Quick(200, 80);
  auto recipe = ModemRecipe(2000, 300000, 500000);
  auto image = MakeUpgradeImage(Build(recipe));
  const auto ask = [this] { return QueryLargeFlash(Port()); };
  auto result = CutAndVerifyImage(image, {{}, 1, false}, ask);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_TRUE(image.largeFlash);
  EXPECT_EQ(FirmwareLength(image), 500000U);

  // A rescue transfer keeps the flag the rescue probe set and asks nothing.
  image.largeFlash = false;
  result = CutAndVerifyImage(image, {{}, 9, true}, ask);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_FALSE(image.largeFlash);
  EXPECT_EQ(FirmwareLength(image), 300000U);
  EXPECT_EQ(product_->Lines(), std::vector<std::string>{"ATI4"});
}

}  // namespace
}  // namespace norix::upgrade::testing
