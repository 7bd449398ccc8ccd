#include "utilities/settings_menus.h"

#include <span>

#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_chrome.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

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

// Where a big button of a menu leads for the product (kNoPage: nowhere).
using MenuTarget = int (*)(const device::AdapterFeatures& features, int button);

int ModemTarget(const device::AdapterFeatures& /*features*/, int button) {
  switch (button) {
    case kCountryButton:
      return resources::kNationalityPage;
    case kDefaultSettingButton:
      return resources::kAtCommandPage;
    default:
      return kNoPage;
  }
}

int SolanoTarget(const device::AdapterFeatures& features, int button) {
  if (button == kMsnButton) {
    return SolanoMsnPageFor(features);
  }
  return ModemTarget(features, button);
}

// A menu of big buttons. The product kind is read at each press: it is what
// the menus branch on.
template <MenuTarget target>
class ButtonMenuPage final : public shell::Page {
 public:
  ButtonMenuPage(device::SelectedProduct& product, UtilityPagesState& /*state*/)
      : product_(product) {}

  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED) {
      return false;
    }
    const int next = target(product_.features, id);
    if (next == kNoPage) {
      return false;
    }
    GoTo(next);
    return true;
  }

 private:
  device::SelectedProduct& product_;
};

constexpr shell::PageDescription kModemMenu{.texts = kModemTexts,
                                            .buttons = kModemButtons,
                                            .back = resources::kMainMenuPage,
                                            .escape = resources::kQuitPage};
constexpr shell::PageDescription kSolanoMenu{.texts = kSolanoTexts,
                                             .buttons = kSolanoButtons,
                                             .back = resources::kMainMenuPage,
                                             .escape = resources::kQuitPage};

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

constexpr shell::PageDescription kKometMenuDescription{
    .texts = kKometTexts, .back = resources::kMainMenuPage, .escape = resources::kQuitPage};

class KometMenuPage final : public shell::Page {
 public:
  KometMenuPage(device::SelectedProduct& /*product*/, UtilityPagesState& state) : state_(state) {}

  void OnInit() override {
    const KometMenuItem& item = KometItem(state_.kometMenuPosition);
    SetText(kKometDescription, item.description);
    W::CheckRadioButton(Window(), kFirstKometRadio, kLastKometRadio, item.radio);
  }

  bool OnCommand(int id, unsigned code) override {
    if (id != resources::kNextArrowId || code != W::BN_CLICKED) {
      return false;
    }
    // '>' takes the first selected radio in position order.
    for (std::size_t position = 0; position < kKometMenu.size(); ++position) {
      if (W::IsDlgButtonChecked(Window(), kKometMenu[position].radio) == W::BST_CHECKED) {
        state_.kometMenuPosition = static_cast<int>(position);
        GoTo(kKometMenu[position].page);
        break;
      }
    }
    return true;
  }

  bool OnMessage(W::UINT message, W::WPARAM wParam, W::LPARAM lParam) override {
    if (message != shell::kControlHover) {
      return false;
    }
    shell::ShowHoverHelp(Window(), kKometDescription, kKometHelp, static_cast<int>(lParam),
                         W::HwndFromParam(wParam));
    return true;
  }

 private:
  UtilityPagesState& state_;
};

}  // namespace

int SolanoMsnPageFor(const device::AdapterFeatures& features) {
  if (features.analoguePort) {
    return resources::kTelephoneSettingPage;
  }
  if (features.noInternalHardware || features.internalModem) {
    return resources::kMsnSettingPage;
  }
  return kNoPage;
}

void RegisterSettingsMenus(shell::PageTable& table, device::SelectedProduct& product,
                           UtilityPagesState& state) {
  shell::RegisterPage<ButtonMenuPage<ModemTarget>>(table, resources::kModemSettingsPage, kModemMenu,
                                                   product, state);
  shell::RegisterPage<ButtonMenuPage<SolanoTarget>>(table, resources::kSolanoSettingsPage,
                                                    kSolanoMenu, product, state);
  shell::RegisterPage<KometMenuPage>(table, resources::kKometSettingsPage, kKometMenuDescription,
                                     product, state);
}

}  // namespace norix::utilities
