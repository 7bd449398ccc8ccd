#include "isdn/msn_setting_page.h"

#include <string>
#include <vector>

#include "device/msn_exchange.h"
#include "isdn/setting_writes.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_kit.h"

namespace norix::isdn {

namespace {

namespace W = platform::window;
using device::SlotState;

constexpr std::array<shell::PageText, 2> kTexts{{
    {kMsnAvailableTextId, 2074},  // "Multiple Subscriber Number(s) available"
    {kMsnWarningTextId, 2078},    // blank fields erase the numbers installed
}};

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .cancel = resources::kSolanoSettingsPage, .escape = resources::kQuitPage};

class MsnSettingPage final : public shell::Page {
 public:
  void OnInit() override {
    for (const int field : kMsnFieldIds) {
      W::SetEditLimit(Window(), field, static_cast<int>(device::kMsnMaxDigits));
    }
    if (!ReadsBack()) {
      for (std::size_t row = 1; row < kMsnFieldIds.size(); ++row) {
        Show(kMsnLabelIds[row], false);
        Show(kMsnFieldIds[row], false);
      }
    }
  }

  void OnReady() override {
    // Old firmware reads nothing back: MSN#1 starts empty and OK writes it
    // as the user leaves it, as the warning on the page says.
    if (!ReadsBack()) {
      readings_[0].state = SlotState::kEmpty;
      return;
    }
    const W::HWND page = Window();
    W::SetWaitCursor(page, true);
    bool unread = false;
    for (std::size_t row = 0; row < kMsnFieldIds.size(); ++row) {
      readings_[row] = device::ReadNumberSlot(Port(), device::kAdapterSlotStems[row]);
      W::SetDlgItemText(page, kMsnFieldIds[row], readings_[row].number);
      unread = unread || readings_[row].state == SlotState::kUnknown;
    }
    W::SetWaitCursor(page, false);
    if (unread) {
      Message(kUnreadSettingsText, W::MB_ICONEXCLAMATION);
    }
  }

  bool OnCommand(int id, unsigned code) override {
    if (id != resources::kOkArrowId || code != W::BN_CLICKED) {
      return false;
    }
    Write();
    return true;
  }

 private:
  [[nodiscard]] bool ReadsBack() const {
    return Context() != nullptr && Context()->firmwareVersionNumber >= kMsnReadBackVersion;
  }

  // Checks every field first, so that nothing is written when one is wrong;
  // a slot that could not be read is left alone unless the user typed a
  // number into it.
  void Write() {
    const W::HWND page = Window();
    const std::size_t rows = ReadsBack() ? kMsnFieldIds.size() : 1;
    std::vector<SettingWrite> writes;
    for (std::size_t row = 0; row < rows; ++row) {
      const std::string text = W::GetDlgItemText(page, kMsnFieldIds[row]);
      if (readings_[row].state == SlotState::kUnknown && text.empty()) {
        continue;
      }
      if (!text.empty() && !device::IsNumberText(text, device::kMsnMaxDigits)) {
        ShowText(Shared(), page, TextWith(Shared(), kBadNumberText, MsnName(row)));
        return;
      }
      writes.push_back({std::string(device::kAdapterSlotStems[row]) + "=" + text, MsnName(row)});
    }
    W::SetWaitCursor(page, true);
    const auto failure = SendSettingWrites(Port(), writes);
    W::SetWaitCursor(page, false);
    if (failure) {
      ShowWriteFailure(Shared(), page, writes[failure->index], failure->result);
      return;
    }
    Message(kMsnSuccessText, W::MB_ICONEXCLAMATION);
    GoTo(resources::kSolanoSettingsPage);
  }

  std::array<device::SlotReading, 3> readings_{};
};

}  // namespace

void RegisterMsnSettingPage(shell::PageTable& pages) {
  shell::RegisterPage<MsnSettingPage>(pages, resources::kMsnSettingPage, kDescription);
}

}  // namespace norix::isdn
