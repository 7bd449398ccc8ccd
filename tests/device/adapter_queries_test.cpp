#include "device/adapter_queries.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "products/label_name.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "products/product_on_line.h"

namespace norix::products::testing {
using namespace norix::device;
namespace {

const ScriptedAnswer kInternalModemAnswer{
    0, "AT!MATI3", {"AT!MATI3\r\r\nNORIX 1280 Internal Modem V1.30\r\n\r\nOK\r\n"}};

ScriptedAnswer Ati7(const std::string& reply) {
  return {0, "ATI7", {"ATI7\r\r\n" + reply + "\r\n\r\nOK\r\n"}};
}

struct FeaturesCase {
  std::string_view label;
  std::string productName;
  std::vector<ScriptedAnswer> script;
  bool analoguePort;
  bool noInternalHardware;
  bool internalModem;
};

class ReadAdapterFeaturesTest : public ProductOnLine,
                                public ::testing::WithParamInterface<FeaturesCase> {};

TEST_P(ReadAdapterFeaturesTest, SetsFlagsFromAti7Report) {
  const FeaturesCase& c = GetParam();
  Start(c.script);
  context_.productName = c.productName;
  AdapterFeatures features;
  features.isdnAdapter = true;

  ReadAdapterFeatures(context_, features);

  EXPECT_EQ(features.analoguePort, c.analoguePort);
  EXPECT_EQ(features.noInternalHardware, c.noInternalHardware);
  EXPECT_EQ(features.internalModem, c.internalModem);
  EXPECT_TRUE(features.isdnAdapter);
  EXPECT_FALSE(features.komet);
  EXPECT_EQ(ReadConstant(), kTestTimeouts.readConstant);  // the 6000 ms of "ATI7" undone

  const bool askedModem = Received().size() == 2;
  EXPECT_EQ(askedModem, c.internalModem);
  EXPECT_EQ(context_.internalModemVersion, c.internalModem ? "1.30\r\n" : "");
  EXPECT_EQ(context_.internalModemVersionNumber, c.internalModem ? "130" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReadAdapterFeaturesTest,
    ::testing::Values(FeaturesCase{"AnaloguePort",
                                   "NORIX solano 1280i ",
                                   {Ati7("Added Internal Analog Interface")},
                                   true,
                                   false,
                                   false},
                      FeaturesCase{"InternalModem",
                                   "NORIX solano 1280mi ",
                                   {Ati7("Internal Modem"), kInternalModemAnswer},
                                   false,
                                   false,
                                   true},
                      FeaturesCase{"NoInternalHardware",
                                   "NORIX solano 1280i ",
                                   {Ati7("No Internal HW")},
                                   false,
                                   true,
                                   false},
                      // Firmware that does not know "ATI7": the name decides.
                      FeaturesCase{"OldFirmwareAdapter",
                                   "NORIX solano 1280i ",
                                   {{0, "ATI7", {"ATI7\r\r\nERROR\r\n"}}},
                                   true,
                                   true,
                                   false},
                      FeaturesCase{"OldFirmwareWithModem",
                                   "NORIX solano 1280mi ",
                                   {{0, "ATI7", {"ATI7\r\r\nERROR\r\n"}}, kInternalModemAnswer},
                                   false,
                                   false,
                                   true}),
    LabelName());

TEST_F(ProductOnLine, InternalModemLineAfterRelayChatter) {
  Start({{0,
          "AT!MATI3",
          {"AT!MATI3\r\r\nCONNECT\r\n", "\r\nNORIX 1280mi modem V2.05\r\n\r\nOK\r\n"}}});
  ReadInternalModemVersion(context_);
  EXPECT_EQ(context_.internalModemVersion, "2.05\r\n");
  EXPECT_EQ(context_.internalModemVersionNumber, "205");
}

TEST_F(ProductOnLine, InternalModemVersionTextIsCut) {
  Start({{0, "AT!MATI3", {"\r\nNORIX 1280 modem V1.30 build 2001-02-03 rev 77\r\n\r\nOK\r\n"}}});
  ReadInternalModemVersion(context_);
  EXPECT_EQ(context_.internalModemVersion, "1.30 build 2001-02-");
  EXPECT_EQ(context_.internalModemVersionNumber, "130");
}

TEST_F(ProductOnLine, InternalModemLineWithoutVersionGivesEmptyTexts) {
  Start({{0, "AT!MATI3", {"\r\nV1280\r\n\r\nOK\r\n"}}});
  context_.internalModemVersion = "old";
  context_.internalModemVersionNumber = "100";
  ReadInternalModemVersion(context_);
  EXPECT_EQ(context_.internalModemVersion, "");
  EXPECT_EQ(context_.internalModemVersionNumber, "");
}

TEST_F(ProductOnLine, SilentInternalModemEndsAfterAFewEmptyReads) {
  Start({});
  context_.internalModemVersion = "old";
  const auto start = std::chrono::steady_clock::now();
  ReadInternalModemVersion(context_);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(context_.internalModemVersion, "");
  EXPECT_EQ(context_.internalModemVersionNumber, "");
  // Each empty line read waits one read constant (600 ms here).
  EXPECT_LT(elapsed,
            std::chrono::milliseconds(kTestTimeouts.readConstant * (kInternalModemEmptyReads + 2)));
}

TEST_F(ProductOnLine, EndlessLinesWithout1280EndAtTheLineLimitAndAreDiscarded) {
  std::string chatter;
  for (int i = 0; i < kInternalModemLineLimit + 8; ++i) {
    chatter += "RING\r\n";
  }
  Start({{0, "AT!MATI3", {chatter}}});
  ReadInternalModemVersion(context_);
  EXPECT_EQ(context_.internalModemVersion, "");
  std::string rest;
  EXPECT_EQ(link::ReadBlock(context_.Port(), rest, 100), 0U) << rest;
}

struct FeatureWordCase {
  std::string_view label;
  std::vector<std::string> answer;  // empty: the adapter is silent
  std::uint32_t word;
};

class ReadKometFeatureWordTest : public ProductOnLine,
                                 public ::testing::WithParamInterface<FeatureWordCase> {};

TEST_P(ReadKometFeatureWordTest, ReadsHexadecimalReply) {
  const FeatureWordCase& c = GetParam();
  std::vector<ScriptedAnswer> script;
  if (!c.answer.empty()) {
    script.push_back({0, "AT!P0", c.answer});
  }
  Start(script);
  AdapterFeatures features;
  features.featureWord = 0x1234;
  ReadKometFeatureWord(context_, features);
  EXPECT_EQ(features.featureWord, c.word);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReadKometFeatureWordTest,
    ::testing::Values(FeatureWordCase{"Plain", {"AT!P0\r\r\n37F\r\n\r\nOK\r\n"}, 0x37F},
                      FeatureWordCase{"StopsAtFirstNonHex", {"\r\nfeatures\r\n\r\nOK\r\n"}, 0xFEA},
                      FeatureWordCase{"Error", {"AT!P0\r\r\nERROR\r\n"}, kDefaultKometFeatureWord},
                      // OK without a value line: nothing to read, so the default.
                      FeatureWordCase{"OkOnly", {"AT!P0\r\r\nOK\r\n"}, kDefaultKometFeatureWord},
                      FeatureWordCase{"Silent", {}, kDefaultKometFeatureWord}),
    LabelName());

TEST_F(ProductOnLine, SolanoWithAnaloguePortIsRenamedAndFindsRow15) {
  Start({Ati7("Added Internal Analog Interface")});
  ParseIdentification("NORIX solano 1280i V1.30", context_);
  EXPECT_EQ(context_.productName, kSolanoAnalogueName);
  EXPECT_EQ(context_.firmwareVersionNumber, 130);
  EXPECT_EQ(FindCatalogueRow(context_.productName, BuiltInCatalogue()), 15U);
  EXPECT_EQ(ReadConstant(), kTestTimeouts.readConstant);
}

TEST_F(ProductOnLine, SolanoWithoutAnaloguePortKeepsItsName) {
  Start({Ati7("Internal Modem")});
  ParseIdentification("NORIX solano 1280mi V2.00", context_);
  EXPECT_EQ(context_.productName, "NORIX solano 1280mi ");
  EXPECT_EQ(Received(), (std::vector<ReceivedCommand>{{57600, "ATI7"}}));
}

}  // namespace
}  // namespace norix::products::testing
