#include "products/main_menu_page.h"

#include <array>

#include "link/telephony_devices.h"
#include "platform/ascii/ascii_text.h"
#include "platform/window/window_api.h"
#include "products/select_product.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"
#include "shell/program.h"
#include "utilities/settings_menus.h"

namespace norix::products {

namespace W = platform::window;

namespace {

constexpr std::array<shell::PageText, 3> kTexts{{
    {kSettingsDescription, 2056},
    {kUpgradeDescription, 2156},
    {kProductInformationDescription, 2033},
}};
constexpr std::array<shell::PageText, 3> kButtons{{
    {kSettingsButton, 2006},
    {kUpgradeButton, 2007},
    {kProductInformationButton, 2004},
}};

// The menu itself: hidden while a single device is being identified.
constexpr std::array<int, 7> kMenuControls{
    kSettingsButton,     kProductInformationButton,      kUpgradeButton,   kSettingsDescription,
    kUpgradeDescription, kProductInformationDescription, shell::kHeaderId,
};

void Show(W::HWND page, int control, bool show) {
  W::ShowWindow(W::GetDlgItem(page, control), show ? W::SW_SHOW : W::SW_HIDE);
}

bool SingleDevice(const shell::Program& program) { return program.context->ProductCount() == 1; }

void Initialise(W::HWND page, shell::Program& program) {
  shell::InitPage(page, kTexts, kButtons);
  if (SingleDevice(program)) {
    // There is no product list to go back to.
    Show(page, shell::kBackArrowId, false);
    if (program.selection.identifyOnFirstShowing) {
      for (const int control : kMenuControls) {
        Show(page, control, false);
      }
      shell::SetItemText(page, kMenuStatusLine1, kLookingForProductsText);
      shell::SetItemText(page, kMenuStatusLine2, kPleaseWaitText);
    }
  }
  if (program.rescue.rescueStart) {
    // A product in rescue mode is offered nothing but the upgrade.
    for (const int control : {kProductInformationDescription, kProductInformationButton,
                              kSettingsDescription, kSettingsButton}) {
      Show(page, control, false);
    }
  }
}

// The single device of the run is selected and identified the first time
// the menu shows.
void IdentifySingleDevice(W::HWND page, shell::Program& program) {
  if (!SingleDevice(program) || program.selection.firstShowingHandled.exchange(true)) {
    return;
  }
  link::ModemContext& context = *program.context;
  context.selectedIndex = 0;
  const link::ModemListEntry& device = context.devices.front();
  program.selection.marlin = platform::ascii::ContainsNoCase(device.name, "marlin");
  if (!program.selection.identifyOnFirstShowing.exchange(false)) {
    return;
  }
  if (SelectProduct(page, device.lineDeviceId) == 1) {
    return;  // the navigator is already leaving the page
  }
  Show(page, kMenuStatusLine1, false);
  Show(page, kMenuStatusLine2, false);
  for (const int control : kMenuControls) {
    Show(page, control, true);
  }
  W::SetDlgItemText(page, shell::kHeaderId, context.productName);
  ReadSelectedProductFeatures(program);
}

// '<': forget the product and check the devices again.
void BackToProductList(W::HWND page, shell::Program& program) {
  link::CloseDevicePort(*program.context);
  program.selection.marlin = false;
  program.rescue.Clear();
  program.features.Clear();
  shell::GoToPage(page, shell::kProductListPage);
}

bool HandleCommand(W::HWND page, shell::Program& program, int id) {
  switch (id) {
    case W::IDCANCEL:
      shell::GoToPage(page, shell::kQuitPage);
      return true;
    case kProductInformationButton:
      shell::GoToPage(page, kProductInformationPage);
      return true;
    case kSettingsButton:
      shell::GoToPage(page, utilities::SettingsPageFor(program.features));
      return true;
    case kUpgradeButton:
      shell::GoToPage(page, UpgradePageFor(program));
      return true;
    case shell::kBackArrowId:
      BackToProductList(page, program);
      return true;
    default:
      return false;
  }
}

}  // namespace

W::LRESULT MainMenuPage(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  shell::Program* program = shell::FindProgram(page);
  if (program == nullptr || !program->context) {
    return 0;
  }
  switch (message) {
    case W::WM_INITDIALOG:
      Initialise(page, *program);
      W::PostMessage(page, shell::kPageReady, 0, 0);
      return 1;
    case shell::kPageReady:
      IdentifySingleDevice(page, *program);
      return 1;
    case W::WM_COMMAND:
      if (W::HIWORD(wParam) != W::BN_CLICKED) {
        return 0;
      }
      return HandleCommand(page, *program, static_cast<int>(W::LOWORD(wParam))) ? 1 : 0;
    default:
      return 0;
  }
}

void RegisterMainMenuPage(shell::PageTable& table) {
  table.Register(shell::kMainMenuPage, MainMenuPage);
}

}  // namespace norix::products
