// Countries per product kind, as the nationality page reads and sets them:
// "AT+GCI=?" and "ATI5" to read, "AT*N-", "ATI5+GCI=xx" or "ATI5*NCnnnZ",
// "AT*N+" to set; the countries each model takes and refuses; the country
// staying across "AT&F" and "ATZ".
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model_under_test.h"
#include "sim/country_table.h"
#include "sim_test_support.h"

namespace norix::sim {
namespace {

using namespace test;
using Texts = std::vector<std::string>;

// The page's setting dialogue; the setting command's final code.
ResultCode SetCountry(ModelUnderTest& product, const std::string& command) {
  EXPECT_EQ(product.Result("AT*N-"), ResultCode::Ok);
  const ResultCode result = product.Result(command);
  EXPECT_EQ(product.Result("AT*N+"), ResultCode::Ok);
  return result;
}

TEST(CountryTableTest, CodesAreUniqueInEachSet) {
  const auto countries = Countries();
  ASSERT_EQ(countries.size(), 19U);
  for (std::size_t i = 0; i < countries.size(); ++i) {
    for (std::size_t j = i + 1; j < countries.size(); ++j) {
      EXPECT_NE(countries[i].diallingCode, countries[j].diallingCode) << i << ' ' << j;
      EXPECT_NE(countries[i].nationalityCode, countries[j].nationalityCode) << i << ' ' << j;
      EXPECT_NE(countries[i].t35Code, countries[j].t35Code) << i << ' ' << j;
    }
    EXPECT_EQ(FindCountry(countries[i].diallingCode), &countries[i]);
  }
  EXPECT_EQ(FindCountry(0), nullptr);
  EXPECT_EQ(FindCountry(999), nullptr);
}

TEST(GciCountryTest, ModelForTwoCountriesListsAndTakesOnlyThose) {
  ModelUnderTest modem("netrunner56k-dkus");
  EXPECT_EQ(modem.Text("AT+GCI=?"), "+GCI: (31,B5)");
  EXPECT_EQ(modem.Text("ATI5"), "B5");
  EXPECT_EQ(SetCountry(modem, "ATI5+GCI=A5"), ResultCode::Error);  // Sweden
  EXPECT_EQ(modem.Text("ATI5"), "B5");
  EXPECT_EQ(SetCountry(modem, "ATI5+GCI=31"), ResultCode::Ok);
  EXPECT_EQ(modem.Text("AT+GCI?"), "+GCI: 31");
}

TEST(GciCountryTest, RefusedCountryIsListedButNotTaken) {
  ProductOptions options;
  options.refusedCountry = 46;  // Sweden, A5
  ModelUnderTest modem("netrunner56k", options);
  EXPECT_NE(modem.Text("AT+GCI=?").find("A5"), std::string::npos);
  EXPECT_EQ(SetCountry(modem, "ATI5+GCI=A5"), ResultCode::Error);
  EXPECT_EQ(modem.Text("ATI5"), "B5");
  EXPECT_EQ(SetCountry(modem, "ATI5+GCI=82"), ResultCode::Ok);  // Norway
  EXPECT_EQ(modem.Text("ATI5"), "82");
}

TEST(NationalityCodeCountryTest, RefusedCountryAnswersErrorAndKeepsTheOldOne) {
  ProductOptions options;
  options.refusedCountry = 46;  // Sweden, 014
  ModelUnderTest modem("netrunner33k6", options);
  EXPECT_EQ(SetCountry(modem, "ATI5*NC014Z"), ResultCode::Error);
  EXPECT_EQ(modem.Text("ATI5"), "006");
  const Reply reply = modem.Run("ATI5*NC003Z");  // Denmark
  EXPECT_EQ(reply.result, ResultCode::Ok);
  EXPECT_EQ(reply.information, Texts{"006"});  // ATI5 runs before the change
  EXPECT_EQ(modem.Text("ATI5"), "003");
}

TEST(NationalityCodeCountryTest, UnknownRefusedCountryRefusesNothingMore) {
  ProductOptions options;
  options.refusedCountry = 999;
  ModelUnderTest modem("netrunner33k6", options);
  EXPECT_EQ(SetCountry(modem, "ATI5*NC014Z"), ResultCode::Ok);
  EXPECT_EQ(modem.Text("ATI5"), "014");
}

TEST(AdapterCountryTest, SolanoTakesTheEuropeanIsdnCountriesInNationalityCodes) {
  ModelUnderTest adapter("solano1280i");
  EXPECT_EQ(adapter.Result("AT+GCI?"), ResultCode::Error);
  EXPECT_EQ(adapter.Text("ATI5"), "006");
  EXPECT_EQ(SetCountry(adapter, "ATI5*NC014Z"), ResultCode::Ok);
  EXPECT_EQ(adapter.Text("ATI5"), "014");
  // Australia, Japan and the U.S.A. have other ISDN networks.
  for (const char* refused : {"ATI5*NC022Z", "ATI5*NC040Z", "ATI5*NC043Z"}) {
    EXPECT_EQ(SetCountry(adapter, refused), ResultCode::Error) << refused;
  }
  EXPECT_EQ(adapter.Text("ATI5"), "014");
}

TEST(AdapterCountryTest, KometAndSmallSolanoHaveACountryToo) {
  for (const char* model : {"komet2", "komet2-early", "solano640i", "solano1280i-ab"}) {
    ModelUnderTest adapter(model);
    const std::string before = adapter.Text("ATI5");
    EXPECT_EQ(before.size(), 3U) << model;
    EXPECT_EQ(SetCountry(adapter, "ATI5*NC003Z"), ResultCode::Ok) << model;
    EXPECT_EQ(adapter.Text("ATI5"), "003") << model;
  }
}

TEST(AdapterCountryTest, OldFirmwareHasNoCountrySetting) {
  for (const char* model : {"solano1280i-old", "solano1280mi-old"}) {
    ModelUnderTest adapter(model);
    EXPECT_EQ(adapter.Result("ATI5"), ResultCode::Error) << model;
    EXPECT_EQ(adapter.Result("ATI5*NC003Z"), ResultCode::Error) << model;
    EXPECT_EQ(adapter.Result("AT*N-"), ResultCode::Error) << model;
  }
}

TEST(AdapterCountryTest, RefusedCountryAppliesToAdaptersToo) {
  ProductOptions options;
  options.refusedCountry = 45;  // Denmark, 003
  ModelUnderTest adapter("solano1280mi", options);
  EXPECT_EQ(SetCountry(adapter, "ATI5*NC003Z"), ResultCode::Error);
  EXPECT_EQ(adapter.Text("ATI5"), "006");
}

// The country is kept apart from the settings profiles, in every kind.
class CountryAcrossResetsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CountryAcrossResetsTest, FactorySettingsAndStoredProfileKeepTheCountry) {
  ModelUnderTest product(GetParam());
  const bool gci = product.Result("AT+GCI?") == ResultCode::Ok;
  ASSERT_EQ(SetCountry(product, gci ? "ATI5+GCI=31" : "ATI5*NC003Z"), ResultCode::Ok);
  EXPECT_EQ(product.Result("AT&F"), ResultCode::Ok);
  EXPECT_EQ(product.Result("ATZ"), ResultCode::Ok);
  EXPECT_EQ(product.Result("AT&F&W"), ResultCode::Ok);
  EXPECT_EQ(product.Result("ATZ"), ResultCode::Ok);
  EXPECT_EQ(product.Text("ATI5"), gci ? "31" : "003");
}

INSTANTIATE_TEST_SUITE_P(EveryKind, CountryAcrossResetsTest,
                         ::testing::Values("netrunner56k", "netrunner33k6", "usb560", "solano1280i",
                                           "solano1280mi", "komet2"));

// The adapter's country and its modem part's are two settings.
TEST(AdapterCountryTest, InternalModemKeepsItsOwnCountry) {
  auto line = StartOnMemoryLine("solano1280mi");
  SetSpeed(*line.host, 57600);
  // "Z" restores the stored profile, but not the country.
  Write(*line.host, "ATI5*NC014Z\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "ATI5*NC014Z\r\r\n006\r\n\r\nOK\r\n");
  Write(*line.host, "AT!MATI5\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n\r\nOK\r\n"),
            "AT!MATI5\r\r\nModem command: ATI5\r\n\r\nOK\r\nATI5\r\r\n006\r\n\r\nOK\r\n");
  Write(*line.host, "ATI5\r");
  EXPECT_EQ(ReadUntil(*line.host, "OK\r\n"), "ATI5\r\r\n014\r\n\r\nOK\r\n");
}

}  // namespace
}  // namespace norix::sim
