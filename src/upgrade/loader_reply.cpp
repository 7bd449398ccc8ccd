#include "upgrade/loader_reply.h"

#include <array>
#include <utility>

#include "platform/ascii/ascii_text.h"

namespace norix::upgrade {
namespace {

constexpr std::array<std::pair<std::string_view, int>, 12> kKeys{{
    {"Download initiated", kLoaderDownloadInitiated},
    {"Download flash code", kLoaderRawFirmware},
    {"UpLoader (XModem)", kLoaderXmodemReady},
    {"Upload flash code ..", kLoaderXmodemFirmware},
    {"Wrong device", kLoaderWrongDevice},
    {"Wrong S37 file", kLoaderWrongFile},
    {"Device successfully programmed", kLoaderProgrammed},
    {"Upload successfully completed", kLoaderProgrammed},
    {"Loader", kLoaderName},
    {"Code not match hardware", kLoaderHardwareMismatch},
    {"ERROR", kLoaderError},
    {"Record error", kLoaderWrongFile},  // never reached: "ERROR" is found first
}};

}  // namespace

int LoaderReply(std::string_view line, std::size_t skip) {
  for (const auto& [key, code] : kKeys) {
    if (platform::ascii::ContainsNoCase(line, key.substr(skip < key.size() ? skip : key.size()))) {
      return code;
    }
  }
  return kLoaderUnknown;
}

}  // namespace norix::upgrade
