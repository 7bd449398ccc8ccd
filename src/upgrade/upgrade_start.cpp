#include "upgrade/upgrade_start.h"

#include <string>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "upgrade/default_file_name.h"
#include "upgrade/file_check.h"
#include "upgrade/image_loader.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/product_queries.h"
#include "upgrade/rescue_probe_exchange.h"
#include "upgrade/upgrade_file_messages.h"

namespace norix::upgrade {

namespace W = platform::window;

namespace {

constexpr std::uint32_t kRescueSpeed = 115200;

// Sets the speed and reads it back: a port that cannot take it fails.
bool SetSpeed(platform::comm::Port* port, std::uint32_t speed) {
  link::SetPortSpeed(port, speed);
  platform::comm::CommState state;
  return port != nullptr && port->GetState(state) && state.baudRate == speed;
}

// A modem in rescue mode says which model it is, or the user does. False
// when neither named a model of the table.
bool NameRescueModel(const UpgradeStartRecords& records, const UpgradeStartUi& ui) {
  UpgradeImage& image = records.state.image;
  long model = -1;
  if (const auto answer = ProbeRescueModel(records.context.Port())) {
    model = *answer;
    image.largeFlash = model >= kFirstLargeFlashModel;
  } else {
    image.largeFlash = false;
    model = ui.pickModemModel ? ui.pickModemModel() : -1;
  }
  if (model < 0 || model >= static_cast<long>(kRescueModels.size())) {
    return false;
  }
  records.product.ident.SetText("NORIX " +
                                std::string(kRescueModels[static_cast<std::size_t>(model)]));
  return true;
}

// Steps for a product in rescue mode; a page to go to when they end the
// start, none when the file comes next.
std::optional<int> StartRescue(const UpgradeStartRecords& records, const UpgradeStartUi& ui,
                               device::UpgradeClass kind) {
  device::RescueFlags& flags = records.product.rescue;
  records.state.speedIndex = 1;
  if (ui.message(kMsgPreviousAttemptFailed, W::MB_YESNO | W::MB_ICONQUESTION) != W::IDYES) {
    const std::string& name = records.context.productName;
    const bool isdn = (kind & device::kUpgradeIsdnAdapter) != 0 || flags.isdnRescueProduct;
    records.context.productName =
        std::string(RescueModeName(isdn, name.find("KOMET II") != std::string::npos));
    flags.rescueStart = true;
    return kPageMainMenu;
  }
  if ((kind & device::kUpgradeAnalogueModem) != 0) {
    if (!SetSpeed(records.context.Port(), kRescueSpeed)) {
      ui.message(kMsgCannotOpenPort, W::MB_ICONEXCLAMATION);
      return kPageMainMenu;
    }
    if (!NameRescueModel(records, ui)) {
      return kPageMainMenu;
    }
  }
  flags.rescueTransfer = true;
  return std::nullopt;
}

}  // namespace

std::uint32_t TransferSpeed(int speedIndex) {
  switch (speedIndex) {
    case 1:
      return 115200;
    case 2:
      return 57600;
    case 4:
    case 8:
      return 14400;
    default:
      return 0;
  }
}

std::string_view RescueModeName(bool isdnAdapter, bool komet) {
  if (komet) {
    return "NORIX KOMET II Rescue Mode";
  }
  return isdnAdapter ? "NORIX solano 1280 Rescue Mode" : "NORIX Modem Rescue Mode";
}

int UpgradeStart(const UpgradeStartRecords& records, const UpgradeStartUi& ui) {
  link::ModemContext& context = records.context;
  device::SelectedProduct& product = records.product;
  device::RescueFlags& flags = product.rescue;
  UpgradeState& state = records.state;
  platform::comm::Port* port = context.Port();

  // Only an adapter with an internal modem has two parts to choose from.
  if (!product.features.internalModem) {
    flags.isdnTarget = true;
  }
  if (product.features.internalModem && !flags.isdnTarget) {
    ui.message(kMsgRemoveIsdnCord, W::MB_OK);
  }
  if (!flags.rescueStart) {
    product.ident.upgradeKind = records.hooks.lookupUpgradeKind
                                    ? records.hooks.lookupUpgradeKind(context.productName)
                                    : device::kUpgradeNone;
  }
  device::UpgradeClass kind = product.ident.upgradeKind;
  state.probeSpeed = (kind & device::kUpgradeNoSpeedProbe) == 0;
  kind &= ~device::kUpgradeNoSpeedProbe;
  product.ident.upgradeKind = kind;
  if (kind == device::kUpgradeNone) {
    ui.message(kMsgNotUpgradable, W::MB_OK);
    return kPageMainMenu;
  }

  if ((kind & device::kUpgradeRescueMode) != 0) {
    if (const auto page = StartRescue(records, ui, kind)) {
      return *page;
    }
  } else {
    flags.rescueTransfer = false;
    int speedIndex = 1;
    if (state.probeSpeed) {
      speedIndex = link::ProbeSpeed(port);
      if (speedIndex <= 0 || speedIndex > link::kProbe4800) {
        ui.message(kMsgUnsupportedSpeed, W::MB_ICONEXCLAMATION);
        return kPageMainMenu;
      }
    }
    state.speedIndex = speedIndex;
  }

  const bool isdnTarget = flags.isdnTarget;
  const UpgradeFileDialogRequest request = MakeUpgradeFileDialogRequest(
      BuildDefaultFileName(product.ident.text, isdnTarget), state.folder, state.programFolder);
  const std::optional<std::string> path = ui.chooseFile ? ui.chooseFile(request) : std::nullopt;
  if (!path || path->empty()) {
    return kPageMainMenu;
  }
  RememberChosenFile(state.folder, *path);

  const UpgradeHeader header = ReadUpgradeHeaderFile(*path);
  const FileCheckResult check = CheckFileAgainstProduct(
      header,
      ProductFromContext(context, product.ident.text, kind, flags.rescueTransfer, isdnTarget),
      [port] { return QueryAddedAnalogInterface(port); });
  if (check.messageId != 0) {
    ui.message(check.messageId, W::MB_ICONEXCLAMATION);
  }
  state.v130Refusal = check.v130Refusal;
  UpgradeImage& image = state.image;
  image.bytes.clear();
  image.size = 0;
  image.path = *path;
  image.fileVersionNumber = check.fileVersionNumber;
  image.modemChecksum = check.modemChecksum;
  return check.nextPage;
}

}  // namespace norix::upgrade
