#include "show_command.h"

#include <optional>
#include <string_view>

#include "command_line.h"
#include "upgrade/file_layout.h"
#include "upgrade/image_checksum.h"
#include "upgrade/image_loader.h"
#include "upgrade/section_search.h"
#include "upgrade/upgrade_header.h"
#include "upgrade/upgrade_image.h"
#include "upgrade/version_number.h"

namespace norix::tools::lfu {
namespace {

using upgrade::FileLayout;
using upgrade::UpgradeImage;

struct LayoutChoice {
  std::string_view option;
  std::string_view title;
  FileLayout layout;
  bool largeFlash;
};

constexpr LayoutChoice kLayouts[] = {
    {"modem", "modem, normal flash", FileLayout::Modem, false},
    {"modem-large", "modem, large flash", FileLayout::Modem, true},
    {"komet", "KOMET II", FileLayout::KometII, false},
    {"solano", "solano", FileLayout::Solano, false},
};

void PrintKey(std::ostream& out, std::string_view key, const std::string& value) {
  out << "  " << key << ": ";
  if (value.empty()) {
    out << "(empty)\n";
  } else {
    out << '"' << value << "\"\n";
  }
}

void PrintHeader(std::ostream& out, const upgrade::UpgradeHeader& header) {
  out << "header:\n";
  PrintKey(out, "Name", header.name);
  PrintKey(out, "Version", header.version);
  if (!header.version.empty()) {
    out << "    version number " << upgrade::FileVersionNumber(header.version) << "\n";
  }
  PrintKey(out, "ModemChecksum", header.modemChecksum);
  PrintKey(out, "ModemChecksum2", header.modemChecksum2);
  PrintKey(out, "FileChecksum", header.fileChecksum);
  PrintKey(out, "FileChecksum2", header.fileChecksum2);
}

void PrintSectionStarts(std::ostream& out, const UpgradeImage& image) {
  const auto contents = upgrade::Contents(image);
  out << "sections (data start offsets):\n";
  std::size_t from = 0;
  for (const auto header : {upgrade::kFileOne, upgrade::kFileTwo, upgrade::kFileThree}) {
    const auto start = upgrade::FindSectionData(contents, header, from);
    out << "  " << header << ": ";
    if (start) {
      out << *start << "\n";
      from = *start;
    } else {
      out << "not found\n";
    }
  }
}

void PrintRange(std::ostream& out, std::string_view what, std::size_t offset, std::size_t bytes) {
  out << "  " << what << ": offset " << offset << ", " << bytes << " bytes\n";
}

// True when the layout accepts the file.
bool ShowLayout(std::ostream& out, const UpgradeImage& loaded, const LayoutChoice& choice) {
  UpgradeImage image = loaded;
  image.largeFlash = choice.largeFlash;
  // What file selection would have read before the cut.
  image.modemChecksum = upgrade::ParseUpgradeHeader(upgrade::Contents(image)).modemChecksum;
  out << "layout " << choice.title << ":\n";
  const auto cut = upgrade::CutImage(image, choice.layout);
  if (!cut.ok()) {
    out << "  refused, message " << cut.messageId << ": " << cut.reason << "\n";
    return false;
  }
  const auto loader = upgrade::LoaderSection(image);
  if (choice.layout == FileLayout::Modem) {
    PrintRange(out, "flash loader", image.loaderStart, loader.size());
  }
  PrintRange(out, "firmware", image.firmwareStart, upgrade::FirmwareLength(image));
  if (choice.layout == FileLayout::KometII) {
    if (loader.empty()) {
      out << "  boot code: none\n";
    } else {
      PrintRange(out, "boot code", image.loaderStart, loader.size());
      if (const auto version = upgrade::BootCodeVersion(loader)) {
        out << "    boot code version " << upgrade::ChecksumText(*version) << "\n";
      } else {
        out << "    no \"" << upgrade::kBootCodeMark << "\" mark\n";
      }
    }
  }
  if (choice.layout == FileLayout::Modem) {
    out << "  modem checksum text: \"" << image.modemChecksum << "\"\n";
  }
  const auto verdict = upgrade::VerifyImageChecksum(image);
  out << "  checksum: " << upgrade::ChecksumText(upgrade::FirmwareSection(image))
      << ", file says \"" << image.fileChecksum << "\": "
      << (verdict.ok() ? "matches"
                       : "DOES NOT MATCH (message " + std::to_string(verdict.messageId) + ")")
      << "\n";
  return verdict.ok();
}

}  // namespace

int RunShow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const auto parsed = ParseArguments(arguments, {"layout"}, {});
  if (!parsed.ok()) {
    err << "norix-lfu show: " << parsed.error << "\n";
    return kExitUsage;
  }
  if (parsed.positional.size() != 1) {
    err << "norix-lfu show: give exactly one FILE\n";
    return kExitUsage;
  }
  std::optional<LayoutChoice> only;
  if (const auto layout = parsed.Option("layout")) {
    for (const auto& choice : kLayouts) {
      if (choice.option == *layout) {
        only = choice;
      }
    }
    if (!only) {
      err << "norix-lfu show: unknown layout \"" << *layout
          << "\" (modem, modem-large, komet, solano)\n";
      return kExitUsage;
    }
  }

  const std::string& path = parsed.positional.front();
  const auto loaded = upgrade::LoadImage(path);
  if (!loaded.ok()) {
    err << "norix-lfu show: " << path << ": " << upgrade::LoadFailureText(loaded.status) << "\n";
    return kExitUsage;
  }
  const UpgradeImage& image = loaded.image;
  out << "file: " << path << "\n";
  out << "size: " << image.size << " bytes"
      << (image.size > upgrade::kFileThreeThreshold ? " (above 800000: [FileThree] is read)" : "")
      << "\n";
  PrintHeader(out, upgrade::ParseUpgradeHeader(upgrade::Contents(image)));
  PrintSectionStarts(out, image);

  bool accepted = false;
  if (only) {
    accepted = ShowLayout(out, image, *only);
  } else {
    for (const auto& choice : kLayouts) {
      accepted = ShowLayout(out, image, choice) || accepted;
    }
  }
  return accepted ? kExitOk : kExitRefused;
}

}  // namespace norix::tools::lfu
