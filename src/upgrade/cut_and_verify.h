// The progress page's last check before a transfer: pick the layout, cut the
// loaded image and accept its checksum.
#pragma once

#include <cstdint>
#include <functional>

#include "upgrade/file_layout.h"
#include "upgrade/upgrade_image.h"

namespace norix::upgrade {

struct CutAndVerifyInput {
  LayoutChoiceFlags flags;
  std::uint32_t upgradeKind = 0;
  bool rescueTransfer = false;
};

// Modem layout outside a rescue transfer: image.largeFlash becomes the answer
// of `queryLargeFlash` (normally QueryLargeFlash on the product's port; in a
// rescue transfer the flag stays as the rescue probe set it). Then CutImage
// and VerifyImageChecksum; the result carries the string number to show.
[[nodiscard]] CutResult CutAndVerifyImage(UpgradeImage& image, const CutAndVerifyInput& input,
                                          const std::function<bool()>& queryLargeFlash);

}  // namespace norix::upgrade
