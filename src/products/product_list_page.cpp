#include "products/product_list_page.h"

#include <algorithm>
#include <cstdint>

#include "link/port_io.h"
#include "link/telephony_devices.h"
#include "platform/window/control_api.h"
#include "platform/window/desktop.h"
#include "platform/window/window_api.h"
#include "products/contains_no_case.h"
#include "products/select_product.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"
#include "shell/program.h"

namespace norix::products {

namespace W = platform::window;

namespace {

// Half a second between the checks and showing the list, so that the last
// progress step is seen.
constexpr std::uint32_t kShowListPauseTenths = 5;

// The list page keeps its template's title: it is placed and made the
// current page as the common set-up does, without the rest of it.
void PlaceListPage(W::HWND page, shell::Program& program) {
  W::Desktop* desktop = W::GetWindowDesktop(page);
  if (desktop == nullptr) {
    return;
  }
  const W::Rect rect = W::GetWindowRect(page);
  const W::Point place =
      program.navigator.PlacePage(page, {rect.Width(), rect.Height()}, desktop->ScreenRect());
  W::SetWindowPosition(page, place);
  W::SetForegroundWindow(page);
  W::ShowWindow(page, W::SW_SHOWNORMAL);
  W::SetWaitCursor(page, false);
}

void Initialise(W::HWND page, shell::Program& program) {
  PlaceListPage(page, program);
  // The template's title is English; the page's title is in the language of
  // the texts, as on every other page.
  shell::SetWindowTextById(page, shell::kPageCaptionText);
  W::ShowWindow(W::GetDlgItem(page, kListHelpControl), W::SW_HIDE);
  W::ShowWindow(W::GetDlgItem(page, shell::kNextArrowId), W::SW_HIDE);
  shell::SetItemText(page, kListHelpControl, kListHelpText);
  shell::SetItemText(page, kListStatusControl, kPleaseWaitText);
}

// Offers every device whose port can be opened now (a quick open: the line
// is free and the port exists), then continues as the count decides.
void CheckDevices(W::HWND page, shell::Program& program) {
  link::ModemContext& context = *program.context;
  const int count = static_cast<int>(context.ProductCount());
  W::SetProgressStep(page, kListProgressControl, 1);
  W::SetProgressRange(page, kListProgressControl, 0, count + 1);
  W::StepProgress(page, kListProgressControl);
  int offered = 0;
  for (const link::ModemListEntry& entry : context.devices) {
    context.currentDeviceId = entry.lineDeviceId;
    if (link::OpenDevicePort(context, kSelectSpeed, true) != nullptr) {
      link::CloseDevicePort(context);
      const int item = W::AddListItem(page, kDeviceListControl, entry.name);
      W::SetListItemData(page, kDeviceListControl, item,
                         static_cast<W::LPARAM>(entry.lineDeviceId));
      W::SetListSelection(page, kDeviceListControl, item);
      W::StepProgress(page, kListProgressControl);
      ++offered;
    }
  }
  if (offered == 0) {
    shell::ShowMessage(page, kNotDetectedText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
    shell::GoToPage(page, shell::kQuitPage);
    return;
  }
  if (offered == 1) {
    context.selectedIndex = 0;
    W::SetListSelection(page, kDeviceListControl, 0);
    W::PostMessage(page, W::WM_COMMAND, W::MAKEWPARAM(shell::kNextArrowId, W::BN_CLICKED), 0);
    return;
  }
  link::WaitTenths(kShowListPauseTenths);
  // The remembered position may lie past the end when fewer devices can be
  // opened than at the last visit; the list then shows its last line rather
  // than no selection, which '>' would take as "nothing to identify".
  W::SetListSelection(page, kDeviceListControl,
                      std::clamp(program.selection.listPosition.load(), 0, offered - 1));
  W::ShowWindow(W::GetDlgItem(page, kListProgressControl), W::SW_HIDE);
  W::ShowWindow(W::GetDlgItem(page, kListStatusControl), W::SW_HIDE);
  W::ShowWindow(W::GetDlgItem(page, kListHelpControl), W::SW_SHOW);
  const W::HWND next = W::GetDlgItem(page, shell::kNextArrowId);
  W::ShowWindow(next, W::SW_SHOW);
  W::SetFocus(next);
}

// '>': selects the chosen device and identifies the product on it.
void SelectChosenDevice(W::HWND page, shell::Program& program) {
  W::SetWaitCursor(page, true);
  // Clicks that come while the product is being identified must not start
  // a second selection.
  W::EnableWindow(W::GetDlgItem(page, shell::kNextArrowId), false);
  const int position = W::GetListSelection(page, kDeviceListControl);
  if (position == W::CB_ERR) {
    shell::GoToPage(page, shell::kMainMenuPage);
    return;
  }
  program.selection.listPosition = position;
  link::ModemContext& context = *program.context;
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
    // Every line of the list names a device of the context; a line that does
    // not is nothing that could be selected.
    shell::ShowMessage(page, kNotDetectedText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
    shell::GoToPage(page, shell::kQuitPage);
    return;
  }
  program.selection.marlin = ContainsNoCase(chosen->name, "marlin").has_value();
  if (SelectProduct(page, chosen->lineDeviceId) == 1) {
    return;
  }
  ReadSelectedProductFeatures(program);
  shell::GoToPage(page, shell::kMainMenuPage);
}

}  // namespace

W::LRESULT ProductListPage(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
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
      CheckDevices(page, *program);
      return 1;
    case W::WM_COMMAND:
      if (W::LOWORD(wParam) == W::IDCANCEL) {
        shell::GoToPage(page, shell::kQuitPage);
        return 1;
      }
      if (W::LOWORD(wParam) == shell::kNextArrowId && W::HIWORD(wParam) == W::BN_CLICKED) {
        SelectChosenDevice(page, *program);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

void RegisterProductListPage(shell::PageTable& table) {
  table.Register(shell::kProductListPage, ProductListPage);
}

}  // namespace norix::products
