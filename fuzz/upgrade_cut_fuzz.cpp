// Cuts arbitrary bytes as an upgrade image in every layout. The first byte
// chooses the large flash flag, the solano section and (both of the next two
// bits set) whether the image is padded beyond 800000 bytes, so that
// "[FileThree]" is searched; the next two bytes place the padding. Every
// accepted cut must lie inside the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "upgrade/file_layout.h"
#include "upgrade/image_checksum.h"
#include "upgrade/upgrade_image.h"

namespace {

using norix::upgrade::FileLayout;
using norix::upgrade::UpgradeImage;

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// Reused from run to run: fresh megabyte allocations would make the padded
// inputs spend their time in page faults.
UpgradeImage& Image() {
  static UpgradeImage image;
  return image;
}

void Fill(UpgradeImage& image, std::span<const std::uint8_t> input, std::size_t padAt, bool pad) {
  const std::size_t padding = pad ? norix::upgrade::kFileThreeThreshold + 1 : 0;
  const std::size_t at = input.empty() ? 0 : padAt % (input.size() + 1);
  auto& bytes = image.bytes;
  bytes.clear();
  bytes.insert(bytes.end(), input.begin(), input.begin() + static_cast<std::ptrdiff_t>(at));
  bytes.insert(bytes.end(), padding, std::uint8_t{0x01});
  bytes.insert(bytes.end(), input.begin() + static_cast<std::ptrdiff_t>(at), input.end());
  image.size = bytes.size();
  bytes.insert(bytes.end(), norix::upgrade::kImageSpareBytes, std::uint8_t{0});
}

void CutEveryLayout(UpgradeImage& image, std::uint8_t options) {
  using namespace norix::upgrade;
  for (const FileLayout layout : {FileLayout::Modem, FileLayout::KometII, FileLayout::Solano}) {
    image.loaderStart = image.loaderEnd = image.firmwareStart = image.firmwareEnd = 0;
    image.firmwareEndInclusive = false;
    image.fileChecksum.clear();
    image.modemChecksum.clear();
    image.largeFlash = (options & 1U) != 0;
    const CutResult cut = CutImage(image, layout, (options & 2U) != 0);
    if (!cut.ok()) {
      Require(cut.messageId == 2021 || cut.messageId == 2036 || cut.messageId == 2047);
      continue;
    }
    const auto firmware = FirmwareSection(image);
    Require(!firmware.empty());
    Require(image.loaderStart <= image.loaderEnd && image.loaderEnd <= image.size);
    Require(image.firmwareStart < image.size);
    const auto verdict = VerifyImageChecksum(image);
    Require(verdict.ok() == (ChecksumText(firmware) == image.fileChecksum));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) {
    return 0;
  }
  const std::uint8_t options = data[0];
  const std::size_t padAt =
      static_cast<std::size_t>(data[1]) | (static_cast<std::size_t>(data[2]) << 8U);
  UpgradeImage& image = Image();
  Fill(image, std::span(data + 3, size - 3), padAt, (options & 0x0CU) == 0x0CU);
  CutEveryLayout(image, options);
  return 0;
}
