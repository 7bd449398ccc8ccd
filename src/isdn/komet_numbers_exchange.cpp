#include "isdn/komet_numbers_exchange.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "device/msn_exchange.h"
#include "platform/ascii/ascii_text.h"

namespace norix::isdn {

namespace {

constexpr unsigned kMaxAttribute = 255;

bool IsPrefixSymbol(char c) { return c == '#' || c == '*'; }

std::string Stem(std::string_view kind, std::size_t slot) {
  return "AT&Z" + std::string(kind) + std::to_string(slot);
}

}  // namespace

std::string KometMsnStem(std::size_t slot) { return Stem("*", slot); }
std::string KometAttributeStem(std::size_t slot) { return Stem("*P", slot); }
std::string LocalNumberStem(std::size_t slot) { return Stem("#", slot); }
std::string LocalAttributeStem(std::size_t slot) { return Stem("#P", slot); }

std::optional<std::uint8_t> ParseAttributeReply(link::AtResult result, std::string_view reply) {
  if (result != link::AtResult::Ok) {
    return std::nullopt;
  }
  const std::string_view text = device::ReplyLineText(reply);
  if (text.empty() || text.size() > 3 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return platform::ascii::IsDigit(c); })) {
    return std::nullopt;
  }
  unsigned value = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  if (parsed.ec != std::errc{} || value > kMaxAttribute) {
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(value);
}

std::optional<std::uint8_t> ReadAttribute(platform::comm::Port* port, std::string_view stem) {
  std::string reply;
  const link::AtResult result = device::SendSettingCommand(port, std::string(stem) + "?", reply);
  return ParseAttributeReply(result, reply);
}

std::string AttributeCommand(std::string_view stem, std::uint8_t value) {
  return std::string(stem) + "=" + std::to_string(value);
}

LocalPrefix ParseLocalPrefixReply(link::AtResult result, std::string_view reply) {
  LocalPrefix prefix;
  if (result != link::AtResult::Ok) {
    return prefix;
  }
  std::string text(device::ReplyLineText(reply));
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) {
    if (!text.empty() && IsPrefixSymbol(text.front())) {
      prefix = {LocalMode::kTwoDigits, text.front(), text.front()};
    }
    return prefix;
  }
  // "#,*" and "# , *" alike: the two characters around the comma, blanks
  // left out.
  std::replace(text.begin(), text.end(), ',', ' ');
  std::erase(text, ' ');
  if (text.size() == 2 && IsPrefixSymbol(text[0]) && IsPrefixSymbol(text[1])) {
    prefix = {LocalMode::kOneDigit, text[0], text[1]};
  }
  return prefix;
}

LocalPrefix ReadLocalPrefix(platform::comm::Port* port) {
  std::string reply;
  const link::AtResult result = device::SendSettingCommand(port, "AT&Z#L?", reply);
  return ParseLocalPrefixReply(result, reply);
}

std::string LocalPrefixCommand(const LocalPrefix& prefix) {
  std::string command = "AT&Z#L=";
  command += prefix.first;
  if (prefix.mode == LocalMode::kOneDigit) {
    command += ',';
    command += prefix.second;
  }
  return command;
}

std::string PrefixPartnerCommand(const LocalPrefix& prefix) {
  const char last = prefix.mode == LocalMode::kOneDigit ? prefix.second : prefix.first;
  return std::string("AT*S10=,") + (last == '*' ? '#' : '*');
}

}  // namespace norix::isdn
