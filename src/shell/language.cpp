#include "shell/language.h"

#include "platform/ascii/ascii_text.h"

namespace norix::shell {

std::optional<int> CountryCodeFromCommandLine(std::string_view command_line) {
  for (const LanguageToken& row : LanguageTokenTable) {
    if (platform::ascii::EqualNoCase(command_line, row.token)) return row.country_code;
  }
  return std::nullopt;
}

int ChooseCountryCode(std::string_view command_line,
                      const platform::profile::UserProfile& profile) {
  if (const auto code = CountryCodeFromCommandLine(command_line)) return *code;
  return profile.GetProfileInt("Intl", "iCountry", platform::profile::kDefaultCountryCode);
}

std::string CommandLineFromArguments(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    if (argv[i] == nullptr) break;
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace norix::shell
