#include "utilities/product_info_date.h"

#include <charconv>
#include <cstdint>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "platform/profile/date_order.h"
#include "utilities/product_info_record.h"

namespace norix::utilities {

namespace {

constexpr std::uint32_t kDateQueryReadConstant = 6000;
constexpr std::size_t kDateOrderChars = 19;
constexpr int kMonthCount = 12;

using platform::ascii::IsDigit;
using platform::ascii::ToLower;

// The decimal number a word starts with; none when it starts with no digit.
std::optional<long> LeadingDecimal(std::string_view word) {
  long value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc{} || end == word.data()) {
    return std::nullopt;
  }
  return value;
}

// The next blank-separated word from `pos` on (up to a blank or the line end).
std::string_view NextWord(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != ' ' && text[pos] != '\r' && text[pos] != '\n') {
    ++pos;
  }
  const std::string_view word = text.substr(start, pos - start);
  if (pos < text.size() && text[pos] == ' ') {
    ++pos;
  }
  return word;
}

}  // namespace

std::string_view FirmwareDateQuery(const device::AdapterFeatures& features, bool gciSupport) {
  if (features.isdnAdapter && !features.komet) {
    return "AT?DATE";
  }
  return gciSupport ? "AT+GMR?" : "AT#REV?";
}

// Example answer: "Firmware date: March 12 1999\r\n".
std::optional<FirmwareDate> ParseAdapterDateAnswer(std::string_view answer) {
  const std::size_t colon = answer.find(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  std::size_t pos = colon + 2;  // the colon and the blank after it
  if (pos > answer.size()) {
    return std::nullopt;
  }
  const std::string_view month = NextWord(answer, pos);
  const auto day = LeadingDecimal(NextWord(answer, pos));
  const auto year = LeadingDecimal(NextWord(answer, pos));
  if (month.empty() || !day || !year) {
    return std::nullopt;
  }
  return FirmwareDate{std::string(month.substr(0, 3)), *day, *year};
}

// Example answer: "V1.10 990312\r\n" (version, blank, YYMMDD).
std::optional<FirmwareDate> ParseRevisionDateAnswer(std::string_view answer,
                                                    std::span<const std::string> monthNames) {
  const std::size_t lastDigit = answer.find_last_of("0123456789");
  if (lastDigit == std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t blank = answer.rfind(' ', lastDigit);
  if (blank == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view word = answer.substr(blank + 1, lastDigit - blank);
  if (word.size() < 6 || !IsDigit(word[0]) || !IsDigit(word[1]) || !IsDigit(word[2]) ||
      !IsDigit(word[3]) || !IsDigit(word[4])) {
    return std::nullopt;
  }
  const long yy = (word[0] - '0') * 10L + (word[1] - '0');
  const long month = (word[2] - '0') * 10L + (word[3] - '0');
  const auto day = LeadingDecimal(word.substr(4));
  const int index = (month >= 1 && month <= kMonthCount) ? static_cast<int>(month) : 0;
  const std::string name = static_cast<std::size_t>(index) < monthNames.size()
                               ? monthNames[static_cast<std::size_t>(index)]
                               : "";
  // Index 0 is "Illegal Month" (whatever a language catalogue calls it).
  if (index == 0 || name.find("Illegal") != std::string::npos || !day) {
    return std::nullopt;
  }
  const long year = (word[0] == '9' ? 1900 : 2000) + yy;
  return FirmwareDate{name, *day, year};
}

std::string UserDateOrder(const platform::profile::UserProfile& profile) {
  std::string order = profile.GetProfileString("Intl", "sShortDate", "");
  if (order.size() > kDateOrderChars) {
    order.resize(kDateOrderChars);
  }
  if (order.empty()) {
    order = profile.GetProfileString("Intl", "sLongDate", "");
  }
  return order;
}

std::string FormatFirmwareDate(std::string_view order, const FirmwareDate& date) {
  const auto hasField = [](std::string_view text) {
    for (const char c : text) {
      const char lower = ToLower(c);
      if (lower == 'd' || lower == 'm' || lower == 'y') {
        return true;
      }
    }
    return false;
  };
  if (!hasField(order)) {
    order = platform::profile::kDefaultShortDate;
  }
  std::string text;
  std::size_t pos = 0;
  while (pos < order.size()) {
    const char letter = ToLower(order[pos]);
    std::string value;
    if (letter == 'd') {
      value = std::to_string(date.day);
    } else if (letter == 'm') {
      value = date.month;
    } else if (letter == 'y') {
      value = std::to_string(date.year);
    } else {
      ++pos;
      continue;
    }
    text += pos == 0 ? value + " " : " " + value + " ";
    while (pos < order.size() && ToLower(order[pos]) == letter) {
      ++pos;
    }
    ++pos;  // the separator
  }
  return text;
}

std::string ReadFirmwareDate(platform::comm::Port* port, const device::AdapterFeatures& features,
                             bool gciSupport, std::span<const std::string> monthNames,
                             const platform::profile::UserProfile& profile) {
  const std::string_view query = FirmwareDateQuery(features, gciSupport);
  const std::uint32_t previous = link::SetReadTimeout(port, kDateQueryReadConstant);
  std::string answer;
  // The result code is not examined: whatever line came is parsed.
  static_cast<void>(link::SendAtCommand(port, query, answer));
  link::SetReadTimeout(port, previous);

  const std::optional<FirmwareDate> date = query == "AT?DATE"
                                               ? ParseAdapterDateAnswer(answer)
                                               : ParseRevisionDateAnswer(answer, monthNames);
  if (!date) {
    return std::string(kNoFirmwareDate);
  }
  std::string text = FormatFirmwareDate(UserDateOrder(profile), *date);
  if (text.size() > kFirmwareDateChars) {
    text.resize(kFirmwareDateChars);
  }
  return text;
}

}  // namespace norix::utilities
