// Steps and names the wizard flow tests share.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/window/headless_host.h"
#include "platform/window/messages.h"
#include "platform/window/window_api.h"
#include "products/main_menu_page.h"
#include "resources/resource_ids.h"
#include "shell/page_messages.h"
#include "support/wizard_session.h"

namespace norix::testing {

namespace W = platform::window;
using products::kSettingsButton;

// Line device names of the simulated products, as an installation names them.
inline const std::string kNetrunnerLine = "NORIX Netrunner 56000 Voice";
inline const std::string kCorvidLine = "NORIX corvid 560 Voice";
inline const std::string kMarlinLine = "NORIX marlin 560 Voice";
inline const std::string kSolanoLine = "NORIX solano 1280i";
inline const std::string kSolanoModemLine = "NORIX solano 1280mi";
inline const std::string kKometLine = "NORIX KOMET II";

// Waits for the main menu with the identified product's name in its header
// (the last thing a single device's menu shows after identification).
inline bool WaitForProductName(WizardSession& session, W::HWND menu) {
  auto& host = session.Host();
  return host.WaitUntil([&] { return !host.Text(menu, resources::kHeaderId).empty(); }, kPageWait);
}

inline W::HWND WaitForMainMenu(WizardSession& session) {
  const W::HWND menu = session.WaitForPage(resources::kMainMenuPage);
  if (menu != W::kNullHwnd && !WaitForProductName(session, menu)) {
    ADD_FAILURE() << "the main menu never showed the product's name";
  }
  return menu;
}

// Waits until the page takes input again: a page is disabled while it owns
// a message box, also for a moment after the box was answered.
inline bool WaitForInput(WizardSession& session, W::HWND page) {
  return session.Host().WaitUntil(
      [&] {
        const auto state = W::GetWindowState(page);
        return state && state->enabled;
      },
      kPageWait);
}

// The text of string number `id` as the pages show it.
inline std::string Text(WizardSession& session, int id) {
  return std::string(session.Program().frame.texts.Text(id));
}

// The commands a product heard, each on a line, for failure messages.
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) {
    all += line + "\n";
  }
  return all;
}

}  // namespace norix::testing
