#pragma once

// The user's regional settings, in the shape the program reads them: the
// values "iCountry", "sShortDate" and "sLongDate" of profile section "Intl".
// On Linux they come from the user's locale: the country code is the
// international dialling prefix of LC_TELEPHONE, the date orders come from
// LC_TIME's date format.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace norix::platform::profile {

// Country code used when the locale gives none (the C locale, say).
inline constexpr int kDefaultCountryCode = 44;

struct IntlSettings {
  std::optional<int> country_code;  // "iCountry"; none when unknown
  std::string short_date;           // "sShortDate", e.g. "dd/MM/yyyy"; empty when unknown
  std::string long_date;            // "sLongDate", e.g. "d MMMM yyyy"; empty when unknown
};

// Locale names per category, as setlocale would choose them.
struct LocaleNames {
  std::string telephone;  // LC_TELEPHONE
  std::string time;       // LC_TIME
};

// The locale of each category from environment values (each may be absent
// or empty, which counts as unset): LC_ALL, else the category's own
// variable, else LANG, else "C".
[[nodiscard]] LocaleNames ChooseLocaleNames(std::optional<std::string_view> lc_all,
                                            std::optional<std::string_view> lc_telephone,
                                            std::optional<std::string_view> lc_time,
                                            std::optional<std::string_view> lang);

// ChooseLocaleNames with this process's environment.
[[nodiscard]] LocaleNames LocaleNamesFromEnvironment();

// Settings from a locale's raw data: int_prefix (LC_TELEPHONE, e.g. "49")
// and d_fmt (LC_TIME, e.g. "%d.%m.%Y"). A prefix that is not 1 to 4 digits
// or is zero gives no country code.
[[nodiscard]] IntlSettings IntlSettingsFromLocaleData(std::string_view int_prefix,
                                                      std::string_view d_fmt);

// Settings of installed locales, read with newlocale / nl_langinfo_l. A
// locale that is not installed counts as the C locale, as it would for
// setlocale: no country code, the C date order "MM/dd/yy".
[[nodiscard]] IntlSettings IntlSettingsForLocales(const LocaleNames& names);

// The profile the program reads its regional settings from. Immutable once
// made, so any thread may read it.
class UserProfile {
 public:
  UserProfile() = default;  // nothing set: every lookup gives its default
  explicit UserProfile(IntlSettings intl) : intl_(std::move(intl)) {}

  // The user's profile: the locale this process's environment names.
  [[nodiscard]] static UserProfile FromEnvironment();

  // Profile lookups in the system's terms. Section and key compare without
  // regard to case; a missing value, or any other section or key, gives the
  // default.
  [[nodiscard]] int GetProfileInt(std::string_view section, std::string_view key,
                                  int default_value) const;
  [[nodiscard]] std::string GetProfileString(std::string_view section, std::string_view key,
                                             std::string_view default_value) const;

  // "iCountry" of "Intl" with default kDefaultCountryCode.
  [[nodiscard]] int CountryCode() const;

  [[nodiscard]] const IntlSettings& Intl() const noexcept { return intl_; }

 private:
  IntlSettings intl_;
};

}  // namespace norix::platform::profile
