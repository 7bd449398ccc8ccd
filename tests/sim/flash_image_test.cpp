// The products' reading of the sections `norix-lfu make` writes, against
// the program's builder: two implementations that must agree byte for byte.
#include "sim/flash_image.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "upgrade/image_checksum.h"
#include "upgrade/upgrade_file_builder.h"

namespace norix::sim {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(FlashImage, KnownChecksums) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* checksum;
  };
  // Signed bytes: 0xFF counts as -1.
  for (const Case& c : std::vector<Case>{{Bytes("abc"), "0126"},
                                         {{0xFF}, "FFFF"},
                                         {{}, "0000"},
                                         {{0x80, 0x80}, "FF00"},
                                         {{0x7F, 0x01, 0xFF}, "007F"}}) {
    EXPECT_EQ(FirmwareChecksum(c.bytes), c.checksum);
    EXPECT_EQ(upgrade::ChecksumText(c.bytes), c.checksum);
  }
  EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926U);
  EXPECT_EQ(Crc32({}), 0U);
}

TEST(FlashImage, LoadersCarryTheirModeAndShowEveryDamage) {
  using upgrade::LoaderMode;
  const std::vector<std::pair<LoaderMode, sim::LoaderMode>> modes = {
      {LoaderMode::RawStar, sim::LoaderMode::RawStar},
      {LoaderMode::RawDigit, sim::LoaderMode::RawDigit},
      {LoaderMode::Xmodem, sim::LoaderMode::Xmodem}};
  for (const auto& [made, read] : modes) {
    const auto loader = upgrade::MakeFlashLoader(made, 1500, 3);
    ASSERT_EQ(loader.size(), 1500U);
    EXPECT_EQ(LoaderLength(loader), 1500U);
    EXPECT_EQ(CheckLoader(loader), read);
    for (const std::size_t at : {0UL, 8UL, 11UL, 14UL, 700UL, 1496UL, 1499UL}) {
      auto damaged = loader;
      damaged[at] ^= 0x10U;
      EXPECT_FALSE(CheckLoader(damaged).has_value()) << "byte " << at;
    }
    EXPECT_FALSE(CheckLoader(std::span(loader).first(1499)).has_value());
  }
  EXPECT_TRUE(
      upgrade::MakeFlashLoader(LoaderMode::RawStar, upgrade::kFlashLoaderMinSize - 1, 1).empty());
  EXPECT_TRUE(
      CheckLoader(upgrade::MakeFlashLoader(LoaderMode::RawStar, upgrade::kFlashLoaderMinSize, 1))
          .has_value());
  EXPECT_FALSE(LoaderLength(upgrade::SeededBytes(1, 64)).has_value());
}

TEST(FlashImage, FirmwareHeaders) {
  using upgrade::FirmwareTarget;
  const std::string ident = "NORIX corvid 560 Voice V1.50";
  for (const FirmwareTarget target :
       {FirmwareTarget::ModemNormalFlash, FirmwareTarget::ModemLargeFlash, FirmwareTarget::Solano,
        FirmwareTarget::KometII}) {
    const auto firmware = upgrade::MakeFirmware(target, ident, 4000, 8);
    ASSERT_EQ(firmware.size(), 4000U);
    bool complete = false;
    const auto header = ReadFirmwareHeader(firmware, complete);
    ASSERT_TRUE(header.has_value());
    EXPECT_TRUE(complete);
    EXPECT_EQ(header->target, static_cast<char>(target));
    EXPECT_EQ(header->length, 4000U);
    EXPECT_EQ(header->identification, ident);
    // Until the identification is in, nothing is decided.
    EXPECT_FALSE(ReadFirmwareHeader(std::span(firmware).first(20), complete).has_value());
    EXPECT_FALSE(complete);
  }
  const auto smallest = upgrade::MakeFirmware(FirmwareTarget::Solano, "V", 15, 1);
  EXPECT_EQ(smallest.size(), upgrade::FirmwareMinSize("V"));
  EXPECT_TRUE(upgrade::MakeFirmware(FirmwareTarget::Solano, "V", 14, 1).empty());
  EXPECT_TRUE(upgrade::MakeFirmware(FirmwareTarget::Solano, "", 100, 1).empty());
  EXPECT_TRUE(upgrade::MakeFirmware(FirmwareTarget::Solano, "bad\x01", 100, 1).empty());

  // Other bytes are known to be no firmware as soon as the mark shows it.
  bool complete = false;
  EXPECT_FALSE(ReadFirmwareHeader(Bytes("NXF"), complete).has_value());
  EXPECT_FALSE(complete);
  EXPECT_FALSE(ReadFirmwareHeader(Bytes("NXG"), complete).has_value());
  EXPECT_TRUE(complete);
  auto lying = upgrade::MakeFirmware(FirmwareTarget::Solano, ident, 100, 1);
  lying[13] = 0x7F;  // a length beyond any firmware
  EXPECT_FALSE(ReadFirmwareHeader(lying, complete).has_value());
  EXPECT_TRUE(complete);
}

TEST(FlashImage, BootCodeAndVersionTexts) {
  EXPECT_EQ(BootCodeVersion(upgrade::MakeBootCode(0x0102, 40, 1)), 0x0102);
  EXPECT_EQ(BootCodeVersion(upgrade::MakeBootCode(0xFFFF, 12, 1)), 0xFFFF);
  EXPECT_FALSE(BootCodeVersion(Bytes("NORIX BOOT\x01")).has_value());
  EXPECT_FALSE(BootCodeVersion(Bytes("norix boot\x01\x02")).has_value());
  EXPECT_EQ(IdentificationVersion("NORIX corvid 560 Voice V1.50"), "V1.50");
  EXPECT_EQ(IdentificationVersion("NORIX"), "");
  EXPECT_EQ(IdentificationVersion(""), "");
  EXPECT_EQ(VersionNumber("NORIX KOMET II V2.05"), 205U);
  EXPECT_EQ(VersionNumber("NORIX KOMET II V10.7"), 1007U);
  EXPECT_EQ(VersionNumber("NORIX KOMET II V2"), 0U);
  EXPECT_EQ(VersionNumber("NORIX KOMET II"), 0U);
}

}  // namespace
}  // namespace norix::sim
