#include "make_command.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

#include "command_line.h"
#include "file_io.h"
#include "show_command.h"
#include "upgrade/image_loader.h"
#include "upgrade/upgrade_file_builder.h"

namespace norix::tools::lfu {
namespace {

using upgrade::UpgradeFamily;

constexpr std::size_t kDefaultLoaderSize = 16384;
constexpr std::size_t kDefaultFirmwareSize = 300000;
constexpr std::size_t kDefaultBootSize = 4096;

// Seeds of the generated sections, offset from --seed so that they differ.
enum SeedOffset : std::uint32_t {
  kLoaderSeed = 0,
  kFirmwareSeed = 1,
  kFirmware2Seed = 2,
  kBootSeed = 3
};

class MakeError {
 public:
  explicit MakeError(std::string message) : message_(std::move(message)) {}
  [[nodiscard]] const std::string& message() const { return message_; }

 private:
  std::string message_;
};

std::optional<UpgradeFamily> ParseFamily(const std::string& text) {
  if (text == "modem") {
    return UpgradeFamily::Modem;
  }
  if (text == "komet") {
    return UpgradeFamily::KometII;
  }
  if (text == "solano") {
    return UpgradeFamily::Solano;
  }
  return std::nullopt;
}

std::size_t SizeOption(const ParsedArguments& parsed, const std::string& name) {
  const auto value = ParseCount(*parsed.Option(name), upgrade::kMaxImageSize);
  if (!value) {
    throw MakeError("--" + name + " needs a byte count up to " +
                    std::to_string(upgrade::kMaxImageSize));
  }
  return static_cast<std::size_t>(*value);
}

// How a generated section is made from its size and seed.
using SectionMaker = std::function<std::vector<std::uint8_t>(std::size_t size, std::uint32_t seed)>;

// Section data from --NAME FILE as it is, or made by `make` with --NAME-size
// bytes, or with `defaultSize` bytes (none when 0).
std::vector<std::uint8_t> SectionData(const ParsedArguments& parsed, const std::string& name,
                                      std::size_t defaultSize, std::uint32_t seed,
                                      const SectionMaker& make) {
  const std::string sizeName = name + "-size";
  if (parsed.Has(name) && parsed.Has(sizeName)) {
    throw MakeError("give either --" + name + " or --" + sizeName);
  }
  if (parsed.Has(name)) {
    std::string error;
    auto bytes = ReadWholeFile(*parsed.Option(name), upgrade::kMaxImageSize, error);
    if (!bytes) {
      throw MakeError("--" + name + ": " + error);
    }
    return std::move(*bytes);
  }
  const std::size_t size = parsed.Has(sizeName) ? SizeOption(parsed, sizeName) : defaultSize;
  return size == 0 ? std::vector<std::uint8_t>{} : make(size, seed);
}

std::optional<upgrade::LoaderMode> ParseLoaderMode(const std::string& text) {
  if (text == "star") {
    return upgrade::LoaderMode::RawStar;
  }
  if (text == "digit") {
    return upgrade::LoaderMode::RawDigit;
  }
  if (text == "xmodem") {
    return upgrade::LoaderMode::Xmodem;
  }
  return std::nullopt;
}

SectionMaker LoaderMaker(const ParsedArguments& parsed) {
  const auto mode = ParseLoaderMode(parsed.Option("loader-mode").value_or("star"));
  if (!mode) {
    throw MakeError("--loader-mode must be star, digit or xmodem");
  }
  return [mode = *mode](std::size_t size, std::uint32_t seed) {
    if (size < upgrade::kFlashLoaderMinSize) {
      throw MakeError("--loader-size must be at least " +
                      std::to_string(upgrade::kFlashLoaderMinSize));
    }
    return upgrade::MakeFlashLoader(mode, size, seed);
  };
}

// The identification the firmware answers "ATI3" with: --ident, or the
// name and version ("NORIX corvid 560 Voice V1.40"; "NORIX V1.40" without a
// name).
std::string Identification(const ParsedArguments& parsed) {
  if (parsed.Has("ident")) {
    return *parsed.Option("ident");
  }
  const std::string name = parsed.Option("name").value_or("");
  return (name.empty() ? std::string("NORIX") : name) + " V" +
         parsed.Option("version").value_or("");
}

SectionMaker FirmwareMaker(upgrade::FirmwareTarget target, const std::string& identification) {
  return [target, identification](std::size_t size, std::uint32_t seed) {
    if (identification.empty() || identification.size() > upgrade::kMaxIdentificationLength ||
        !std::all_of(identification.begin(), identification.end(),
                     [](char c) { return c >= 0x20 && c <= 0x7E; })) {
      throw MakeError("the identification (--ident) must be 1 to " +
                      std::to_string(upgrade::kMaxIdentificationLength) +
                      " printable ASCII characters");
    }
    const std::size_t minimum = upgrade::FirmwareMinSize(identification);
    if (size < minimum) {
      throw MakeError("firmware of " + std::to_string(size) +
                      " bytes cannot hold the identification \"" + identification +
                      "\": at least " + std::to_string(minimum) + " bytes");
    }
    return upgrade::MakeFirmware(target, identification, size, seed);
  };
}

std::vector<std::uint8_t> BootData(const ParsedArguments& parsed, std::uint32_t seed) {
  if (parsed.Has("boot") && (parsed.Has("boot-version") || parsed.Has("boot-size"))) {
    throw MakeError("give either --boot or --boot-version with --boot-size");
  }
  if (parsed.Has("boot")) {
    return SectionData(parsed, "boot", 0, seed, upgrade::SeededBytes);
  }
  if (!parsed.Has("boot-version")) {
    if (parsed.Has("boot-size")) {
      throw MakeError("--boot-size needs --boot-version");
    }
    return {};
  }
  const auto version =
      ParseCount(*parsed.Option("boot-version"), std::numeric_limits<std::uint16_t>::max());
  if (!version) {
    throw MakeError("--boot-version needs a number from 0 to 65535 (0x0102 for V1.02)");
  }
  const std::size_t size =
      parsed.Has("boot-size") ? SizeOption(parsed, "boot-size") : kDefaultBootSize;
  return upgrade::MakeBootCode(static_cast<std::uint16_t>(*version), size, seed);
}

void RefuseFor(const ParsedArguments& parsed, UpgradeFamily family,
               std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (parsed.Has(name) || parsed.flags.count(name) != 0) {
      throw MakeError("--" + std::string(name) + " does not apply to a " +
                      std::string(upgrade::FamilyName(family)) + " file");
    }
  }
}

upgrade::UpgradeFileRecipe RecipeFrom(const ParsedArguments& parsed) {
  for (const char* required : {"family", "out", "name", "version"}) {
    if (!parsed.Has(required)) {
      throw MakeError("--" + std::string(required) + " is required");
    }
  }
  const auto family = ParseFamily(*parsed.Option("family"));
  if (!family) {
    throw MakeError("--family must be modem, komet or solano");
  }
  std::uint32_t seed = 1;
  if (parsed.Has("seed")) {
    const auto value =
        ParseCount(*parsed.Option("seed"), std::numeric_limits<std::uint32_t>::max());
    if (!value) {
      throw MakeError("--seed needs a number from 0 to 4294967295");
    }
    seed = static_cast<std::uint32_t>(*value);
  }

  upgrade::UpgradeFileRecipe recipe;
  recipe.family = *family;
  recipe.name = *parsed.Option("name");
  recipe.version = *parsed.Option("version");
  recipe.modemChecksum = parsed.Option("modem-checksum").value_or("");
  recipe.modemChecksum2 = parsed.Option("modem-checksum2").value_or("");
  const std::string identification = Identification(parsed);
  const auto firmware = [&](upgrade::FirmwareTarget target) {
    return SectionData(parsed, "firmware", kDefaultFirmwareSize, seed + kFirmwareSeed,
                       FirmwareMaker(target, identification));
  };
  switch (*family) {
    case UpgradeFamily::Modem: {
      RefuseFor(parsed, *family, {"boot", "boot-version", "boot-size"});
      const bool large = parsed.flags.count("large-flash") != 0;
      recipe.loader = SectionData(parsed, "loader", kDefaultLoaderSize, seed + kLoaderSeed,
                                  LoaderMaker(parsed));
      recipe.firmware = firmware(large ? upgrade::FirmwareTarget::ModemLargeFlash
                                       : upgrade::FirmwareTarget::ModemNormalFlash);
      recipe.firmware2 =
          SectionData(parsed, "firmware2", 0, seed + kFirmware2Seed,
                      FirmwareMaker(upgrade::FirmwareTarget::ModemLargeFlash,
                                    parsed.Option("ident2").value_or(identification)));
      break;
    }
    case UpgradeFamily::KometII:
      RefuseFor(parsed, *family,
                {"loader", "loader-size", "loader-mode", "firmware2", "firmware2-size",
                 "modem-checksum2", "ident2", "large-flash"});
      recipe.firmware = firmware(upgrade::FirmwareTarget::KometII);
      recipe.bootCode = BootData(parsed, seed + kBootSeed);
      break;
    case UpgradeFamily::Solano:
      RefuseFor(parsed, *family,
                {"loader", "loader-size", "loader-mode", "firmware2", "firmware2-size",
                 "modem-checksum2", "ident2", "large-flash", "boot", "boot-version", "boot-size"});
      recipe.firmware = firmware(upgrade::FirmwareTarget::Solano);
      break;
  }
  return recipe;
}

}  // namespace

