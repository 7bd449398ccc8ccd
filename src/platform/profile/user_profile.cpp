#include "platform/profile/user_profile.h"

#include <algorithm>
#include <cstdlib>

#include <langinfo.h>
#include <locale.h>

#include "platform/ascii/ascii_text.h"
#include "platform/profile/date_order.h"

namespace norix::platform::profile {

namespace {

constexpr std::string_view kIntl = "Intl";

using platform::ascii::EqualNoCase;

std::string_view Chosen(std::optional<std::string_view> value) {
  return value && !value->empty() ? *value : std::string_view();
}

std::optional<std::string_view> Environment(const char* name) {
  // Read at start-up, before any other thread exists.
  const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
  if (value == nullptr) return std::nullopt;
  return std::string_view(value);
}

// One locale category's data item, read without touching the process's
// global locale. nullopt when the locale is not installed.
std::optional<std::string> LocaleItem(int category_mask, const std::string& name, nl_item item) {
  locale_t locale = newlocale(category_mask, name.c_str(), nullptr);
  if (locale == nullptr) return std::nullopt;
  const char* value = nl_langinfo_l(item, locale);
  std::string result = value != nullptr ? value : "";
  freelocale(locale);
  return result;
}

}  // namespace

LocaleNames ChooseLocaleNames(std::optional<std::string_view> lc_all,
                              std::optional<std::string_view> lc_telephone,
                              std::optional<std::string_view> lc_time,
                              std::optional<std::string_view> lang) {
  const auto pick = [&](std::optional<std::string_view> own) {
    for (const std::string_view value : {Chosen(lc_all), Chosen(own), Chosen(lang)}) {
      if (!value.empty()) return std::string(value);
    }
    return std::string("C");
  };
  return {pick(lc_telephone), pick(lc_time)};
}

LocaleNames LocaleNamesFromEnvironment() {
  return ChooseLocaleNames(Environment("LC_ALL"), Environment("LC_TELEPHONE"),
                           Environment("LC_TIME"), Environment("LANG"));
}

IntlSettings IntlSettingsFromLocaleData(std::string_view int_prefix, std::string_view d_fmt) {
  IntlSettings intl;
  const bool digits_only = !int_prefix.empty() && int_prefix.size() <= 4 &&
                           std::all_of(int_prefix.begin(), int_prefix.end(),
                                       [](char c) { return c >= '0' && c <= '9'; });
  if (digits_only) {
    int code = 0;
    for (const char c : int_prefix) code = code * 10 + (c - '0');
    if (code != 0) intl.country_code = code;
  }
  intl.short_date = DateOrderFromStrftime(d_fmt);
  intl.long_date = LongDateOrderFor(intl.short_date);
  return intl;
}

IntlSettings IntlSettingsForLocales(const LocaleNames& names) {
  const std::optional<std::string> prefix =
      LocaleItem(LC_TELEPHONE_MASK, names.telephone, _NL_TELEPHONE_INT_PREFIX);
  std::optional<std::string> d_fmt = LocaleItem(LC_TIME_MASK, names.time, D_FMT);
  if (!d_fmt) d_fmt = LocaleItem(LC_TIME_MASK, "C", D_FMT);
  return IntlSettingsFromLocaleData(prefix.value_or(""), d_fmt.value_or(""));
}

UserProfile UserProfile::FromEnvironment() {
  return UserProfile(IntlSettingsForLocales(LocaleNamesFromEnvironment()));
}

int UserProfile::GetProfileInt(std::string_view section, std::string_view key,
                               int default_value) const {
  if (EqualNoCase(section, kIntl) && EqualNoCase(key, "iCountry") && intl_.country_code) {
    return *intl_.country_code;
  }
  return default_value;
}

std::string UserProfile::GetProfileString(std::string_view section, std::string_view key,
                                          std::string_view default_value) const {
  if (EqualNoCase(section, kIntl)) {
    if (EqualNoCase(key, "sShortDate") && !intl_.short_date.empty()) return intl_.short_date;
    if (EqualNoCase(key, "sLongDate") && !intl_.long_date.empty()) return intl_.long_date;
    if (EqualNoCase(key, "iCountry") && intl_.country_code) {
      return std::to_string(*intl_.country_code);
    }
  }
  return std::string(default_value);
}

int UserProfile::CountryCode() const {
  return GetProfileInt(kIntl, "iCountry", kDefaultCountryCode);
}

}  // namespace norix::platform::profile
