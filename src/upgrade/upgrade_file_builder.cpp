#include "upgrade/upgrade_file_builder.h"

#include <algorithm>
#include <random>
#include <span>

#include "upgrade/file_layout.h"
#include "upgrade/image_checksum.h"
#include "upgrade/section_search.h"
#include "upgrade/upgrade_image.h"

namespace norix::upgrade {
namespace {

constexpr std::string_view kLoaderMark = "NXLOADER";
constexpr std::string_view kFirmwareMark = "NXFIRMWR";
constexpr std::size_t kSectionHeaderSize = 14;
constexpr std::size_t kCrcSize = 4;

void AppendLittle32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (unsigned shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

void AppendSeeded(std::vector<std::uint8_t>& out, std::size_t count, std::uint32_t seed) {
  const auto code = SeededBytes(seed, count);
  out.insert(out.end(), code.begin(), code.end());
}

// CRC-32 of zip and Ethernet, table-less.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1U) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
  }
  return ~crc;
}

char ModeByte(LoaderMode mode) {
  switch (mode) {
    case LoaderMode::RawStar:
      return '*';
    case LoaderMode::RawDigit:
      return '1';
    case LoaderMode::Xmodem:
      return 'X';
  }
  return '*';
}

FileWriteResult Fail(std::string error) {
  FileWriteResult result;
  result.error = std::move(error);
  return result;
}

std::string OrChecksum(const std::string& given, const std::vector<std::uint8_t>& data) {
  return given.empty() ? ChecksumText(data) : given;
}

FileWriteResult BuildModem(const UpgradeFileRecipe& recipe, UpgradeHeader header) {
  if (recipe.loader.empty()) {
    return Fail("a modem file needs a flash loader");
  }
  if (!recipe.bootCode.empty()) {
    return Fail("a modem file has no boot code");
  }
  header.fileChecksum = ChecksumText(recipe.firmware);
  header.modemChecksum = OrChecksum(recipe.modemChecksum, recipe.firmware);

  std::vector<DataSection> sections{{kFileOne, recipe.loader}, {kFileTwo, recipe.firmware}};
  if (!recipe.firmware2.empty()) {
    sections.push_back({kFileThree, recipe.firmware2});
  }
  // The size decides whether the second keys are read; the checksum texts
  // have a fixed length, so a first pass with them in place gives the size.
  const auto& large = recipe.firmware2.empty() ? recipe.firmware : recipe.firmware2;
  UpgradeHeader big = header;
  big.fileChecksum2 = ChecksumText(large);
  big.modemChecksum2 = OrChecksum(recipe.modemChecksum2, large);
  FileWriteResult file = WriteUpgradeFile(big, sections);
  if (!file.ok()) {
    return file;
  }
  if (file.bytes.size() > kFileThreeThreshold) {
    return file;
  }
  if (!recipe.firmware2.empty()) {
    return Fail("a modem file with a second firmware must be larger than " +
                std::to_string(kFileThreeThreshold) + " bytes, or \"[FileThree]\" is never read;" +
                " this one has " + std::to_string(file.bytes.size()));
  }
  return WriteUpgradeFile(header, sections);
}

}  // namespace

FileWriteResult BuildUpgradeFile(const UpgradeFileRecipe& recipe) {
  if (recipe.version.empty()) {
    return Fail("the file needs a version");
  }
  if (recipe.firmware.empty()) {
    return Fail("the file needs firmware");
  }
  UpgradeHeader header;
  header.name = recipe.name;
  header.version = recipe.version;
  if (recipe.family == UpgradeFamily::Modem) {
    return BuildModem(recipe, header);
  }
  if (!recipe.loader.empty() || !recipe.firmware2.empty()) {
    return Fail(std::string("a ") + std::string(FamilyName(recipe.family)) +
                " file has no flash loader and no second firmware");
  }
  header.fileChecksum = ChecksumText(recipe.firmware);
  header.modemChecksum = OrChecksum(recipe.modemChecksum, recipe.firmware);
  std::vector<DataSection> sections{{kFileOne, recipe.firmware}};
  if (recipe.family == UpgradeFamily::KometII) {
    if (!recipe.bootCode.empty()) {
      sections.push_back({kFileTwo, recipe.bootCode});
    }
  } else if (!recipe.bootCode.empty()) {
    return Fail("a solano file has no boot code");
  }
  return WriteUpgradeFile(header, sections);
}

std::vector<std::uint8_t> SeededBytes(std::uint32_t seed, std::size_t count) {
  std::mt19937 engine(seed);
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; i += 4) {
    const auto word = static_cast<std::uint32_t>(engine());
    for (std::size_t j = 0; j < 4 && i + j < count; ++j) {
      bytes[i + j] = static_cast<std::uint8_t>(word >> (8 * j));
    }
  }
  return bytes;
}

std::vector<std::uint8_t> MakeBootCode(std::uint16_t version, std::size_t size,
                                       std::uint32_t seed) {
  const std::size_t headerSize = kBootCodeMark.size() + 2;
  std::vector<std::uint8_t> code(kBootCodeMark.begin(), kBootCodeMark.end());
  code.push_back(static_cast<std::uint8_t>(version & 0xFFU));
  code.push_back(static_cast<std::uint8_t>(version >> 8U));
  if (size > headerSize) {
    const auto rest = SeededBytes(seed, size - headerSize);
    code.insert(code.end(), rest.begin(), rest.end());
  }
  return code;
}

std::vector<std::uint8_t> MakeFlashLoader(LoaderMode mode, std::size_t size, std::uint32_t seed) {
  if (size < kFlashLoaderMinSize || size > 0xFFFFFFFFU) {
    return {};
  }
  std::vector<std::uint8_t> loader(kLoaderMark.begin(), kLoaderMark.end());
  loader.reserve(size);
  loader.push_back(static_cast<std::uint8_t>(ModeByte(mode)));
  loader.push_back(0);
  AppendLittle32(loader, static_cast<std::uint32_t>(size));
  AppendSeeded(loader, size - kSectionHeaderSize - kCrcSize, seed);
  AppendLittle32(loader, Crc32(loader));
  return loader;
}

std::size_t FirmwareMinSize(std::string_view identification) {
  return kSectionHeaderSize + identification.size();
}

std::vector<std::uint8_t> MakeFirmware(FirmwareTarget target, std::string_view identification,
                                       std::size_t size, std::uint32_t seed) {
  const bool printable = std::all_of(identification.begin(), identification.end(),
                                     [](char c) { return c >= 0x20 && c <= 0x7E; });
  if (identification.empty() || identification.size() > kMaxIdentificationLength || !printable ||
      size < FirmwareMinSize(identification) || size > 0xFFFFFFFFU) {
    return {};
  }
  std::vector<std::uint8_t> firmware(kFirmwareMark.begin(), kFirmwareMark.end());
  firmware.reserve(size);
  firmware.push_back(static_cast<std::uint8_t>(target));
  firmware.push_back(static_cast<std::uint8_t>(identification.size()));
  AppendLittle32(firmware, static_cast<std::uint32_t>(size));
  firmware.insert(firmware.end(), identification.begin(), identification.end());
  AppendSeeded(firmware, size - firmware.size(), seed);
  return firmware;
}

std::string_view FamilyName(UpgradeFamily family) {
  switch (family) {
    case UpgradeFamily::Modem:
      return "modem";
    case UpgradeFamily::KometII:
      return "KOMET II";
    case UpgradeFamily::Solano:
      return "solano";
  }
  return "unknown";
}

}  // namespace norix::upgrade
