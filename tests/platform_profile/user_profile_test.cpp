// The user's regional settings: from locale data, from locale names, and the
// profile lookups the program makes.

#include "platform/profile/user_profile.h"

#include <string>

#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>

namespace norix::platform::profile {
namespace {

TEST(IntlSettingsFromLocaleData, CountryCodeIsTheInternationalDiallingPrefix) {
  EXPECT_EQ(IntlSettingsFromLocaleData("45", "%d-%m-%Y").country_code, 45);
  EXPECT_EQ(IntlSettingsFromLocaleData("1", "%m/%d/%y").country_code, 1);
  EXPECT_EQ(IntlSettingsFromLocaleData("358", "%d.%m.%Y").country_code, 358);
  for (const std::string_view bad : {"", "0", "00", "12345", "4a", " 49", "+49", "-1"}) {
    EXPECT_FALSE(IntlSettingsFromLocaleData(bad, "%d").country_code.has_value()) << bad;
  }
  const IntlSettings intl = IntlSettingsFromLocaleData("49", "%d.%m.%Y");
  EXPECT_EQ(intl.short_date, "dd.MM.yyyy");
  EXPECT_EQ(intl.long_date, "d. MMMM yyyy");
}

TEST(ChooseLocaleNames, LcAllThenTheCategoryThenLang) {
  const LocaleNames all = ChooseLocaleNames("da_DK.UTF-8", "de_DE.UTF-8", "sv_SE.UTF-8", "en_GB");
  EXPECT_EQ(all.telephone, "da_DK.UTF-8");
  EXPECT_EQ(all.time, "da_DK.UTF-8");
  const LocaleNames own = ChooseLocaleNames("", "de_DE.UTF-8", std::nullopt, "en_GB.UTF-8");
  EXPECT_EQ(own.telephone, "de_DE.UTF-8");
  EXPECT_EQ(own.time, "en_GB.UTF-8");
  const LocaleNames none = ChooseLocaleNames(std::nullopt, "", std::nullopt, "");
  EXPECT_EQ(none.telephone, "C");
  EXPECT_EQ(none.time, "C");
}

TEST(IntlSettingsForLocales, CLocaleHasNoCountryAndTheCDateOrder) {
  const IntlSettings c = IntlSettingsForLocales({"C", "C"});
  EXPECT_FALSE(c.country_code.has_value());
  EXPECT_EQ(c.short_date, "MM/dd/yy");
  EXPECT_EQ(UserProfile(c).CountryCode(), 44);
}

TEST(IntlSettingsForLocales, LocaleNotInstalledCountsAsC) {
  const IntlSettings missing = IntlSettingsForLocales({"xx_YY.UTF-8", "xx_YY.UTF-8"});
  EXPECT_FALSE(missing.country_code.has_value());
  EXPECT_EQ(missing.short_date, "MM/dd/yy");
  EXPECT_EQ(UserProfile(missing).CountryCode(), 44);
}

bool Installed(const char* name) {
  locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
  if (locale == nullptr) return false;
  freelocale(locale);
  return true;
}

// Needs real locales; many build machines carry only C and POSIX.
TEST(IntlSettingsForLocales, InstalledLocalesGiveTheirDiallingPrefix) {
  struct Expected {
    const char* name;
    int country_code;
  };
  int checked = 0;
  for (const Expected e :
       {Expected{"da_DK.UTF-8", 45}, Expected{"de_DE.UTF-8", 49}, Expected{"en_GB.UTF-8", 44},
        Expected{"en_US.UTF-8", 1}, Expected{"fr_FR.UTF-8", 33}, Expected{"nb_NO.UTF-8", 47},
        Expected{"sv_SE.UTF-8", 46}}) {
    if (!Installed(e.name)) continue;
    ++checked;
    const IntlSettings intl = IntlSettingsForLocales({e.name, e.name});
    EXPECT_EQ(intl.country_code, e.country_code) << e.name;
    for (const char field : {'d', 'M', 'y'}) {
      EXPECT_NE(intl.short_date.find(field), std::string::npos) << e.name << " " << intl.short_date;
    }
  }
  if (checked == 0) {
    GTEST_SKIP() << "none of da_DK, de_DE, en_GB, en_US (UTF-8) is installed (see locale -a)";
  }
}

TEST(UserProfile, LooksUpTheIntlValuesWithoutRegardToCase) {
  const UserProfile profile(IntlSettings{47, "dd.MM.yyyy", "d. MMMM yyyy"});
  EXPECT_EQ(profile.GetProfileInt("Intl", "iCountry", 44), 47);
  EXPECT_EQ(profile.GetProfileInt("INTL", "ICOUNTRY", 44), 47);
  EXPECT_EQ(profile.GetProfileString("intl", "sshortdate", ""), "dd.MM.yyyy");
  EXPECT_EQ(profile.GetProfileString("Intl", "sLongDate", ""), "d. MMMM yyyy");
  EXPECT_EQ(profile.GetProfileString("Intl", "iCountry", ""), "47");
  EXPECT_EQ(profile.CountryCode(), 47);
  // Other sections and keys give the default.
  EXPECT_EQ(profile.GetProfileInt("Windows", "iCountry", 44), 44);
  EXPECT_EQ(profile.GetProfileString("Intl", "sTime", "x"), "x");
}

TEST(UserProfile, MissingValuesGiveTheDefault) {
  const UserProfile empty;
  EXPECT_EQ(empty.GetProfileInt("Intl", "iCountry", 44), 44);
  EXPECT_EQ(empty.CountryCode(), 44);
  EXPECT_EQ(empty.GetProfileString("Intl", "sShortDate", ""), "");
  EXPECT_EQ(empty.GetProfileString("Intl", "sLongDate", "d MMMM yyyy"), "d MMMM yyyy");
}

TEST(UserProfile, FromTheEnvironmentAlwaysHasDateOrders) {
  const UserProfile profile = UserProfile::FromEnvironment();
  EXPECT_FALSE(profile.GetProfileString("Intl", "sShortDate", "").empty());
  EXPECT_FALSE(profile.GetProfileString("Intl", "sLongDate", "").empty());
  EXPECT_GT(profile.CountryCode(), 0);
}

}  // namespace
}  // namespace norix::platform::profile
