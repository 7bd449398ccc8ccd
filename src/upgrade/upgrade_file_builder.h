// Making complete upgrade files of each product family, with the checksums
// their layout expects. Used by the norix-lfu tool, the simulator and tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "upgrade/upgrade_file_writer.h"

namespace norix::upgrade {

enum class UpgradeFamily : std::uint8_t { Modem, KometII, Solano };

struct UpgradeFileRecipe {
  UpgradeFamily family = UpgradeFamily::Modem;
  std::string name;     // Name; empty fits every product
  std::string version;  // Version, M.mm; required
  // ModemChecksum; empty: the firmware's checksum text.
  std::string modemChecksum;
  // ModemChecksum2 of modem files above 800000 bytes; empty: the checksum
  // text of firmware2 (of firmware when there is no firmware2).
  std::string modemChecksum2;
  std::vector<std::uint8_t> loader;     // modem: the flash loader, "[FileOne]"
  std::vector<std::uint8_t> firmware;   // modem: "[FileTwo]"; KOMET II, solano: "[FileOne]"
  std::vector<std::uint8_t> firmware2;  // modem: large flash firmware, "[FileThree]"
  std::vector<std::uint8_t> bootCode;   // KOMET II: "[FileTwo]", optional
};

// Modem files: FileChecksum covers the firmware; files above 800000 bytes also
// get FileChecksum2 over firmware2 (or the firmware without one). A modem file
// with firmware2 must come out above 800000 bytes, or "[FileThree]" would never
// be read. Sections a family does not have must be empty.
[[nodiscard]] FileWriteResult BuildUpgradeFile(const UpgradeFileRecipe& recipe);

// `count` bytes from a Mersenne twister seeded with `seed`: the same on every
// platform and run.
[[nodiscard]] std::vector<std::uint8_t> SeededBytes(std::uint32_t seed, std::size_t count);

// A KOMET II boot code section of `size` bytes (at least 12): "NORIX BOOT",
// the version as 16-bit little-endian number, then seeded bytes.
[[nodiscard]] std::vector<std::uint8_t> MakeBootCode(std::uint16_t version, std::size_t size,
                                                     std::uint32_t seed);

[[nodiscard]] std::string_view FamilyName(UpgradeFamily family);

// Sections that the simulated products can check (sim/flash_image.h reads
// them with code of its own): a flash loader that carries its length, CRC-32
// and the way it takes the firmware, and firmware that carries its length,
// the hardware it is for and the identification "ATI3" answers once it runs.
enum class LoaderMode : std::uint8_t { RawStar, RawDigit, Xmodem };

inline constexpr std::size_t kFlashLoaderMinSize = 18;

// A flash loader of `size` bytes (at least kFlashLoaderMinSize; smaller
// sizes give an empty section) with seeded code.
[[nodiscard]] std::vector<std::uint8_t> MakeFlashLoader(LoaderMode mode, std::size_t size,
                                                        std::uint32_t seed);

enum class FirmwareTarget : std::uint8_t {
  ModemNormalFlash = 'N',
  ModemLargeFlash = 'L',
  Solano = 'S',
  KometII = 'K',
};

inline constexpr std::size_t kMaxIdentificationLength = 200;

// The smallest firmware that holds this identification.
[[nodiscard]] std::size_t FirmwareMinSize(std::string_view identification);

// Firmware of `size` bytes with seeded code. Empty when the identification is
// empty, longer than kMaxIdentificationLength or not printable ASCII, or
// when `size` is below FirmwareMinSize.
[[nodiscard]] std::vector<std::uint8_t> MakeFirmware(FirmwareTarget target,
                                                     std::string_view identification,
                                                     std::size_t size, std::uint32_t seed);

}  // namespace norix::upgrade
