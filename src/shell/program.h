// The records of one run of the program, created by start-up and reached by
// every page (and its workers) through the page window. Nothing of it is a
// global, so tests build as many independent programs as they like.
#pragma once

#include <memory>
#include <string>

#include "link/modem_context.h"
#include "platform/profile/user_profile.h"
#include "platform/window/messages.h"
#include "products/adapter_features.h"
#include "products/ident_record.h"
#include "products/selection_state.h"
#include "shell/navigator.h"
#include "shell/page_chrome.h"
#include "shell/page_table.h"
#include "shell/text_module.h"
#include "utilities/nationality_state.h"
#include "utilities/product_info_record.h"
#include "utilities/settings_menus_state.h"

namespace norix::platform::window {
class Desktop;
}
namespace norix::platform::registry {
class Registry;
}

namespace norix::shell {

// Later subsystems add their run-long records (upgrade state, nationality
// page state, provider service records, protocol flags, ...) as members.
struct Program {
  // Where the pages are shown; must outlive the navigator run.
  platform::window::Desktop* desktop = nullptr;

  TextModule texts;
  int countryCode = 44;
  std::string versionText;  // the program's version, "" when unknown

  std::unique_ptr<link::ModemContext> context;  // null until the telephony context is open
  products::IdentRecord ident;
  products::AdapterFeatures features;
  products::SelectionState selection;
  products::RescueFlags rescue;
  utilities::UtilityPagesState utilityPages;

  // The user's regional settings (date orders for the product information).
  platform::profile::UserProfile profile;
  // Where the modem drivers' keys live; must outlive the navigator run.
  // Null: no registry, so no driver information.
  platform::registry::Registry* registry = nullptr;
  utilities::ProductInformation productInfo;
  utilities::NationalityState nationality;

  PageTable pages;
  NavigatorState navigator;
  ChromeState chrome;
};

// The program of a page window, of one of its controls, or of a dialog it
// owns (a picker); null for any other window.
[[nodiscard]] Program* FindProgram(platform::window::HWND window);

// Makes `program` reachable from `page` (the navigator does it for every page).
void AttachProgram(platform::window::HWND page, Program& program);

}  // namespace norix::shell
