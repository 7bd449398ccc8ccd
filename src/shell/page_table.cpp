#include "shell/page_table.h"

#include <utility>

#include "platform/window/window_api.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"

namespace norix::shell {

namespace W = platform::window;

namespace {

constexpr std::array<std::uint16_t, kPageCount> kTemplateIds{
    102, 101, 105, 108, 106, 103, 109, 126, 147, 128, 129, 143,
    144, 148, 150, 152, 111, 112, 131, 113, 115, 114, 116, 151};

}  // namespace

PageTable::PageTable() {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].templateId = kTemplateIds[i];
    rows_[i].procedure = PlainPageProcedure;
  }
  rows_[2].procedure = IgnoreEveryMessage;
  rows_[4].procedure = IgnoreEveryMessage;
  rows_[23].procedure = HandleEveryMessage;
}

bool PageTable::Register(int index, W::DialogProc procedure) {
  if (index < 0 || index >= kPageCount || !procedure) {
    return false;
  }
  rows_[static_cast<std::size_t>(index)].procedure = std::move(procedure);
  return true;
}

const PageRow* PageTable::Row(int index) const {
  if (index < 0 || index >= kPageCount) {
    return nullptr;
  }
  return &rows_[static_cast<std::size_t>(index)];
}

W::LRESULT IgnoreEveryMessage(W::HWND /*page*/, UINT /*message*/, W::WPARAM /*wParam*/,
                              W::LPARAM /*lParam*/) {
  return 0;
}

W::LRESULT HandleEveryMessage(W::HWND /*page*/, UINT /*message*/, W::WPARAM /*wParam*/,
                              W::LPARAM /*lParam*/) {
  return 1;
}

W::LRESULT PlainPageProcedure(W::HWND page, UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  if (const W::LRESULT handled = HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  if (message == W::WM_INITDIALOG) {
    InitPage(page, {}, {});
    W::PostMessage(page, kPageReady, 0, 0);
    return 1;
  }
  if (message == W::WM_COMMAND && W::LOWORD(wParam) == W::IDCANCEL) {
    GoToPage(page, kQuitPage);
    return 1;
  }
  return 0;
}

}  // namespace norix::shell
