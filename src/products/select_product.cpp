#include "products/select_product.h"

#include <string>
#include <string_view>

#include "device/adapter_queries.h"
#include "link/at_exchange.h"
#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/window/messages.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"

namespace norix::products {

namespace W = platform::window;

namespace {

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

bool NothingFound(std::string_view text) {
  return Contains(text, device::kNoModemDetected) || Contains(text, device::kUnknownModem);
}

// Opens the current device with the full check and identifies what answers.
// The flash loaders of the adapters in rescue mode never answer the check's
// "AT" with OK, nor does a loader that talks at another speed, but they do
// send something. So a check that failed on bytes that were no final result
// code is followed by a quick open of the same device, configured as the
// check would have, and identification over it; a product that answers
// normally there gets the rest of the check (read constant, "AT+GCI?"). A
// silent port and a product that answers "ERROR" are not probed further,
// and a port held by another program fails at the first open.
std::string OpenAndIdentify(link::ModemContext& context) {
  platform::comm::Port* port = link::OpenDevicePort(context, kSelectSpeed, false);
  bool checked = port != nullptr;
  if (!checked) {
    if (!context.checkHeardOther) {
      return std::string(device::kNoModemDetected);
    }
    port = link::OpenDevicePort(context, kSelectSpeed, true);
    if (port == nullptr) {
      return std::string(device::kNoModemDetected);
    }
    link::ConfigurePort(port, kSelectSpeed);
  }
  std::string text = IdentifyProduct(port);
  const bool rescue = Contains(text, device::kModemRescueMode) ||
                      Contains(text, device::kSolanoRescueMode) ||
                      Contains(text, device::kKometRescueMode);
  if (!checked && !rescue && !NothingFound(text)) {
    link::SetReadTimeout(port, link::kOpenPortReadConstant);
    context.gciSupport = link::QueryGciSupport(port) != 0;
  }
  return text;
}

}  // namespace

int UpgradePageFor(const device::AdapterFeatures& features) {
  return features.internalModem ? resources::kUpgradeChoosePartPage : resources::kUpgradeStartPage;
}

int SelectProduct(shell::Frame& frame, device::SelectedProduct& product, W::HWND page,
                  std::uint32_t deviceId) {
  if (!frame.context) {
    return 1;
  }
  link::ModemContext& context = *frame.context;
  context.currentDeviceId = deviceId;
  std::string text = OpenAndIdentify(context);

  if (NothingFound(text) && product.selection.marlin) {
    // PC Card modems may still be waking up: once more from the start.
    link::CloseDevicePort(context);
    text = OpenAndIdentify(context);
  }
  if (NothingFound(text)) {
    // The message keeps its text; the system's reason goes to stderr.
    link::ReportPortFailure(context);
    shell::ShowMessage(page, kNotDetectedText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
    shell::GoToPage(page, resources::kQuitPage);
    return 1;
  }
  product.ident.SetText(text);

  if (Contains(text, device::kModemRescueMode) || Contains(text, device::kSolanoRescueMode) ||
      Contains(text, device::kKometRescueMode)) {
    if (Contains(text, device::kSolanoRescueMode) || Contains(text, device::kKometRescueMode)) {
      product.rescue.isdnRescueProduct = true;
      // Its upgrade takes the family's file layout and restart.
      product.features.isdnAdapter = true;
      product.features.komet = Contains(text, device::kKometRescueMode);
    }
    context.productName = text;
    // Nothing of the last product's versions holds for this one.
    context.firmwareVersion.clear();
    context.firmwareVersionNumber = 0;
    context.internalModemVersion.clear();
    context.internalModemVersionNumber.clear();
    product.ident.upgradeKind = LookupUpgradeKind(text);
    product.rescue.rescueStart = true;
    // The upgrade takes over at once: it asks whether to try again and
    // says where to go.
    shell::GoToPage(page,
                    product.upgradeStart ? product.upgradeStart(page) : resources::kMainMenuPage);
    return 1;
  }

  ParseIdentification(text, context);
  return 0;
}

void ReadSelectedProductFeatures(link::ModemContext& context, device::AdapterFeatures& features) {
  const auto index = static_cast<std::size_t>(context.selectedIndex);
  if (context.selectedIndex < 0 || index >= context.devices.size()) {
    return;
  }
  const std::string& name = context.devices[index].name;
  // Both names are compared with their case, as the line devices carry them.
  if (Contains(name, "solano 1280")) {
    features.isdnAdapter = true;
    device::ReadAdapterFeatures(context, features);
  }
  if (Contains(name, "NORIX KOMET II")) {
    features.isdnAdapter = true;
    features.komet = true;
    device::ReadKometFeatureWord(context, features);
  }
}

}  // namespace norix::products
