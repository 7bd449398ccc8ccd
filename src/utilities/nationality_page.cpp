#include "utilities/nationality_page.h"

#include <array>

#include "device/nationality_exchange.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_kit.h"

namespace norix::utilities {

namespace {

namespace W = platform::window;
using shell::PageText;

constexpr int kSelectNationalityText = 2023;
constexpr int kNationalitySetText = 2024;
constexpr int kNationalityNotSupportedText = 2090;

constexpr std::array<PageText, 2> kTexts{{{kNationalityTextId, kSelectNationalityText}, {-1, 0}}};

constexpr shell::PageDescription kDescription{.texts = kTexts, .escape = resources::kQuitPage};

class NationalityPage final : public shell::Page {
 public:
  explicit NationalityPage(device::SelectedProduct& product) : product_(product) {}

  void OnInit() override {
    state_.flagPicture = 0;
    // A choice left behind with 'X' on an earlier visit is not this visit's:
    // OK without a new choice sets the line shown.
    state_.selectionChanged = false;
  }

  void OnReady() override {
    const W::HWND page = Window();
    const link::ModemContext* context = Context();
    W::SetWaitCursor(page, true);
    state_.current = device::ReadCurrentNationality(
        Port(), context != nullptr && context->gciSupport, state_.offered);

    W::ResetList(page, kCountryListId);
    for (std::size_t i = 0; i < device::kNationalityCount; ++i) {
      if (!state_.offered[i]) {
        continue;
      }
      const device::NationalityEntry& entry = device::kNationalityTable[i];
      const int line = W::AddListItem(page, kCountryListId,
                                      shell::CountryName(Shared().chrome, static_cast<int>(i)));
      if (line < 0) {
        continue;
      }
      W::SetListItemData(page, kCountryListId, line, entry.diallingCode);
      if (entry.diallingCode == state_.current) {
        state_.preselectIndex = line;
      }
    }
    // Unknown (0) and unanswered (0xFFFF) countries have no flag.
    ShowFlag(state_.current);
    W::SetListSelection(page, kCountryListId, state_.preselectIndex);
    W::SetFocus(W::GetDlgItem(page, kCountryListId));
    W::SetWaitCursor(page, false);
  }

  bool OnCommand(int id, unsigned code) override {
    if (id == kCountryListId && code == W::CBN_SELCHANGE) {
      OnSelectionChange();
      return true;
    }
    if (id == resources::kOkArrowId && code == W::BN_CLICKED) {
      OnOk();
      return true;
    }
    if (id == resources::kCancelArrowId && code == W::BN_CLICKED) {
      // Left without a setting: a later visit from the menu is no longer
      // the one the upgrade asked for.
      state_.afterUpgrade = false;
      GoTo(device::SettingsPageFor(product_.features));
      return true;
    }
    return false;
  }

 private:
  void ShowFlag(std::uint16_t diallingCode) {
    state_.flagPicture = device::NationalityFlag(diallingCode);
    W::SetControlPicture(Window(), kFlagPictureId, state_.flagPicture);
  }

  void OnSelectionChange() {
    const int line = W::GetListSelection(Window(), kCountryListId);
    if (line < 0) {
      return;
    }
    state_.selectionChanged = true;
    state_.chosenIndex = line;
    state_.chosenCode =
        static_cast<std::uint16_t>(W::GetListItemData(Window(), kCountryListId, line));
    ShowFlag(state_.chosenCode);
  }

  void OnOk() {
    const W::HWND page = Window();
    if (!state_.selectionChanged) {
      const int line = W::GetListSelection(page, kCountryListId);
      if (line < 0) {
        return;  // an empty list: there is no country to set
      }
      state_.chosenIndex = line;
      state_.chosenCode =
          static_cast<std::uint16_t>(W::GetListItemData(page, kCountryListId, line));
    }
    const link::ModemContext* context = Context();
    W::SetWaitCursor(page, true);
    const device::NationalityResult result = device::SetNationality(
        Port(), context != nullptr && context->gciSupport, state_.chosenCode, state_.current);
    W::SetWaitCursor(page, false);
    state_.selectionChanged = false;

    if (result == device::NationalityResult::Accepted ||
        result == device::NationalityResult::Unchanged) {
      Message(kNationalitySetText, W::MB_ICONEXCLAMATION);
      if (state_.afterUpgrade.exchange(false)) {
        GoTo(resources::kMainMenuPage);
      } else {
        GoTo(device::SettingsPageFor(product_.features));
      }
      return;
    }
    Message(kNationalityNotSupportedText, W::MB_ICONEXCLAMATION);
    GoTo(resources::kNationalityPage);  // the page again, with the product read afresh
  }

  device::SelectedProduct& product_;
  device::NationalityState& state_ = product_.nationality;
};

}  // namespace

void RegisterNationalityPage(shell::PageTable& pages, device::SelectedProduct& product) {
  shell::RegisterPage<NationalityPage>(pages, resources::kNationalityPage, kDescription, product);
}

}  // namespace norix::utilities
