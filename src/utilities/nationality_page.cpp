#include "utilities/nationality_page.h"

#include <array>

#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "shell/page_frame.h"
#include "shell/program.h"
#include "utilities/nationality_exchange.h"

namespace norix::utilities {

namespace {

namespace W = platform::window;
using shell::PageText;

constexpr int kSelectNationalityText = 2023;
constexpr int kNationalitySetText = 2024;
constexpr int kNationalityNotSupportedText = 2090;

constexpr std::array<PageText, 2> kTexts{{{kNationalityTextId, kSelectNationalityText}, {-1, 0}}};

void ShowFlag(W::HWND page, NationalityState& state, std::uint16_t diallingCode) {
  state.flagPicture = NationalityFlag(diallingCode);
  W::SetControlPicture(page, kFlagPictureId, state.flagPicture);
}

void OnPageReady(shell::Program& program, W::HWND page) {
  NationalityState& state = program.nationality;
  link::ModemContext* context = program.context.get();
  W::SetWaitCursor(page, true);
  state.current = ReadCurrentNationality(context != nullptr ? context->Port() : nullptr,
                                         context != nullptr && context->gciSupport, state.offered);

  W::ResetList(page, kCountryListId);
  for (std::size_t i = 0; i < kNationalityCount; ++i) {
    if (!state.offered[i]) {
      continue;
    }
    const NationalityEntry& entry = kNationalityTable[i];
    const int line = W::AddListItem(page, kCountryListId,
                                    shell::CountryName(program.chrome, static_cast<int>(i)));
    if (line < 0) {
      continue;
    }
    W::SetListItemData(page, kCountryListId, line, entry.diallingCode);
    if (entry.diallingCode == state.current) {
      state.preselectIndex = line;
    }
  }
  // Unknown (0) and unanswered (0xFFFF) countries have no flag.
  ShowFlag(page, state, state.current);
  W::SetListSelection(page, kCountryListId, state.preselectIndex);
  W::SetFocus(W::GetDlgItem(page, kCountryListId));
  W::SetWaitCursor(page, false);
}

void OnSelectionChange(shell::Program& program, W::HWND page) {
  NationalityState& state = program.nationality;
  const int line = W::GetListSelection(page, kCountryListId);
  if (line < 0) {
    return;
  }
  state.selectionChanged = true;
  state.chosenIndex = line;
  state.chosenCode = static_cast<std::uint16_t>(W::GetListItemData(page, kCountryListId, line));
  ShowFlag(page, state, state.chosenCode);
}

void OnOk(shell::Program& program, W::HWND page) {
  NationalityState& state = program.nationality;
  if (!state.selectionChanged) {
    const int line = W::GetListSelection(page, kCountryListId);
    if (line < 0) {
      return;  // an empty list: there is no country to set
    }
    state.chosenIndex = line;
    state.chosenCode = static_cast<std::uint16_t>(W::GetListItemData(page, kCountryListId, line));
  }
  link::ModemContext* context = program.context.get();
  W::SetWaitCursor(page, true);
  const NationalityResult result =
      SetNationality(context != nullptr ? context->Port() : nullptr,
                     context != nullptr && context->gciSupport, state.chosenCode, state.current);
  W::SetWaitCursor(page, false);
  state.selectionChanged = false;

  if (result == NationalityResult::Accepted || result == NationalityResult::Unchanged) {
    shell::ShowMessage(page, kNationalitySetText, shell::kMessageCaptionText,
                       W::MB_ICONEXCLAMATION);
    if (state.afterUpgrade.exchange(false)) {
      shell::GoToPage(page, shell::kMainMenuPage);
    } else {
      shell::GoToPage(page, SettingsPageFor(program.features));
    }
    return;
  }
  shell::ShowMessage(page, kNationalityNotSupportedText, shell::kMessageCaptionText,
                     W::MB_ICONEXCLAMATION);
  shell::GoToPage(page, kNationalityPage);  // the page again, with the product read afresh
}

W::LRESULT NationalityProcedure(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  shell::Program* program = shell::FindProgram(page);
  if (program == nullptr) {
    return 0;
  }
  switch (message) {
    case W::WM_INITDIALOG:
      shell::InitPage(page, kTexts, {});
      program->nationality.flagPicture = 0;
      // A choice left behind with 'X' on an earlier visit is not this
      // visit's: OK without a new choice sets the line shown.
      program->nationality.selectionChanged = false;
      W::PostMessage(page, shell::kPageReady, 0, 0);
      return 1;
    case shell::kPageReady:
      OnPageReady(*program, page);
      return 1;
    case W::WM_COMMAND: {
      const int id = static_cast<int>(W::LOWORD(wParam));
      const unsigned code = W::HIWORD(wParam);
      if (id == W::IDCANCEL) {
        shell::GoToPage(page, shell::kQuitPage);
        return 1;
      }
      if (id == kCountryListId && code == W::CBN_SELCHANGE) {
        OnSelectionChange(*program, page);
        return 1;
      }
      if (id == shell::kOkArrowId && code == W::BN_CLICKED) {
        OnOk(*program, page);
        return 1;
      }
      if (id == shell::kCancelArrowId && code == W::BN_CLICKED) {
        shell::GoToPage(page, SettingsPageFor(program->features));
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace

void RegisterNationalityPage(shell::PageTable& pages) {
  pages.Register(kNationalityPage, NationalityProcedure);
}

}  // namespace norix::utilities
