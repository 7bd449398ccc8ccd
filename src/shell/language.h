#pragma once

// The language of the user texts: a country code chosen from the command
// line's language token or, without one, from the user's profile.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile/user_profile.h"

namespace norix::shell {

struct LanguageToken {
  std::string_view token;
  int country_code;
};

// Looked up in this order.
inline constexpr std::array<LanguageToken, 6> LanguageTokenTable{{
    {"dk", 45},
    {"n", 47},
    {"s", 46},
    {"d", 49},
    {"f", 33},
    {"uk", 44},
}};

// The country code of the token that equals the whole command line, compared
// without regard to case; nullopt when none does. The token must stand
// alone: "UK" matches, "uk x" and "/uk" do not.
[[nodiscard]] std::optional<int> CountryCodeFromCommandLine(std::string_view command_line);

// The country code of the run: the command line's token, else the profile's
// "iCountry" of section "Intl", else 44.
[[nodiscard]] int ChooseCountryCode(std::string_view command_line,
                                    const platform::profile::UserProfile& profile);

// The command line of this program: its arguments after the program name,
// joined by single blanks ("" without arguments).
[[nodiscard]] std::string CommandLineFromArguments(int argc, const char* const* argv);

}  // namespace norix::shell
