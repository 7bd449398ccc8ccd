// How an upgrade image is cut into the sections the transfers send.
//
// Modem layout (analogue modems and the modem component of a two-component
// adapter), with D1, D2, D3 the data starts of "[FileOne]", "[FileTwo]",
// "[FileThree]":
//   flash loader  D1 .. D2 - 9, end exclusive: with a CR LF before the
//                 "[FileTwo]" line, that CR LF and "[F" end the loader, as
//                 products have always received it; refused when nothing
//                 comes before the "[FileTwo]" line
//   "[FileThree]" is searched, from D2, only in images above 800000 bytes
//   normal flash  D2 .. D3 - 16 (inclusive) when "[FileThree]" was found,
//                 else D2 .. size - 1; refused when end - start > 450000
//   large flash   D3 (when found, else D2) .. size - 1; refused when
//                 end - start < 450000; takes FileChecksum2 and
//                 ModemChecksum2 in images above 800000 bytes
// KOMET II layout: firmware D1 .. D2 - 13 (exclusive) and boot code D2 .. end
//   when "[FileTwo]" is there, else firmware D1 .. end and no boot code.
// solano layout: firmware from the data start of "[FileOne]" (or "[FileTwo]")
//   to the end.
// The checksum covers the firmware section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "upgrade/upgrade_image.h"

namespace norix::upgrade {

enum class FileLayout : std::uint8_t { Modem, KometII, Solano };

// The product kind flags and the upgrade target that pick the layout.
struct LayoutChoiceFlags {
  bool isdnAdapter = false;
  bool isdnRescueProduct = false;  // found as "NORIX solano 1280 / KOMET II Rescue Mode"
  bool internalModem = false;
  bool kometII = false;
  bool isdnTarget = true;  // clear: the modem component of a two-component adapter
};

// Modem layout for a product that is no ISDN adapter (and no ISDN rescue
// product), or for the modem component of an adapter with internal modem;
// else KOMET II layout for a KOMET II; else solano layout.
[[nodiscard]] FileLayout ChooseLayout(const LayoutChoiceFlags& flags);

// Whether the solano layout takes "[FileTwo]" instead of "[FileOne]": for
// upgrade kinds 1 and 9, and for the ISDN kinds when the modem component is
// the target. `upgradeKind` may still carry the no-probe value 16.
[[nodiscard]] bool SolanoTakesFileTwo(std::uint32_t upgradeKind, bool isdnTarget);

inline constexpr std::size_t kFirmwareSizeRule = 450000;
inline constexpr std::size_t kFileThreeThreshold = 800000;

struct CutResult {
  int messageId = 0;   // string number of the message to show; 0 when accepted
  std::string reason;  // what exactly is wrong, for tools and tests

  [[nodiscard]] bool ok() const { return messageId == 0; }
};

// Cuts the image by the layout and takes the file checksum text (and, for
// large flash modems in big images, the modem checksum text) from its header.
// Uses image.largeFlash for the modem layout. Failures: 2036 (modem sections
// missing, no flash loader), 2021 (modem firmware size rule, including an
// empty firmware section), 2047 (KOMET II and solano sections missing or
// empty, solano FileChecksum empty, large flash ModemChecksum2 empty). On
// failure the image is left as it was.
[[nodiscard]] CutResult CutImage(UpgradeImage& image, FileLayout layout,
                                 bool solanoTakesFileTwo = false);

// Compares the checksum of the cut firmware section with the file checksum
// text, exactly; 2047 when they differ.
[[nodiscard]] CutResult VerifyImageChecksum(const UpgradeImage& image);

}  // namespace norix::upgrade
