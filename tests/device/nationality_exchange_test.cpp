#include "device/nationality_exchange.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/nationality_table.h"
#include "link/link_fixture.h"
#include "resources/resource_ids.h"

namespace norix::device {
namespace {

using testing::Answer;
using testing::Chunk;

TEST(NationalityTableTest, SettingCommandsCarryTheCodeOfTheProductsKind) {
  EXPECT_EQ(NationalitySettingCommand(1, true), "ATI5+GCI=B5");
  EXPECT_EQ(NationalitySettingCommand(45, false), "ATI5*NC003Z");
  EXPECT_EQ(NationalitySettingCommand(81, true), "ATI5+GCI=00");  // Japan's T.35 code is 00
  EXPECT_EQ(NationalitySettingCommand(61, false), "ATI5*NC040Z");
  EXPECT_EQ(NationalitySettingCommand(999, true), "");
  EXPECT_EQ(NationalityCode(999, false), 0U);
  EXPECT_EQ(NationalityFlag(999), 0);
  EXPECT_EQ(NationalityFlag(61), resources::kFirstFlagPicture);
  EXPECT_EQ(NationalityFlag(1), resources::kLastFlagPicture);
}

TEST(NationalityTableTest, EntriesHaveDistinctKeysAndFlagsInTextOrder) {
  for (std::size_t i = 0; i < kNationalityCount; ++i) {
    const NationalityEntry& entry = kNationalityTable[i];
    EXPECT_EQ(entry.nameText, 2162 + static_cast<int>(i));
    EXPECT_EQ(entry.flagPicture, resources::kFirstFlagPicture + static_cast<int>(i));
    EXPECT_EQ(FindNationality(entry.diallingCode), i) << entry.diallingCode;
    EXPECT_LE(entry.gciCode, 0xFFU);
  }
}

// A product whose answers are given per command line; it records every line.
class NationalityExchangeTest : public testing::LinkFixture {
 protected:
  void StartProduct(std::vector<std::pair<std::string, std::vector<std::string>>> answers) {
    Start([answers = std::move(answers)](const std::string& line,
                                         const platform::comm::CommState&) -> std::vector<Chunk> {
      for (const auto& [command, lines] : answers) {
        if (line == command) {
          return {{Answer(line, lines)}};
        }
      }
      return {{Answer(line, {"OK"})}};
    });
    Quick(150);
  }
  std::array<bool, kNationalityCount> offered_{};

  [[nodiscard]] std::vector<int> OfferedCodes() const {
    std::vector<int> codes;
    for (std::size_t i = 0; i < kNationalityCount; ++i) {
      if (offered_[i]) {
        codes.push_back(kNationalityTable[i].diallingCode);
      }
    }
    return codes;
  }
};

TEST_F(NationalityExchangeTest, GciProductOffersExactlyTheListedCountries) {
  offered_.fill(true);  // an earlier reading offered everything
  StartProduct({{"AT+GCI=?", {"+GCI: (31,B5)", "OK"}}, {"ATI5", {"b5", "OK"}}});
  // An earlier exchange's late answer still on the line is no part of this one.
  Unprompted("\r\n+GCI: (3D)\r\n\r\nOK\r\n");
  EXPECT_EQ(ReadCurrentNationality(Port(), true, offered_), 1);
  EXPECT_EQ(OfferedCodes(), (std::vector<int>{45, 1}));
  EXPECT_EQ(product_->Lines(), (std::vector<std::string>{"AT+GCI=?", "ATI5"}));
}

TEST_F(NationalityExchangeTest, GciProductWithoutAListKeepsThePreviousOffer) {
  offered_[3] = true;
  StartProduct({{"AT+GCI=?", {"ERROR"}}, {"ATI5", {"b5", "OK"}}});
  EXPECT_EQ(ReadCurrentNationality(Port(), true, offered_), 1);
  EXPECT_EQ(OfferedCodes(), (std::vector<int>{45}));
}

TEST_F(NationalityExchangeTest, NcProductWithANumberOffersAllAndFindsItsCountry) {
  StartProduct({{"ATI5", {"003", "OK"}}});
  EXPECT_EQ(ReadCurrentNationality(Port(), false, offered_), 45);
  EXPECT_EQ(OfferedCodes().size(), kNationalityCount);
  EXPECT_EQ(product_->Lines(), (std::vector<std::string>{"ATI5"}));
}

TEST_F(NationalityExchangeTest, NcProductWithoutANumberKeepsThePreviousOffer) {
  offered_[3] = true;
  StartProduct({{"ATI5", {"unknown", "OK"}}});
  EXPECT_EQ(ReadCurrentNationality(Port(), false, offered_), kNationalityNone);
  EXPECT_EQ(OfferedCodes(), (std::vector<int>{45}));
}

TEST_F(NationalityExchangeTest, NcCodeOfNoEntryIsNoneButOffersAll) {
  StartProduct({{"ATI5", {"099", "OK"}}});
  EXPECT_EQ(ReadCurrentNationality(Port(), false, offered_), kNationalityNone);
  EXPECT_EQ(OfferedCodes().size(), kNationalityCount);
}

TEST_F(NationalityExchangeTest, UnansweredIdentificationOffersEveryCountry) {
  StartProduct({{"ATI5", {"ERROR"}}});
  EXPECT_EQ(ReadCurrentNationality(Port(), true, offered_), kNationalityUnknown);
  EXPECT_EQ(OfferedCodes().size(), kNationalityCount);
}

TEST_F(NationalityExchangeTest, SettingIsBracketedAndItsAnswerDecides) {
  StartProduct({{"ATI5*NC014Z", {"ERROR"}}});
  EXPECT_EQ(SetNationality(Port(), false, 45, 46), NationalityResult::Accepted);
  EXPECT_EQ(SetNationality(Port(), false, 46, 45), NationalityResult::Refused);
  EXPECT_EQ(product_->Lines(), (std::vector<std::string>{"AT*N-", "ATI5*NC003Z", "AT*N+", "AT*N-",
                                                         "ATI5*NC014Z", "AT*N+"}));
}

TEST_F(NationalityExchangeTest, CurrentOrUnknownCountrySendsNothing) {
  StartProduct({});
  EXPECT_EQ(SetNationality(Port(), true, 49, 49), NationalityResult::Unchanged);
  EXPECT_EQ(SetNationality(Port(), true, 999, 49), NationalityResult::Refused);
  EXPECT_TRUE(product_->Lines().empty());
}

TEST_F(NationalityExchangeTest, SilentSettingIsNoReplyAndStillClosesTheBracket) {
  Start([](const std::string& line, const platform::comm::CommState&) -> std::vector<Chunk> {
    if (line.starts_with("ATI5")) {
      return {};
    }
    return {{Answer(line, {"OK"})}};
  });
  Quick(150);
  EXPECT_EQ(SetNationality(Port(), true, 49, 1), NationalityResult::NoReply);
  EXPECT_EQ(product_->Lines(), (std::vector<std::string>{"AT*N-", "ATI5+GCI=42", "AT*N+"}));
}

}  // namespace
}  // namespace norix::device
