// The text header of an upgrade file: section "Product" of a profile-style
// text in front of the data sections, for example
//
//   [Product]
//   Name=NORIX corvid 560 Voice
//   Version=1.40
//   ModemChecksum=3A7F
//   FileChecksum=1C02
//   [FileOne]
//   <flash loader bytes> ...
//
// Reading, parsing and writing are kept apart: ProfileTokenizer splits the
// text, ParseUpgradeHeader picks the keys, WriteUpgradeHeader produces text
// that parses back to the same record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace norix::upgrade {

// Longest value kept for each key (the reader's buffer size less one).
inline constexpr std::size_t kNameCapacity = 511;
inline constexpr std::size_t kVersionCapacity = 127;
inline constexpr std::size_t kModemChecksumCapacity = 7;
inline constexpr std::size_t kFileChecksumCapacity = 127;

inline constexpr std::string_view kProductSection = "Product";

struct UpgradeHeader {
  std::string name;            // "Name": product name prefix the file is made for
  std::string version;         // "Version": M.mm
  std::string modemChecksum;   // "ModemChecksum": what "ATI1" must begin with afterwards
  std::string modemChecksum2;  // "ModemChecksum2": the same for large flash modems
  std::string fileChecksum;    // "FileChecksum": "%04X" checksum of the firmware section
  std::string fileChecksum2;   // "FileChecksum2": the same for the large flash firmware

  friend bool operator==(const UpgradeHeader&, const UpgradeHeader&) = default;
};

// Reads the keys of the first "Product" section; section and key names are
// case-insensitive, the first occurrence of a key counts, a missing key is
// empty, values are cut at a NUL byte and to their capacity. Only the text in
// front of the first data section header is read, so binary section data is
// never taken for profile lines. Never fails: garbage gives empty keys.
[[nodiscard]] UpgradeHeader ParseUpgradeHeader(std::span<const std::uint8_t> image);
[[nodiscard]] UpgradeHeader ParseUpgradeHeaderText(std::string_view text);

struct HeaderWriteResult {
  std::string text;   // "[Product]\r\n" and one "Key=value\r\n" per non-empty key
  std::string error;  // why the header cannot be written; text is empty then

  [[nodiscard]] bool ok() const { return error.empty(); }
};

// Refuses values that would not read back as they are: longer than their
// capacity, holding CR, LF or NUL, with blanks or enclosing quotes at the
// ends, or holding a data section header text.
[[nodiscard]] HeaderWriteResult WriteUpgradeHeader(const UpgradeHeader& header);

}  // namespace norix::upgrade
