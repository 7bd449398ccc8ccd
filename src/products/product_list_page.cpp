#include "products/product_list_page.h"

#include <algorithm>
#include <cstdint>

#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/ascii/ascii_text.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "products/select_product.h"
#include "resources/resource_ids.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

namespace norix::products {

namespace W = platform::window;

namespace {

// The list page keeps its template's title: the kit only places it.
constexpr shell::PageDescription kDescription{.commonSetUp = false};

class ProductListPage final : public shell::Page {
 public:
  explicit ProductListPage(device::SelectedProduct& product) : product_(product) {}

  void OnInit() override {
    // The template's title is English; the page's title is in the language of
    // the texts, as on every other page.
    shell::SetWindowTextById(Window(), shell::kPageCaptionText);
    Show(kListHelpControl, false);
    Show(resources::kNextArrowId, false);
    SetText(kListHelpControl, kListHelpText);
    SetText(kListStatusControl, kPleaseWaitText);
  }

  void OnReady() override { CheckDevices(); }

  bool OnCommand(int id, unsigned code) override {
    if (id == resources::kNextArrowId && code == W::BN_CLICKED) {
      SelectChosenDevice();
      return true;
    }
    return false;
  }

 private:
  // Offers every device whose port can be opened now (a quick open: the
  // line is free and the port exists), then continues as the count decides.
  // Why a device is left out goes to stderr.
  void CheckDevices() {
    if (Context() == nullptr) {
      return;
    }
    const W::HWND page = Window();
    link::ModemContext& context = *Context();
    const int count = static_cast<int>(context.ProductCount());
    W::SetProgressStep(page, kListProgressControl, 1);
    W::SetProgressRange(page, kListProgressControl, 0, count + 1);
    W::StepProgress(page, kListProgressControl);
    int offered = 0;
    for (const link::ModemListEntry& entry : context.devices) {
      if (Closing()) {
        return;  // a restart or the end of the run: the next page checks again
      }
      context.currentDeviceId = entry.lineDeviceId;
      if (link::OpenDevicePort(context, kSelectSpeed, true) != nullptr) {
        link::CloseDevicePort(context);
        const int item = W::AddListItem(page, kDeviceListControl, entry.name);
        W::SetListItemData(page, kDeviceListControl, item,
                           static_cast<W::LPARAM>(entry.lineDeviceId));
        W::SetListSelection(page, kDeviceListControl, item);
        W::StepProgress(page, kListProgressControl);
        ++offered;
      } else {
        link::ReportPortFailure(context);  // why the device is left out
      }
    }
    if (Closing()) {
      return;
    }
    if (offered == 0) {
      Message(kNotDetectedText, W::MB_ICONEXCLAMATION);
      GoTo(resources::kQuitPage);
      return;
    }
    if (offered == 1) {
      context.selectedIndex = 0;
      W::SetListSelection(page, kDeviceListControl, 0);
      W::PostMessage(page, W::WM_COMMAND, W::MAKEWPARAM(resources::kNextArrowId, W::BN_CLICKED), 0);
      return;
    }
    link::WaitTenths(product_.selection.showListPauseTenths);
    // The remembered position may lie past the end when fewer devices can be
    // opened than at the last visit; the list then shows its last line rather
    // than no selection, which '>' would take as "nothing to identify".
    W::SetListSelection(page, kDeviceListControl,
                        std::clamp(product_.selection.listPosition.load(), 0, offered - 1));
    Show(kListProgressControl, false);
    Show(kListStatusControl, false);
    Show(kListHelpControl, true);
    Show(resources::kNextArrowId, true);
    W::SetFocus(W::GetDlgItem(page, resources::kNextArrowId));
  }

  // '>': selects the chosen device and identifies the product on it.
  void SelectChosenDevice() {
    if (Context() == nullptr) {
      return;
    }
    const W::HWND page = Window();
    W::SetWaitCursor(page, true);
    // Clicks that come while the product is being identified must not start
    // a second selection.
    Enable(resources::kNextArrowId, false);
    const int position = W::GetListSelection(page, kDeviceListControl);
    if (position == W::CB_ERR) {
      GoTo(resources::kMainMenuPage);
      return;
    }
    product_.selection.listPosition = position;
    link::ModemContext& context = *Context();
    const W::LPARAM data = W::GetListItemData(page, kDeviceListControl, position);
    const link::ModemListEntry* chosen = nullptr;
    for (std::size_t i = 0; i < context.devices.size(); ++i) {
      if (static_cast<W::LPARAM>(context.devices[i].lineDeviceId) == data) {
        context.selectedIndex = static_cast<std::int32_t>(i);
        chosen = &context.devices[i];
        break;
      }
    }
    link::CloseDevicePort(context);
    if (chosen == nullptr) {
      // Every line of the list names a device of the context; a line that
      // does not is nothing that could be selected.
      Message(kNotDetectedText, W::MB_ICONEXCLAMATION);
      GoTo(resources::kQuitPage);
      return;
    }
    product_.selection.marlin = platform::ascii::ContainsNoCase(chosen->name, "marlin");
    if (SelectProduct(Shared(), product_, page, chosen->lineDeviceId) == 1) {
      return;
    }
    ReadSelectedProductFeatures(context, product_.features);
    GoTo(resources::kMainMenuPage);
  }

  device::SelectedProduct& product_;
};

}  // namespace

void RegisterProductListPage(shell::PageTable& table, device::SelectedProduct& product) {
  shell::RegisterPage<ProductListPage>(table, resources::kProductListPage, kDescription, product);
}

}  // namespace norix::products
