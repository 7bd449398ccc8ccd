#include "upgrade/upgrade_file_writer.h"

#include <set>

#include "upgrade/section_search.h"

namespace norix::upgrade {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void Append(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

bool IsSectionHeader(std::string_view header) {
  return header == kFileOne || header == kFileTwo || header == kFileThree;
}

FileWriteResult Fail(std::string error) {
  FileWriteResult result;
  result.error = std::move(error);
  return result;
}

}  // namespace

FileWriteResult WriteUpgradeFile(const UpgradeHeader& header,
                                 const std::vector<DataSection>& sections) {
  const HeaderWriteResult text = WriteUpgradeHeader(header);
  if (!text.ok()) {
    return Fail(text.error);
  }
  std::set<std::string_view> seen;
  std::size_t total = text.text.size();
  for (const auto& section : sections) {
    if (!IsSectionHeader(section.header)) {
      return Fail("unknown section header \"" + std::string(section.header) + "\"");
    }
    if (!seen.insert(section.header).second) {
      return Fail("section " + std::string(section.header) + " appears twice");
    }
    if (FirstSectionHeaderOffset(AsText(section.data)) != section.data.size()) {
      return Fail("the data of " + std::string(section.header) + " holds a section header text");
    }
    total += kLineEnd.size() + section.header.size() + kLineEnd.size() + section.data.size();
  }

  FileWriteResult result;
  result.bytes.reserve(total);
  Append(result.bytes, text.text);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (i > 0) {
      Append(result.bytes, kLineEnd);
    }
    Append(result.bytes, sections[i].header);
    Append(result.bytes, kLineEnd);
    result.bytes.insert(result.bytes.end(), sections[i].data.begin(), sections[i].data.end());
  }
  return result;
}

}  // namespace norix::upgrade
