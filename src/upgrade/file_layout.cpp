#include "upgrade/file_layout.h"

#include <optional>

#include "upgrade/image_checksum.h"
#include "upgrade/section_search.h"
#include "upgrade/upgrade_file_messages.h"
#include "upgrade/upgrade_header.h"

namespace norix::upgrade {
namespace {

// From a section's data start back to the end of the section before it: the
// CR LF in front of the header line, and the header line with its CR LF.
constexpr std::size_t kBeforeFileTwo = kFileTwo.size() + 4;      // 13
constexpr std::size_t kBeforeFileThree = kFileThree.size() + 5;  // 16, end inclusive
// The flash loader ends 9 bytes before the firmware's data start: it keeps
// the line end before the "[FileTwo]" line and that line's first two
// characters. Every modem ever upgraded received its loader cut so, and its
// boot firmware is known to accept it; a shorter cut loses real loader bytes
// in a file whose loader is followed by a bare LF, or by nothing, before
// "[FileTwo]".
constexpr std::size_t kLoaderEndBeforeFileTwo = kFileTwo.size();  // 9
// The "[FileTwo]" header line with its CR LF.
constexpr std::size_t kFileTwoLine = kFileTwo.size() + 2;

struct Sections {
  std::size_t loaderStart = 0;
  std::size_t loaderEnd = 0;
  std::size_t firmwareStart = 0;
  std::size_t firmwareEnd = 0;
  bool firmwareEndInclusive = false;
  std::string fileChecksum;
  std::optional<std::string> modemChecksum;  // replaces the one read at selection
};

CutResult Refuse(int messageId, std::string reason) { return {messageId, std::move(reason)}; }

std::string Quoted(std::string_view header) { return "\"" + std::string(header) + "\""; }

CutResult CutModem(std::span<const std::uint8_t> contents, bool largeFlash,
                   const UpgradeHeader& header, Sections& out) {
  const std::size_t size = contents.size();
  const bool big = size > kFileThreeThreshold;
  const bool secondKeys = largeFlash && big;
  out.fileChecksum = secondKeys ? header.fileChecksum2 : header.fileChecksum;

  const auto d1 = FindSectionData(contents, kFileOne, 0);
  if (!d1) {
    return Refuse(kMsgFileDamaged, Quoted(kFileOne) + " not found");
  }
  const auto d2 = FindSectionData(contents, kFileTwo, *d1);
  if (!d2) {
    return Refuse(kMsgFileDamaged, Quoted(kFileTwo) + " not found after " + Quoted(kFileOne));
  }
  if (*d2 <= *d1 + kFileTwoLine) {
    return Refuse(kMsgFileDamaged, "no flash loader data before " + Quoted(kFileTwo));
  }
  out.loaderStart = *d1;
  out.loaderEnd = *d2 - kLoaderEndBeforeFileTwo;

  const auto d3 = big ? FindSectionData(contents, kFileThree, *d2) : std::nullopt;
  out.firmwareEndInclusive = true;
  if (!largeFlash) {
    out.firmwareStart = *d2;
    if (d3) {
      if (*d3 < *d2 + kBeforeFileThree) {
        return Refuse(kMsgNotForYourModem, "no firmware data before " + Quoted(kFileThree));
      }
      out.firmwareEnd = *d3 - kBeforeFileThree;
    } else {
      if (*d2 >= size) {
        return Refuse(kMsgNotForYourModem, "no firmware data after " + Quoted(kFileTwo));
      }
      out.firmwareEnd = size - 1;
    }
    if (out.firmwareEnd - out.firmwareStart > kFirmwareSizeRule) {
      return Refuse(kMsgNotForYourModem, "normal flash firmware spans " +
                                             std::to_string(out.firmwareEnd - out.firmwareStart) +
                                             ", more than " + std::to_string(kFirmwareSizeRule));
    }
  } else {
    out.firmwareStart = d3 ? *d3 : *d2;
    out.firmwareEnd = size - 1;  // size > 0: "[FileTwo]" was found in it
    if (out.firmwareStart > out.firmwareEnd ||
        out.firmwareEnd - out.firmwareStart < kFirmwareSizeRule) {
      const std::size_t span =
          out.firmwareStart > out.firmwareEnd ? 0 : out.firmwareEnd - out.firmwareStart;
      return Refuse(kMsgNotForYourModem, "large flash firmware spans " + std::to_string(span) +
                                             ", less than " + std::to_string(kFirmwareSizeRule));
    }
  }
  if (secondKeys) {
    if (header.modemChecksum2.empty()) {
      // An empty text would make the check of the "ATI1" reply after the
      // upgrade accept any firmware.
      return Refuse(kMsgInvalidFile, "ModemChecksum2 is empty");
    }
    out.modemChecksum = header.modemChecksum2;
  }
  return {};
}

CutResult CutKomet(std::span<const std::uint8_t> contents, const UpgradeHeader& header,
                   Sections& out) {
  const auto d1 = FindSectionData(contents, kFileOne, 0);
  if (!d1) {
    return Refuse(kMsgInvalidFile, Quoted(kFileOne) + " not found");
  }
  out.firmwareStart = *d1;
  if (const auto d2 = FindSectionData(contents, kFileTwo, *d1)) {
    if (*d2 <= *d1 + kBeforeFileTwo) {
      return Refuse(kMsgInvalidFile, "no firmware data before " + Quoted(kFileTwo));
    }
    out.firmwareEnd = *d2 - kBeforeFileTwo;
    out.loaderStart = *d2;
    out.loaderEnd = contents.size();
  } else {
    out.firmwareEnd = contents.size();
  }
  if (out.firmwareEnd <= out.firmwareStart) {
    return Refuse(kMsgInvalidFile, "no firmware data after " + Quoted(kFileOne));
  }
  out.fileChecksum = header.fileChecksum;
  return {};
}

CutResult CutSolano(std::span<const std::uint8_t> contents, bool takesFileTwo,
                    const UpgradeHeader& header, Sections& out) {
  if (header.fileChecksum.empty()) {
    return Refuse(kMsgInvalidFile, "FileChecksum is empty");
  }
  out.fileChecksum = header.fileChecksum;
  const auto section = takesFileTwo ? kFileTwo : kFileOne;
  const auto data = FindSectionData(contents, section, 0);
  if (!data) {
    return Refuse(kMsgInvalidFile, Quoted(section) + " not found");
  }
  if (*data >= contents.size()) {
    return Refuse(kMsgInvalidFile, "no firmware data after " + Quoted(section));
  }
  out.firmwareStart = *data;
  out.firmwareEnd = contents.size();
  return {};
}

}  // namespace

FileLayout ChooseLayout(const LayoutChoiceFlags& flags) {
  if ((!flags.isdnAdapter && !flags.isdnRescueProduct) ||
      (flags.internalModem && !flags.isdnTarget)) {
    return FileLayout::Modem;
  }
  return flags.kometII ? FileLayout::KometII : FileLayout::Solano;
}

bool SolanoTakesFileTwo(std::uint32_t upgradeKind, bool isdnTarget) {
  const std::uint32_t kind = upgradeKind & ~16U;
  return kind == 1 || kind == 9 || ((kind & 2U) != 0 && !isdnTarget);
}

CutResult CutImage(UpgradeImage& image, FileLayout layout, bool solanoTakesFileTwo) {
  const auto contents = Contents(image);
  const UpgradeHeader header = ParseUpgradeHeader(contents);
  Sections sections;
  CutResult result;
  switch (layout) {
    case FileLayout::Modem:
      result = CutModem(contents, image.largeFlash, header, sections);
      break;
    case FileLayout::KometII:
      result = CutKomet(contents, header, sections);
      break;
    case FileLayout::Solano:
      result = CutSolano(contents, solanoTakesFileTwo, header, sections);
      break;
  }
  if (!result.ok()) {
    return result;
  }
  image.loaderStart = sections.loaderStart;
  image.loaderEnd = sections.loaderEnd;
  image.firmwareStart = sections.firmwareStart;
  image.firmwareEnd = sections.firmwareEnd;
  image.firmwareEndInclusive = sections.firmwareEndInclusive;
  image.fileChecksum = std::move(sections.fileChecksum);
  if (sections.modemChecksum) {
    image.modemChecksum = std::move(*sections.modemChecksum);
  }
  return result;
}

CutResult VerifyImageChecksum(const UpgradeImage& image) {
  const auto firmware = FirmwareSection(image);
  if (firmware.empty()) {
    return Refuse(kMsgInvalidFile, "no firmware section has been cut");
  }
  const std::string computed = ChecksumText(firmware);
  if (computed != image.fileChecksum) {
    return Refuse(kMsgInvalidFile, "firmware checksum is " + computed + ", the file says \"" +
                                       image.fileChecksum + "\"");
  }
  return {};
}

}  // namespace norix::upgrade
