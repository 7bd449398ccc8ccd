#include "products/select_product.h"

#include <string>
#include <string_view>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/window/messages.h"
#include "products/adapter_queries.h"
#include "products/identify_product.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"
#include "shell/program.h"

namespace norix::products {

namespace W = platform::window;

namespace {

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

bool NothingFound(std::string_view text) {
  return Contains(text, kNoModemDetected) || Contains(text, kUnknownModem);
}

// Opens the current device with the full check and identifies what answers.
// The flash loaders of the adapters in rescue mode never answer the check's
// "AT" with OK, so a failed check is followed by a quick open of the same
// device, configured as the check would have, and identification over it;
// a product that answers normally there gets the rest of the check (read
// constant, "AT+GCI?"). A port held by another program fails both opens.
std::string OpenAndIdentify(link::ModemContext& context) {
  platform::comm::Port* port = link::OpenDevicePort(context, kSelectSpeed, false);
  bool checked = port != nullptr;
  if (!checked) {
    port = link::OpenDevicePort(context, kSelectSpeed, true);
    if (port == nullptr) {
      return std::string(kNoModemDetected);
    }
    link::ConfigurePort(port, kSelectSpeed);
  }
  std::string text = IdentifyProduct(port);
  const bool rescue = Contains(text, kModemRescueMode) || Contains(text, kSolanoRescueMode) ||
                      Contains(text, kKometRescueMode);
  if (!checked && !rescue && !NothingFound(text)) {
    link::SetReadTimeout(port, link::kOpenPortReadConstant);
    context.gciSupport = link::QueryGciSupport(port) != 0;
  }
  return text;
}

}  // namespace

int UpgradePageFor(const shell::Program& program) {
  return program.features.internalModem ? kUpgradeChoosePartPage : kUpgradePage;
}

int SelectProduct(W::HWND page, std::uint32_t deviceId) {
  shell::Program* program = shell::FindProgram(page);
  if (program == nullptr || !program->context) {
    return 1;
  }
  link::ModemContext& context = *program->context;
  context.currentDeviceId = deviceId;
  std::string text = OpenAndIdentify(context);

  if (NothingFound(text) && program->selection.marlin) {
    // PC Card modems may still be waking up: once more from the start.
    link::CloseDevicePort(context);
    text = OpenAndIdentify(context);
  }
  if (NothingFound(text)) {
    // The message keeps its text; the system's reason goes to stderr.
    link::ReportPortFailure(context);
    shell::ShowMessage(page, kNotDetectedText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
    shell::GoToPage(page, shell::kQuitPage);
    return 1;
  }
  program->ident.SetText(text);

  if (Contains(text, kModemRescueMode) || Contains(text, kSolanoRescueMode) ||
      Contains(text, kKometRescueMode)) {
    if (Contains(text, kSolanoRescueMode) || Contains(text, kKometRescueMode)) {
      program->rescue.isdnRescueProduct = true;
    }
    context.productName = text;
    program->ident.upgradeKind = LookupUpgradeKind(text);
    program->rescue.rescueStart = true;
    // The upgrade takes over from its first page, which knows the rescue
    // start and offers nothing but the upgrade.
    shell::GoToPage(page, UpgradePageFor(*program));
    return 1;
  }

  ParseIdentification(text, context);
  return 0;
}

void ReadSelectedProductFeatures(shell::Program& program) {
  if (!program.context) {
    return;
  }
  link::ModemContext& context = *program.context;
  const auto index = static_cast<std::size_t>(context.selectedIndex);
  if (context.selectedIndex < 0 || index >= context.devices.size()) {
    return;
  }
  const std::string& name = context.devices[index].name;
  // Both names are compared with their case, as the line devices carry them.
  if (Contains(name, "solano 1280")) {
    program.features.isdnAdapter = true;
    ReadAdapterFeatures(context, program.features);
  }
  if (Contains(name, "NORIX KOMET II")) {
    program.features.isdnAdapter = true;
    program.features.komet = true;
    ReadKometFeatureWord(context, program.features);
  }
}

}  // namespace norix::products
