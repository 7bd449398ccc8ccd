#include "upgrade/upgrade_image.h"

#include <algorithm>

namespace norix::upgrade {
namespace {

std::span<const std::uint8_t> Range(const UpgradeImage& image, std::size_t start, std::size_t end) {
  const auto contents = Contents(image);
  if (start > end || end > contents.size()) {
    return {};
  }
  return contents.subspan(start, end - start);
}

}  // namespace

UpgradeImage MakeUpgradeImage(std::span<const std::uint8_t> contents, std::string path) {
  UpgradeImage image;
  image.path = std::move(path);
  image.bytes.reserve(contents.size() + kImageSpareBytes);
  image.bytes.assign(contents.begin(), contents.end());
  image.bytes.resize(contents.size() + kImageSpareBytes, 0);
  image.size = contents.size();
  return image;
}

std::span<const std::uint8_t> Contents(const UpgradeImage& image) {
  return std::span<const std::uint8_t>(image.bytes).first(std::min(image.size, image.bytes.size()));
}

std::span<const std::uint8_t> LoaderSection(const UpgradeImage& image) {
  return Range(image, image.loaderStart, image.loaderEnd);
}

std::span<const std::uint8_t> FirmwareSection(const UpgradeImage& image) {
  if (image.firmwareEndInclusive) {
    if (image.firmwareEnd == SIZE_MAX) {
      return {};
    }
    return Range(image, image.firmwareStart, image.firmwareEnd + 1);
  }
  return Range(image, image.firmwareStart, image.firmwareEnd);
}

std::size_t FirmwareLength(const UpgradeImage& image) { return FirmwareSection(image).size(); }

std::optional<std::uint16_t> BootCodeVersion(std::span<const std::uint8_t> bootCode) {
  if (bootCode.size() < kBootCodeMark.size() + 2 ||
      !std::equal(kBootCodeMark.begin(), kBootCodeMark.end(), bootCode.begin())) {
    return std::nullopt;
  }
  const std::size_t at = kBootCodeMark.size();
  return static_cast<std::uint16_t>(bootCode[at] | (bootCode[at + 1] << 8U));
}

}  // namespace norix::upgrade
