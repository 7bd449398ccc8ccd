#include "platform/telephony/line_device.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace norix::platform::telephony {

namespace {

constexpr std::size_t kMaxTextLength = 4096;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<DWORD> ParseNumber(std::string_view text) {
  DWORD value = 0;
  const char* const end = text.data() + text.size();
  const auto [next, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc{} || next != end || value > 0xFFFF) {
    return std::nullopt;
  }
  return value;
}

std::optional<DWORD> ParseVersion(std::string_view text) {
  text = Trim(text);
  const auto dot = text.find('.');
  if (dot == std::string_view::npos) {
    return std::nullopt;
  }
  const auto major = ParseNumber(text.substr(0, dot));
  const auto minor = ParseNumber(text.substr(dot + 1));
  if (!major || !minor) {
    return std::nullopt;
  }
  return (*major << 16U) | *minor;
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

std::optional<ApiRange> ParseApiRange(std::string_view text) {
  const auto dash = text.find('-');
  if (dash == std::string_view::npos) {
    const auto version = ParseVersion(text);
    if (!version) {
      return std::nullopt;
    }
    return ApiRange{*version, *version};
  }
  const auto low = ParseVersion(text.substr(0, dash));
  const auto high = ParseVersion(text.substr(dash + 1));
  if (!low || !high || *low > *high) {
    return std::nullopt;
  }
  return ApiRange{*low, *high};
}

std::string ApiVersionText(DWORD version) {
  return std::to_string(version >> 16U) + "." + std::to_string(version & 0xFFFFU);
}

std::string CheckLineDevice(const LineDevice& device) {
  if (device.name.empty()) {
    return "the line device has no name";
  }
  if (device.name.size() > kMaxTextLength) {
    return "the name is longer than " + std::to_string(kMaxTextLength) + " characters";
  }
  if (HasControlCharacter(device.name)) {
    return "the name contains a control character";
  }
  if (device.port.empty() || device.port.front() != '/') {
    return "the port must be an absolute path such as /dev/ttyUSB0";
  }
  if (HasControlCharacter(device.port)) {
    return "the port path contains a control character";
  }
  if (device.driverKey &&
      (device.driverKey->size() > kMaxTextLength || HasControlCharacter(*device.driverKey))) {
    return "the driver key is longer than " + std::to_string(kMaxTextLength) +
           " characters or contains a control character";
  }
  if (device.apiLow > device.apiHigh) {
    return "the lowest API version is above the highest";
  }
  return {};
}

std::string ResolvePortPath(const std::string& port) {
  std::error_code error;
  const auto resolved = std::filesystem::canonical(port, error);
  return error ? port : resolved.string();
}

}  // namespace norix::platform::telephony
