// Finding the data sections of an upgrade file. A section starts with a line
// holding its header text ("[FileOne]" ...) and ending in CR LF; its data
// starts after that line feed and may hold any byte values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace norix::upgrade {

inline constexpr std::string_view kFileOne = "[FileOne]";
inline constexpr std::string_view kFileTwo = "[FileTwo]";
inline constexpr std::string_view kFileThree = "[FileThree]";

// The bytes of an image seen as text (no copy).
[[nodiscard]] std::string_view AsText(std::span<const std::uint8_t> bytes);

// Data start of the section `header`: the first case-insensitive occurrence of
// the header text at or after `from`, then the first line feed at or after one
// byte past the header text (that byte is taken to be the CR). The data starts
// after that line feed. None when the header text or the line feed is missing.
// A header line ending in a bare LF therefore has its data one line later.
[[nodiscard]] std::optional<std::size_t> FindSectionData(std::span<const std::uint8_t> image,
                                                         std::string_view header, std::size_t from);

// Offset of the first data section header text of any of the three kinds, or
// the image size when there is none: everything before it is the text header.
[[nodiscard]] std::size_t FirstSectionHeaderOffset(std::string_view image);

}  // namespace norix::upgrade
