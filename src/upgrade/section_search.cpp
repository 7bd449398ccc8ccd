#include "upgrade/section_search.h"

#include <algorithm>

#include "platform/ascii/ascii_text.h"

namespace norix::upgrade {

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  // Viewing bytes as char is allowed aliasing.
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::optional<std::size_t> FindSectionData(std::span<const std::uint8_t> image,
                                           std::string_view header, std::size_t from) {
  const auto text = AsText(image);
  const auto found = platform::ascii::FindNoCase(text, header, from);
  if (!found) {
    return std::nullopt;
  }
  const std::size_t lineFeedFrom = *found + header.size() + 1;
  if (lineFeedFrom >= text.size()) {
    return std::nullopt;
  }
  const auto lineFeed = text.find('\n', lineFeedFrom);
  if (lineFeed == std::string_view::npos) {
    return std::nullopt;
  }
  return lineFeed + 1;
}

std::size_t FirstSectionHeaderOffset(std::string_view image) {
  std::size_t first = image.size();
  for (const auto header : {kFileOne, kFileTwo, kFileThree}) {
    if (const auto found = platform::ascii::FindNoCase(image.substr(0, first), header)) {
      first = std::min(first, *found);
    }
  }
  return first;
}

}  // namespace norix::upgrade
