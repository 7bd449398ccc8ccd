// Does a chosen upgrade file fit the product, and which page comes next?
// Pure decisions over the file's header; the one product query it may need
// ("ATI7", see product_queries.h) is passed in, so the page only shows what
// comes back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/modem_context.h"
#include "upgrade/upgrade_header.h"

namespace norix::upgrade {

struct ProductForFileCheck {
  std::string_view identificationText;  // the product's identification text
  std::uint32_t upgradeKind = 0;        // may still carry the no-probe value 16
  bool rescueTransfer = false;          // the boot program is already waiting
  bool isdnTarget = true;               // clear: the modem component is upgraded
  int installedVersion = 0;             // major * 100 + minor of the product
  int modemComponentVersion = 0;        // the same for the modem component
};

// The product record from what identification put into the context.
[[nodiscard]] ProductForFileCheck ProductFromContext(const link::ModemContext& context,
                                                     std::string_view identificationText,
                                                     std::uint32_t upgradeKind, bool rescueTransfer,
                                                     bool isdnTarget);

struct FileCheckResult {
  int nextPage = 0;          // kPageMainMenu, kPageOlderVersion ... kPageProgress
  int messageId = 0;         // text to show before the main menu (2041, 2047); 0 none
  bool v130Refusal = false;  // the same version page must refuse the file
  int fileVersionNumber = 0;
  std::string modemChecksum;  // ModemChecksum, for the check after the upgrade
};

// In order, stopping at the first that decides:
//  1. unless the kind is 9: the identification text, cut at its first
//     " Rescue", must begin with Name (case-insensitive; empty Name fits), else 2041;
//  2. unless a rescue transfer: Version must not be empty, else 2047;
//  3. unless a rescue transfer: kind 2, file version below 130 and
//     `hasAnalogInterface()` true: V1.30 refusal, same version page;
//  4. ModemChecksum must not be empty, else 2047;
//  5. a rescue transfer goes to the progress page;
//  6. file version against the installed one (the modem component's when it
//     is the target of a two-component adapter): older, same or newer page.
// `hasAnalogInterface` is called at most once, only in step 3.
[[nodiscard]] FileCheckResult CheckFileAgainstProduct(
    const UpgradeHeader& header, const ProductForFileCheck& product,
    const std::function<bool()>& hasAnalogInterface);

}  // namespace norix::upgrade
