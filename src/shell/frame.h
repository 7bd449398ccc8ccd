// What every page of a run shares through the shell: where pages are shown,
// the texts, the telephony context, the page table, the navigator and the
// page graphics. The program (app/program.h) holds it next to the records of
// the subsystems; start-up fills it in. Nothing of it is a global, so tests
// build as many independent frames as they like.
#pragma once

#include <memory>
#include <string>

#include "link/modem_context.h"
#include "platform/profile/user_profile.h"
#include "platform/window/messages.h"
#include "shell/navigator.h"
#include "shell/page_chrome.h"
#include "shell/page_table.h"
#include "shell/text_module.h"

namespace norix::platform::window {
class Desktop;
}
namespace norix::platform::registry {
class Registry;
}

namespace norix::shell {

struct Frame {
  // Where the pages are shown; must outlive the navigator run.
  platform::window::Desktop* desktop = nullptr;

  TextModule texts;
  int countryCode = 44;
  std::string versionText;  // the program's version, "" when unknown

  std::unique_ptr<link::ModemContext> context;  // null until the telephony context is open

  // The user's regional settings (date orders for the product information).
  platform::profile::UserProfile profile;
  // Where the modem drivers' keys live; must outlive the navigator run.
  // Null: no registry, so no driver information.
  platform::registry::Registry* registry = nullptr;

  PageTable pages;
  NavigatorState navigator;
  ChromeState chrome;
};

// The frame of a page window, of one of its controls, or of a dialog a page
// owns (a picker); null for any other window.
[[nodiscard]] Frame* FindFrame(platform::window::HWND window);

}  // namespace norix::shell
