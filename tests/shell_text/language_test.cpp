// Choosing the country code from the command line or the profile.

#include "shell/language.h"

#include <ostream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace norix::shell {
namespace {

using platform::profile::IntlSettings;
using platform::profile::UserProfile;

UserProfile ProfileWithCountry(int code) {
  IntlSettings intl;
  intl.country_code = code;
  return UserProfile(intl);
}

struct TokenCase {
  std::string_view command_line;
  int expected;  // the profile says 61
};

void PrintTo(const TokenCase& c, std::ostream* out) {
  *out << '[';
  for (const char ch : c.command_line) *out << (static_cast<unsigned char>(ch) < 0x80 ? ch : '?');
  *out << "] " << c.expected;
}

class CountryCodeChoice : public ::testing::TestWithParam<TokenCase> {};

TEST_P(CountryCodeChoice, TakesTheTokenOnlyWhenItIsTheWholeCommandLine) {
  EXPECT_EQ(ChooseCountryCode(GetParam().command_line, ProfileWithCountry(61)), GetParam().expected)
      << '"' << GetParam().command_line << '"';
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CountryCodeChoice,
    ::testing::Values(TokenCase{"dk", 45}, TokenCase{"DK", 45}, TokenCase{"Dk", 45},
                      TokenCase{"n", 47}, TokenCase{"S", 46}, TokenCase{"d", 49},
                      TokenCase{"F", 33}, TokenCase{"uk", 44}, TokenCase{"UK", 44},
                      // anything else leaves the choice to the profile
                      TokenCase{"", 61}, TokenCase{"dk x", 61}, TokenCase{"uk ", 61},
                      TokenCase{" uk", 61}, TokenCase{"/uk", 61}, TokenCase{"-d", 61},
                      TokenCase{"dkk", 61}, TokenCase{"de", 61}, TokenCase{"u", 61},
                      TokenCase{"\xC3\xA6", 61}));

TEST(CountryCodeChoice, ProfileWithoutCountryGives44) {
  EXPECT_EQ(ChooseCountryCode("", UserProfile()), 44);
  EXPECT_EQ(ChooseCountryCode("dk x", UserProfile()), 44);
  EXPECT_EQ(ChooseCountryCode("dk", UserProfile()), 45);
}

TEST(CommandLineFromArguments, JoinsTheArgumentsAfterTheProgramName) {
  const char* none[] = {"norix-config"};
  EXPECT_EQ(CommandLineFromArguments(1, none), "");
  const char* one[] = {"norix-config", "DK"};
  EXPECT_EQ(CountryCodeFromCommandLine(CommandLineFromArguments(2, one)), 45);
  const char* two[] = {"norix-config", "dk", "x"};
  EXPECT_EQ(CommandLineFromArguments(3, two), "dk x");
  EXPECT_EQ(CountryCodeFromCommandLine(CommandLineFromArguments(3, two)), std::nullopt);
  EXPECT_EQ(CommandLineFromArguments(0, nullptr), "");
}

}  // namespace
}  // namespace norix::shell
