#include "sim/analogue_modem.h"

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model_under_test.h"
#include "sim/command_interpreter.h"
#include "sim/model_registry.h"
#include "sim/models/models.h"

namespace norix::sim {
namespace {

using Texts = std::vector<std::string>;

// A modem of the family from its data, without any line.
class ModemUnderTest : public test::ModelUnderTest {
 public:
  explicit ModemUnderTest(AnalogueModemData data)
      : ModelUnderTest(MakeAnalogueModem(std::move(data))) {}
};

// The T.35 codes of the countries the program can offer.
const std::vector<unsigned> kProgramCountries = {0x09, 0x0A, 0x0F, 0x31, 0x3C, 0x3D, 0x42,
                                                 0x46, 0x57, 0x59, 0x00, 0x7B, 0x82, 0x8B,
                                                 0xA0, 0xA5, 0xA6, 0xB4, 0xB5};

TEST(Netrunner56kTest, IdentifiesItself) {
  ModemUnderTest modem(models::Netrunner56kData());
  EXPECT_EQ(modem.Text("ATI3"), "NORIX Netrunner 56000 Voice V1.10");
  EXPECT_EQ(modem.Text("ATI1"), "7C4E");
  EXPECT_EQ(modem.Text("ATI4").find("_2M_"), std::string::npos);
  EXPECT_EQ(modem.Text("ATI"), "56000");
  EXPECT_EQ(modem.Result("ATI7"), ResultCode::Error);
  // The firmware date word is the last blank-separated word: six digits YYMMDD.
  const std::string revision = modem.Text("AT+GMR?");
  EXPECT_EQ(revision, modem.Text("AT+GMR"));
  const std::string date = revision.substr(revision.rfind(' ') + 1);
  EXPECT_EQ(date.size(), 6U);
  EXPECT_EQ(date.find_first_not_of("0123456789"), std::string::npos);
}

TEST(Netrunner56kTest, ReportsCountryAndSupportedCountriesAsGci) {
  ModemUnderTest modem(models::Netrunner56kData());
  EXPECT_EQ(modem.Text("AT+GCI?"), "+GCI: B5");
  EXPECT_EQ(modem.Text("ATI5"), "B5");
  const std::string list = modem.Text("AT+GCI=?");
  EXPECT_TRUE(list.starts_with("+GCI: (")) << list;
  EXPECT_TRUE(list.ends_with(")")) << list;
  for (const unsigned code : kProgramCountries) {
    std::array<char, 4> hex{};
    static_cast<void>(std::snprintf(hex.data(), hex.size(), "%02X", code));
    EXPECT_NE(list.find(hex.data()), std::string::npos) << hex.data();
  }
}

TEST(Netrunner56kTest, SetsOnlySupportedCountries) {
  ModemUnderTest modem(models::Netrunner56kData());
  // The setting command of the nationality page: ATI5 answers the old country.
  const Reply reply = modem.Run("ATI5+GCI=31");
  EXPECT_EQ(reply.result, ResultCode::Ok);
  EXPECT_EQ(reply.information, Texts{"B5"});
  EXPECT_EQ(modem.Text("ATI5"), "31");
  EXPECT_EQ(modem.Result("AT+GCI=a5"), ResultCode::Ok);  // hex digits in either case
  EXPECT_EQ(modem.Text("AT+GCI?"), "+GCI: A5");
  for (const char* refused :
       {"AT+GCI=C0", "AT+GCI=1B5", "AT+GCI=", "AT+GCI=G1", "AT+GCI", "AT+GCI=B5I3", "AT+GCI?X"}) {
    EXPECT_EQ(modem.Result(refused), ResultCode::Error) << refused;
  }
  EXPECT_EQ(modem.Text("ATI5"), "A5");
  // An extended command ends at ';', after which more commands may follow.
  EXPECT_EQ(modem.Text("AT+GCI=09;I5"), "09");
}

TEST(Netrunner56kTest, CountryIsNotPartOfTheProfiles) {
  ModemUnderTest modem(models::Netrunner56kData());
  ASSERT_EQ(modem.Result("AT+GCI=42"), ResultCode::Ok);
  ASSERT_EQ(modem.Result("AT&F"), ResultCode::Ok);
  ASSERT_EQ(modem.Result("ATZ"), ResultCode::Ok);
  EXPECT_EQ(modem.Text("ATI5"), "42");
}

TEST(Netrunner56kTest, TakesTheCommandsOfTheLineTestAndNationalityPage) {
  ModemUnderTest modem(models::Netrunner56kData());
  EXPECT_EQ(modem.Result("AT*N-"), ResultCode::Ok);
  EXPECT_EQ(modem.Result("AT*N+"), ResultCode::Ok);
  EXPECT_EQ(modem.Result("AT*N"), ResultCode::Error);
  EXPECT_EQ(modem.Result("AT*K0"), ResultCode::Ok);
  EXPECT_EQ(modem.Result("ATE0X4S6=4"), ResultCode::Ok);
  // The volume is answered as a bare digit, so that its first character can
  // be sent back in "AT+VOL=<c>".
  EXPECT_EQ(modem.Text("AT+VOL?"), "4");
  EXPECT_EQ(modem.Result("AT+VOL=8"), ResultCode::Ok);
  EXPECT_EQ(modem.Text("AT+VOL?"), "8");
  EXPECT_EQ(modem.Result("AT+VOL=10"), ResultCode::Error);
  EXPECT_EQ(modem.Result("AT&F"), ResultCode::Ok);
  EXPECT_EQ(modem.Text("AT+VOL?"), "4");
  EXPECT_EQ(modem.Result("AT#VOL?"), ResultCode::Error);
  EXPECT_EQ(modem.Result("AT*NC003"), ResultCode::Error);
  EXPECT_EQ(modem.Result("ATL3M0&C0&D3&K4H0"), ResultCode::Ok);
  EXPECT_EQ(modem.Result("ATL4"), ResultCode::Error);
}

TEST(Netrunner56kTest, AnswersOnlyAtStandardPortSpeeds) {
  ModemUnderTest modem(models::Netrunner56kData());
  for (const std::uint32_t speed :
       {300U, 1200U, 2400U, 4800U, 9600U, 19200U, 38400U, 57600U, 115200U}) {
    EXPECT_TRUE(modem.model().AnswersAt(speed)) << speed;
  }
  for (const std::uint32_t speed : {0U, 110U, 14400U, 28800U, 230400U}) {
    EXPECT_FALSE(modem.model().AnswersAt(speed)) << speed;
  }
}

TEST(Netrunner33k6Test, UsesNationalityCodesInsteadOfGci) {
  ModemUnderTest modem(models::Netrunner33k6Data());
  EXPECT_EQ(modem.Result("AT+GCI?"), ResultCode::Error);
  EXPECT_EQ(modem.Text("ATI5"), "006");
  // The setting command of the nationality page for Denmark.
  const Reply reply = modem.Run("ATI5*NC003Z");
  EXPECT_EQ(reply.result, ResultCode::Ok);
  EXPECT_EQ(reply.information, Texts{"006"});
  EXPECT_EQ(modem.Text("ATI5"), "003");
  EXPECT_EQ(modem.Result("AT*NC099"), ResultCode::Error);
  EXPECT_EQ(modem.Result("AT*NC"), ResultCode::Error);
  EXPECT_EQ(modem.Text("ATI5"), "003");
  EXPECT_EQ(modem.Text("AT#VOL?"), "4");
  EXPECT_EQ(modem.Text("AT#REV?"), "V1.02 970815");
  EXPECT_EQ(modem.Result("AT+GMR?"), ResultCode::Error);
}

TEST(AnalogueModemTest, LargeFlashDescriptionIsData) {
  AnalogueModemData data = models::Netrunner56kData();
  data.identification[4] = "NX56 DSP rev C, flash _2M_";
  ModemUnderTest modem(std::move(data));
  EXPECT_NE(modem.Text("ATI4").find("_2M_"), std::string::npos);
}

TEST(ModelRegistryTest, NamesAreUniqueAndEveryModelIsMade) {
  std::set<std::string> names;
  for (const ModelEntry& entry : Models()) {
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
    EXPECT_FALSE(entry.description.empty()) << entry.name;
    EXPECT_NE(entry.make(), nullptr) << entry.name;
    EXPECT_EQ(FindModel(entry.name), &entry);
  }
  EXPECT_NE(FindModel("netrunner56k"), nullptr);
  EXPECT_EQ(FindModel("Netrunner56k"), nullptr);
  EXPECT_EQ(FindModel(""), nullptr);
}

}  // namespace
}  // namespace norix::sim
