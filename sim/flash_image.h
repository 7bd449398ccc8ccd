// What a simulated product finds in the images an upgrade sends it: the
// flash loader of an analogue modem, the firmware of every family and the
// KOMET II boot code, as `norix-lfu make` writes them. The products read them
// with this code of their own, apart from the program's file handling, so
// that a transfer that cuts or damages an image shows on the product.
//
// Flash loader ([FileOne] of a modem file), N bytes in all:
//   0   8   "NXLOADER"
//   8   1   how the loader takes the firmware: '*' raw chunks acknowledged
//           with "*", '1' raw chunks acknowledged with "1" or "2" and a
//           text line, 'X' X-modem
//   9   1   0
//   10  4   N, little-endian (at least 18)
//   14      the loader's code
//   N-4 4   CRC-32 of bytes 0 .. N-5, little-endian
//
// Firmware ([FileTwo] and [FileThree] of a modem file, [FileOne] of an ISDN
// adapter file), L bytes in all:
//   0   8   "NXFIRMWR"
//   8   1   the hardware it is for: 'N' modem with normal flash, 'L' modem
//           with the large flash part, 'S' solano adapter, 'K' KOMET II
//   9   1   length n of the identification (1 to 200)
//   10  4   L, little-endian
//   14  n   the identification the firmware answers "ATI3" with
//           ("NORIX corvid 560 Voice V1.50")
//   14+n    the firmware's code
// The product programs exactly L bytes, whatever follows them on the line
// (the 8 bytes after the last raw chunk, X-modem fill, the next section).
//
// KOMET II boot code: "NORIX BOOT", the version as 16-bit little-endian
// number, the code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norix::sim {

enum class LoaderMode : std::uint8_t { RawStar, RawDigit, Xmodem };

inline constexpr std::size_t kLoaderHeaderSize = 14;
inline constexpr std::size_t kFirmwareHeaderSize = 14;

// The loader's own length from its first kLoaderHeaderSize bytes; none when
// they are no loader header.
[[nodiscard]] std::optional<std::size_t> LoaderLength(std::span<const std::uint8_t> head);

// The mode of a whole loader whose CRC matches; none for a damaged one.
[[nodiscard]] std::optional<LoaderMode> CheckLoader(std::span<const std::uint8_t> loader);

enum class FirmwareTarget : std::uint8_t {
  ModemNormalFlash = 'N',
  ModemLargeFlash = 'L',
  Solano = 'S',
  KometII = 'K',
};

struct FirmwareHeader {
  char target = 0;  // as written; see FirmwareTarget
  std::size_t length = 0;
  std::string identification;
};

// Longest firmware a product takes; a header naming more is damaged.
inline constexpr std::size_t kMaxFirmwareLength = std::size_t{4} * 1024 * 1024;

// The header at the start of `head`: none when it is not complete yet or
// not a firmware header (wrong mark, a length shorter than the header or
// longer than kMaxFirmwareLength, an identification of another character
// than printable ASCII). `complete` tells the two apart.
[[nodiscard]] std::optional<FirmwareHeader> ReadFirmwareHeader(std::span<const std::uint8_t> head,
                                                               bool& complete);

// The version after "NORIX BOOT"; none when the code does not begin so.
[[nodiscard]] std::optional<std::uint16_t> BootCodeVersion(std::span<const std::uint8_t> code);

// The products' "ATI1" firmware checksum: the bytes as signed 8-bit values,
// summed modulo 65536, as four upper-case hexadecimal digits.
[[nodiscard]] std::string FirmwareChecksum(std::span<const std::uint8_t> bytes);

// CRC-32 as zip and Ethernet compute it (reflected 0x04C11DB7, start and
// final XOR 0xFFFFFFFF); "123456789" gives 0xCBF43926.
[[nodiscard]] std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// The version at the end of an identification: "V1.50" for "NORIX corvid
// 560 Voice V1.50"; empty when there is none.
[[nodiscard]] std::string_view IdentificationVersion(std::string_view identification);
// That version as a number, M x 100 + mm (V2.05 gives 205); 0 without one.
[[nodiscard]] std::uint32_t VersionNumber(std::string_view identification);

}  // namespace norix::sim
