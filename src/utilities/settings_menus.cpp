#include "utilities/settings_menus.h"

#include <span>

#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"
#include "shell/program.h"

namespace norix::utilities {

namespace W = platform::window;

namespace {

constexpr std::array<shell::PageText, 2> kModemTexts{{
    {kCountryDescription, 2126},
    {kDefaultSettingDescription, 2127},
}};
constexpr std::array<shell::PageText, 2> kModemButtons{{
    {kCountryButton, 2022},
    {kDefaultSettingButton, 2026},
}};
constexpr std::array<shell::PageText, 3> kSolanoTexts{{
    {kCountryDescription, 2126},
    {kMsnDescription, 2076},
    {kDefaultSettingDescription, 2127},
}};
constexpr std::array<shell::PageText, 3> kSolanoButtons{{
    {kCountryButton, 2022},
    {kMsnButton, 2075},
    {kDefaultSettingButton, 2026},
}};
constexpr int kKometContinueTextId = 2122;  // "Click the forward arrow to continue"

// A menu of big buttons: the common set-up with its tables, and the page
// each button leads to (-1: the button does nothing now).
struct ButtonMenu {
  std::span<const shell::PageText> texts;
  std::span<const shell::PageText> buttons;
  int (*target)(const shell::Program& program, int button);
};

int ModemTarget(const shell::Program& /*program*/, int button) {
  switch (button) {
    case kCountryButton:
      return kNationalityPage;
    case kDefaultSettingButton:
      return kAtCommandPage;
    default:
      return kNoPage;
  }
}

int SolanoTarget(const shell::Program& program, int button) {
  if (button == kMsnButton) {
    return SolanoMsnPageFor(program.features);
  }
  return ModemTarget(program, button);
}

W::LRESULT RunButtonMenu(const ButtonMenu& menu, W::HWND page, W::UINT message, W::WPARAM wParam,
                         W::LPARAM lParam) {
  if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  const shell::Program* program = shell::FindProgram(page);
  if (program == nullptr) {
    return 0;
  }
  if (message == W::WM_INITDIALOG) {
    shell::InitPage(page, menu.texts, menu.buttons);
    W::PostMessage(page, shell::kPageReady, 0, 0);
    return 1;
  }
  if (message != W::WM_COMMAND || W::HIWORD(wParam) != W::BN_CLICKED) {
    return 0;
  }
  const int id = static_cast<int>(W::LOWORD(wParam));
  if (id == W::IDCANCEL) {
    shell::GoToPage(page, shell::kQuitPage);
    return 1;
  }
  if (id == shell::kBackArrowId) {
    shell::GoToPage(page, shell::kMainMenuPage);
    return 1;
  }
  // The product kind is read at each press: it is what the menus branch on.
  const int next = menu.target(*program, id);
  if (next == kNoPage) {
    return 0;
  }
  shell::GoToPage(page, next);
  return 1;
}

// The KOMET II menu: radios with their descriptions, hover help, '>' takes
// the first selected radio in position order.
constexpr std::array<shell::PageText, 7> KometTexts() {
  std::array<shell::PageText, 7> texts{};
  for (std::size_t i = 0; i < kKometMenu.size(); ++i) {
    texts[i] = {kKometMenu[i].radio, kKometMenu[i].label};
  }
  texts[kKometMenu.size()] = {kKometContinueText, kKometContinueTextId};
  return texts;
}

constexpr std::array<shell::PageText, 6> KometHelp() {
  std::array<shell::PageText, 6> help{};
  for (std::size_t i = 0; i < kKometMenu.size(); ++i) {
    help[i] = {kKometMenu[i].radio, kKometMenu[i].description};
  }
  return help;
}

constexpr auto kKometTexts = KometTexts();
constexpr auto kKometHelp = KometHelp();

// The radio ids lie between these two; CheckRadioButton clears the others.
constexpr int kFirstKometRadio = kCountryButton;
constexpr int kLastKometRadio = kProtocolsRadio;

const KometMenuItem& KometItem(int position) {
  const bool valid = position >= 0 && position < kKometPositionCount;
  return kKometMenu[static_cast<std::size_t>(valid ? position : kKometProtocolsPosition)];
}

void OpenKometMenu(W::HWND page, const shell::Program& program) {
  shell::InitPage(page, kKometTexts, {});
  const KometMenuItem& item = KometItem(program.utilityPages.kometMenuPosition);
  shell::SetItemText(page, kKometDescription, item.description);
  W::CheckRadioButton(page, kFirstKometRadio, kLastKometRadio, item.radio);
}

void TakeKometItem(W::HWND page, shell::Program& program) {
  for (std::size_t position = 0; position < kKometMenu.size(); ++position) {
    if (W::IsDlgButtonChecked(page, kKometMenu[position].radio) == W::BST_CHECKED) {
      program.utilityPages.kometMenuPosition = static_cast<int>(position);
      shell::GoToPage(page, kKometMenu[position].page);
      return;
    }
  }
}

}  // namespace

int SettingsPageFor(const products::AdapterFeatures& features) {
  if (features.komet) {
    return kKometSettingsPage;
  }
  return features.isdnAdapter ? kSolanoSettingsPage : kModemSettingsPage;
}

int SolanoMsnPageFor(const products::AdapterFeatures& features) {
  if (features.analoguePort) {
    return kTelephoneSettingPage;
  }
  if (features.noInternalHardware || features.internalModem) {
    return kMsnSettingPage;
  }
  return kNoPage;
}

W::LRESULT ModemSettingsMenu(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  static constexpr ButtonMenu kMenu{kModemTexts, kModemButtons, ModemTarget};
  return RunButtonMenu(kMenu, page, message, wParam, lParam);
}

W::LRESULT SolanoSettingsMenu(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  static constexpr ButtonMenu kMenu{kSolanoTexts, kSolanoButtons, SolanoTarget};
  return RunButtonMenu(kMenu, page, message, wParam, lParam);
}

W::LRESULT KometSettingsMenu(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  shell::Program* program = shell::FindProgram(page);
  if (program == nullptr) {
    return 0;
  }
  switch (message) {
    case W::WM_INITDIALOG:
      OpenKometMenu(page, *program);
      W::PostMessage(page, shell::kPageReady, 0, 0);
      return 1;
    case shell::kControlHover:
      shell::ShowHoverHelp(page, kKometDescription, kKometHelp, static_cast<int>(lParam),
                           W::HwndFromParam(wParam));
      return 1;
    case W::WM_COMMAND: {
      if (W::HIWORD(wParam) != W::BN_CLICKED) {
        return 0;
      }
      switch (static_cast<int>(W::LOWORD(wParam))) {
        case W::IDCANCEL:
          shell::GoToPage(page, shell::kQuitPage);
          return 1;
        case shell::kBackArrowId:
          shell::GoToPage(page, shell::kMainMenuPage);
          return 1;
        case shell::kNextArrowId:
          TakeKometItem(page, *program);
          return 1;
        default:
          return 0;
      }
    }
    default:
      return 0;
  }
}

void RegisterSettingsMenus(shell::PageTable& table) {
  table.Register(kModemSettingsPage, ModemSettingsMenu);
  table.Register(kSolanoSettingsPage, SolanoSettingsMenu);
  table.Register(kKometSettingsPage, KometSettingsMenu);
}

}  // namespace norix::utilities
