#include "upgrade/default_file_name.h"

#include <array>
#include <utility>

#include "platform/ascii/ascii_text.h"

namespace norix::upgrade {
namespace {

// Taken in this order; the first key found in the name decides.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kFamilies{{
    {"usb", "B"},
    {"corvid", "C"},
    {"solano", "S"},
    {"komet ii", "KMT2"},
    {"marlin", "M"},
    {"v int", "H"},
    {"netrunner", "N"},
}};

constexpr std::array<std::string_view, 4> kClasses{"336", "560", "1280", "komet ii"};

}  // namespace

std::optional<std::string> BuildDefaultFileName(std::string_view identificationText,
                                                bool isdnTarget) {
  std::string_view family;
  for (const auto& [key, code] : kFamilies) {
    if (platform::ascii::ContainsNoCase(identificationText, key)) {
      family = code;
      break;
    }
  }
  if (family.empty()) {
    return std::nullopt;
  }
  for (const auto speedClass : kClasses) {
    if (!platform::ascii::ContainsNoCase(identificationText, speedClass)) {
      continue;
    }
    if (speedClass == "1280") {
      return std::string(isdnTarget ? "1280" : "S336") + std::string(kFileNameTail);
    }
    if (speedClass == "komet ii") {
      return std::string(family) + std::string(kFileNameTail);
    }
    return std::string(family) + std::string(speedClass) + std::string(kFileNameTail);
  }
  return std::nullopt;
}

}  // namespace norix::upgrade
