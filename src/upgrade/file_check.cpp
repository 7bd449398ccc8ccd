#include "upgrade/file_check.h"

#include "platform/ascii/ascii_text.h"
#include "upgrade/upgrade_file_messages.h"
#include "upgrade/version_number.h"

namespace norix::upgrade {
namespace {

constexpr std::string_view kRescueSuffix = " Rescue";
constexpr int kAnalogInterfaceMinimumVersion = 130;

FileCheckResult ToMainMenu(int messageId) {
  FileCheckResult result;
  result.nextPage = kPageMainMenu;
  result.messageId = messageId;
  return result;
}

}  // namespace

ProductForFileCheck ProductFromContext(const link::ModemContext& context,
                                       std::string_view identificationText,
                                       std::uint32_t upgradeKind, bool rescueTransfer,
                                       bool isdnTarget) {
  ProductForFileCheck product;
  product.identificationText = identificationText;
  product.upgradeKind = upgradeKind;
  product.rescueTransfer = rescueTransfer;
  product.isdnTarget = isdnTarget;
  product.installedVersion = context.firmwareVersionNumber;
  product.modemComponentVersion = DecimalValue(context.internalModemVersionNumber);
  return product;
}

FileCheckResult CheckFileAgainstProduct(const UpgradeHeader& header,
                                        const ProductForFileCheck& product,
                                        const std::function<bool()>& hasAnalogInterface) {
  const std::uint32_t kind = product.upgradeKind & ~16U;

  if (kind != 9) {
    std::string_view name = product.identificationText;
    name = name.substr(0, name.find(kRescueSuffix));
    if (!platform::ascii::StartsWithNoCase(name, header.name)) {
      return ToMainMenu(kMsgNotForYourEquipment);
    }
  }

  int fileVersion = 0;
  if (!product.rescueTransfer) {
    if (header.version.empty()) {
      return ToMainMenu(kMsgInvalidFile);
    }
    fileVersion = FileVersionNumber(header.version);
    // The solano 1280i a/b needs at least V1.30: older firmware does not
    // drive its analogue interface.
    if (kind == 2 && fileVersion < kAnalogInterfaceMinimumVersion && hasAnalogInterface &&
        hasAnalogInterface()) {
      FileCheckResult result;
      result.nextPage = kPageSameVersion;
      result.v130Refusal = true;
      result.fileVersionNumber = fileVersion;
      return result;
    }
  }

  if (header.modemChecksum.empty()) {
    return ToMainMenu(kMsgInvalidFile);
  }

  FileCheckResult result;
  result.fileVersionNumber = fileVersion;
  result.modemChecksum = header.modemChecksum;
  if (product.rescueTransfer) {
    result.nextPage = kPageProgress;
    return result;
  }
  const bool modemComponent = kind == 3 && !product.isdnTarget;
  const int installed = modemComponent ? product.modemComponentVersion : product.installedVersion;
  if (fileVersion < installed) {
    result.nextPage = kPageOlderVersion;
  } else if (fileVersion == installed) {
    result.nextPage = kPageSameVersion;
  } else {
    result.nextPage = kPageNewerVersion;
  }
  return result;
}

}  // namespace norix::upgrade