int RunMake(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const auto parsed = ParseArguments(
      arguments,
      {"family", "out", "name", "version", "loader", "loader-size", "firmware", "firmware-size",
       "firmware2", "firmware2-size", "boot", "boot-version", "boot-size", "modem-checksum",
       "modem-checksum2", "seed", "loader-mode", "ident", "ident2"},
      {"large-flash"});
  if (!parsed.ok()) {
    err << "norix-lfu make: " << parsed.error << "\n";
    return kExitUsage;
  }
  if (!parsed.positional.empty()) {
    err << "norix-lfu make: unexpected argument \"" << parsed.positional.front() << "\"\n";
    return kExitUsage;
  }
  upgrade::UpgradeFileRecipe recipe;
  try {
    recipe = RecipeFrom(parsed);
  } catch (const MakeError& error) {
    err << "norix-lfu make: " << error.message() << "\n";
    return kExitUsage;
  }

  const auto file = upgrade::BuildUpgradeFile(recipe);
  if (!file.ok()) {
    err << "norix-lfu make: " << file.error << "\n";
    return kExitRefused;
  }
  const std::string outPath = *parsed.Option("out");
  std::string error;
  if (!WriteFileAtomically(outPath, file.bytes, error)) {
    err << "norix-lfu make: " << error << "\n";
    return kExitRefused;
  }
  out << "wrote " << outPath << ": " << file.bytes.size() << " bytes, "
      << upgrade::FamilyName(recipe.family) << " file\n";
  return kExitOk;
}

}  // namespace norix::tools::lfu
