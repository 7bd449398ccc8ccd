#include "shell/page_table.h"

#include <utility>

#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_kit.h"

namespace norix::shell {

namespace W = platform::window;

PageTable::PageTable() {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].templateId = static_cast<std::uint16_t>(resources::kPageTemplates[i]);
    rows_[i].procedure = PlainPageProcedure;
  }
  rows_[resources::kUnusedListsPage].procedure = IgnoreEveryMessage;
  rows_[resources::kUnusedSliderPage].procedure = IgnoreEveryMessage;
  rows_[resources::kUnusedEntryPage].procedure = HandleEveryMessage;
}

bool PageTable::Register(int index, W::DialogProc procedure) {
  if (index < 0 || index >= resources::kPageCount || !procedure) {
    return false;
  }
  rows_[static_cast<std::size_t>(index)].procedure = std::move(procedure);
  return true;
}

const PageRow* PageTable::Row(int index) const {
  if (index < 0 || index >= resources::kPageCount) {
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
  // The frame only: no texts, no hooks; Esc quits.
  static const PageDescription kDescription{};
  static const PageFactory kMake = [] { return std::make_unique<Page>(); };
  return RunPage(kDescription, kMake, page, message, wParam, lParam);
}

}  // namespace norix::shell
