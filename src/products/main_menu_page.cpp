#include "products/main_menu_page.h"

#include <array>

#include "link/telephony_devices.h"
#include "platform/ascii/ascii_text.h"
#include "platform/window/window_api.h"
#include "products/select_product.h"
#include "resources/resource_ids.h"
#include "shell/page_kit.h"

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
    kSettingsButton,     kProductInformationButton,      kUpgradeButton,       kSettingsDescription,
    kUpgradeDescription, kProductInformationDescription, resources::kHeaderId,
};

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .buttons = kButtons, .escape = resources::kQuitPage};

class MainMenuPage final : public shell::Page {
 public:
  explicit MainMenuPage(device::SelectedProduct& product) : product_(product) {}

  void OnInit() override {
    if (Context() == nullptr) {
      return;
    }
    if (SingleDevice()) {
      // There is no product list to go back to.
      Show(resources::kBackArrowId, false);
      if (product_.selection.identifyOnFirstShowing) {
        for (const int control : kMenuControls) {
          Show(control, false);
        }
        SetText(kMenuStatusLine1, kLookingForProductsText);
        SetText(kMenuStatusLine2, kPleaseWaitText);
      }
    }
    if (product_.rescue.rescueStart) {
      // A product in rescue mode is offered nothing but the upgrade.
      for (const int control : {kProductInformationDescription, kProductInformationButton,
                                kSettingsDescription, kSettingsButton}) {
        Show(control, false);
      }
    }
  }

  void OnReady() override {
    if (Context() != nullptr) {
      IdentifySingleDevice();
    }
  }

  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED || Context() == nullptr) {
      return false;
    }
    switch (id) {
      case kProductInformationButton:
        GoTo(resources::kProductInformationPage);
        return true;
      case kSettingsButton:
        GoTo(device::SettingsPageFor(product_.features));
        return true;
      case kUpgradeButton:
        GoTo(UpgradePageFor(product_.features));
        return true;
      case resources::kBackArrowId:
        BackToProductList();
        return true;
      default:
        return false;
    }
  }

 private:
  [[nodiscard]] bool SingleDevice() const { return Context()->ProductCount() == 1; }

  // The single device of the run is selected and identified the first time
  // the menu shows.
  void IdentifySingleDevice() {
    if (!SingleDevice() || product_.selection.firstShowingHandled.exchange(true)) {
      return;
    }
    link::ModemContext& context = *Context();
    context.selectedIndex = 0;
    const link::ModemListEntry& entry = context.devices.front();
    product_.selection.marlin = platform::ascii::ContainsNoCase(entry.name, "marlin");
    if (!product_.selection.identifyOnFirstShowing.exchange(false)) {
      return;
    }
    if (SelectProduct(Shared(), product_, Window(), entry.lineDeviceId) == 1) {
      return;  // the navigator is already leaving the page
    }
    Show(kMenuStatusLine1, false);
    Show(kMenuStatusLine2, false);
    for (const int control : kMenuControls) {
      Show(control, true);
    }
    W::SetDlgItemText(Window(), resources::kHeaderId, context.productName);
    ReadSelectedProductFeatures(context, product_.features);
  }

  // '<': forget the product and check the devices again.
  void BackToProductList() {
    link::CloseDevicePort(*Context());
    product_.selection.marlin = false;
    product_.rescue.Clear();
    product_.features.Clear();
    GoTo(resources::kProductListPage);
  }

  device::SelectedProduct& product_;
};

}  // namespace

void RegisterMainMenuPage(shell::PageTable& table, device::SelectedProduct& product) {
  shell::RegisterPage<MainMenuPage>(table, resources::kMainMenuPage, kDescription, product);
}

}  // namespace norix::products
