#include "upgrade/cut_and_verify.h"

namespace norix::upgrade {

CutResult CutAndVerifyImage(UpgradeImage& image, const CutAndVerifyInput& input,
                            const std::function<bool()>& queryLargeFlash) {
  const FileLayout layout = ChooseLayout(input.flags);
  if (layout == FileLayout::Modem && !input.rescueTransfer) {
    image.largeFlash = queryLargeFlash && queryLargeFlash();
  }
  CutResult cut =
      CutImage(image, layout, SolanoTakesFileTwo(input.upgradeKind, input.flags.isdnTarget));
  if (!cut.ok()) {
    return cut;
  }
  return VerifyImageChecksum(image);
}

}  // namespace norix::upgrade
