// One upgrade file in memory and the sections cut from it. The upgrade flow
// owns one per run: file selection sets path, version number and modem
// checksum text; loading sets the bytes; cutting sets the sections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norix::upgrade {

// Zero bytes kept after the file's contents: the raw firmware transfer sends
// its last chunk with the 8 bytes that follow it, which for a section running
// to the file's last byte lie past the contents.
inline constexpr std::size_t kImageSpareBytes = 10;

// Boot code of a KOMET II file: this text, then the boot code version as an
// unsigned 16-bit little-endian number.
inline constexpr std::string_view kBootCodeMark = "NORIX BOOT";

struct UpgradeImage {
  std::string path;                 // full path of the chosen file
  std::vector<std::uint8_t> bytes;  // the file, then kImageSpareBytes zero bytes
  std::size_t size = 0;             // file size in bytes

  // Flash loader (modem layout) or boot code (KOMET II layout); end exclusive.
  // Both 0 when the file has no such section.
  std::size_t loaderStart = 0;
  std::size_t loaderEnd = 0;
  // Firmware section. In the modem layout firmwareEnd is the section's last
  // byte (firmwareEndInclusive set); in the other layouts it is one past it.
  std::size_t firmwareStart = 0;
  std::size_t firmwareEnd = 0;
  bool firmwareEndInclusive = false;

  bool largeFlash = false;    // the modem has the large flash part
  std::string fileChecksum;   // FileChecksum or FileChecksum2, whichever the layout took
  std::string modemChecksum;  // ModemChecksum or ModemChecksum2
  int fileVersionNumber = 0;  // M * 100 + mm from Version
};

// An image holding `contents` followed by the spare zero bytes.
[[nodiscard]] UpgradeImage MakeUpgradeImage(std::span<const std::uint8_t> contents,
                                            std::string path = {});

// The file's bytes, without the spare ones.
[[nodiscard]] std::span<const std::uint8_t> Contents(const UpgradeImage& image);

// The cut sections as byte ranges of the contents; empty when the fields do
// not describe a range inside the contents.
[[nodiscard]] std::span<const std::uint8_t> LoaderSection(const UpgradeImage& image);
[[nodiscard]] std::span<const std::uint8_t> FirmwareSection(const UpgradeImage& image);

// Byte count of the firmware section, whatever the layout's end convention.
[[nodiscard]] std::size_t FirmwareLength(const UpgradeImage& image);

// The version a KOMET II boot code section (at loaderStart) carries after
// kBootCodeMark; none when the section is missing, too short or lacks the mark.
[[nodiscard]] std::optional<std::uint16_t> BootCodeVersion(std::span<const std::uint8_t> bootCode);

}  // namespace norix::upgrade
