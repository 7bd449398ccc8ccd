#include "upgrade/upgrade_header.h"

#include <array>
#include <optional>

#include "platform/ascii/ascii_text.h"
#include "upgrade/profile_tokenizer.h"
#include "upgrade/section_search.h"

namespace norix::upgrade {
namespace {

struct KeySlot {
  std::string_view key;
  std::string UpgradeHeader::*field;
  std::size_t capacity;
};

constexpr std::array<KeySlot, 6> kKeys{{
    {"Name", &UpgradeHeader::name, kNameCapacity},
    {"Version", &UpgradeHeader::version, kVersionCapacity},
    {"ModemChecksum", &UpgradeHeader::modemChecksum, kModemChecksumCapacity},
    {"ModemChecksum2", &UpgradeHeader::modemChecksum2, kModemChecksumCapacity},
    {"FileChecksum", &UpgradeHeader::fileChecksum, kFileChecksumCapacity},
    {"FileChecksum2", &UpgradeHeader::fileChecksum2, kFileChecksumCapacity},
}};

std::string CutValue(std::string_view value, std::size_t capacity) {
  value = value.substr(0, value.find('\0'));
  return std::string(value.substr(0, capacity));
}

std::optional<std::string> ValueProblem(std::string_view key, std::string_view value,
                                        std::size_t capacity) {
  const std::string what = std::string(key) + " ";
  if (value.size() > capacity) {
    return what + "is longer than " + std::to_string(capacity) + " characters";
  }
  if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    return what + "holds a line break or NUL character";
  }
  if (value.empty()) {
    return std::nullopt;
  }
  constexpr std::string_view kBlanks = " \t\r\f\v";
  if (kBlanks.find(value.front()) != std::string_view::npos ||
      kBlanks.find(value.back()) != std::string_view::npos) {
    return what + "begins or ends with a blank";
  }
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return what + "is enclosed in quotes";
  }
  if (FirstSectionHeaderOffset(value) != value.size()) {
    return what + "holds a data section header";
  }
  return std::nullopt;
}

}  // namespace

UpgradeHeader ParseUpgradeHeaderText(std::string_view text) {
  UpgradeHeader header;
  std::array<bool, kKeys.size()> seen{};
  bool inProduct = false;
  ProfileTokenizer tokenizer(text.substr(0, FirstSectionHeaderOffset(text)));
  while (const auto line = tokenizer.Next()) {
    if (line->kind == ProfileLine::Kind::Section) {
      if (inProduct) {
        break;  // only the first "Product" section counts
      }
      inProduct = platform::ascii::EqualNoCase(line->name, kProductSection);
      continue;
    }
    if (!inProduct) {
      continue;
    }
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      if (!seen[i] && platform::ascii::EqualNoCase(line->name, kKeys[i].key)) {
        seen[i] = true;
        header.*kKeys[i].field = CutValue(line->value, kKeys[i].capacity);
      }
    }
  }
  return header;
}

UpgradeHeader ParseUpgradeHeader(std::span<const std::uint8_t> image) {
  return ParseUpgradeHeaderText(AsText(image));
}

HeaderWriteResult WriteUpgradeHeader(const UpgradeHeader& header) {
  HeaderWriteResult result;
  std::string text = "[" + std::string(kProductSection) + "]\r\n";
  for (const auto& slot : kKeys) {
    const std::string& value = header.*slot.field;
    if (auto problem = ValueProblem(slot.key, value, slot.capacity)) {
      result.error = std::move(*problem);
      return result;
    }
    if (!value.empty()) {
      text += std::string(slot.key) + "=" + value + "\r\n";
    }
  }
  result.text = std::move(text);
  return result;
}

}  // namespace norix::upgrade
