#include "isdn/komet_msn_page.h"

#include <optional>
#include <string>
#include <vector>

#include "device/msn_exchange.h"
#include "isdn/check_boxes.h"
#include "isdn/komet_numbers_exchange.h"
#include "isdn/setting_writes.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_chrome.h"
#include "shell/page_kit.h"

namespace norix::isdn {

namespace {

namespace W = platform::window;
using device::SlotState;

constexpr std::array<shell::PageText, 7> kTexts{{
    {1051, 2074},              // "Multiple Subscriber Number(s) available"
    {1065, 2073},              // "Adapter"
    {1079, 2204},              // "TEL#1"
    {1080, 2205},              // "TEL#2"
    {1089, 2206},              // "Ringing type"
    {1117, 2222},              // "NOTE: Please refer to the manual how to setup your MSN."
    {kKometWaitTextId, 2102},  // "Please wait..."
}};

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .cancel = resources::kKometSettingsPage, .escape = resources::kQuitPage};

// What a row shows: compared with what it showed after reading, it tells
// whether the user changed the row.
struct RowView {
  std::string number;
  bool adapter = false;
  bool tel1 = false;
  bool tel2 = false;
  int ringing = -1;  // the selected ringing type, -1 none

  bool operator==(const RowView&) const = default;
};

struct RowReading {
  SlotState state = SlotState::kUnknown;
  std::optional<std::uint8_t> attribute;  // read only for a slot holding a number
  RowView shown;
};

class KometMsnPage final : public shell::Page {
 public:
  void OnInit() override {
    for (const KometMsnRowIds& ids : kKometMsnRowIds) {
      for (int type = 0; type < kRingingTypes; ++type) {
        W::AddListItem(Window(), ids.ringing, shell::TypeName(Shared().chrome, type));
      }
      W::SetEditLimit(Window(), ids.field, kKometNumberLimit);
    }
  }

  void OnReady() override {
    const W::HWND page = Window();
    W::SetWaitCursor(page, true);
    bool unread = false;
    for (std::size_t slot = 0; slot < kKometMsnRowIds.size(); ++slot) {
      RowReading& row = rows_[slot];
      const device::SlotReading number = device::ReadNumberSlot(Port(), KometMsnStem(slot));
      row.state = number.state;
      if (number.state == SlotState::kEmpty) {
        row.shown.ringing = 0;
      } else if (number.state == SlotState::kNumber) {
        row.shown.number = number.number;
        row.attribute = ReadAttribute(Port(), KometAttributeStem(slot));
        if (row.attribute) {
          const std::uint8_t value = *row.attribute;
          row.shown.adapter = (value & kAdapterBit) != 0;
          row.shown.tel1 = (value & kTel1Bit) != 0;
          row.shown.tel2 = (value & kTel2Bit) != 0;
          row.shown.ringing = value & kRingingBits;
        }
      }
      unread = unread || number.state == SlotState::kUnknown ||
               (number.state == SlotState::kNumber && !row.attribute);
      Fill(kKometMsnRowIds[slot], row.shown);
      // A type the list does not have selects nothing; read back what shows.
      row.shown = View(kKometMsnRowIds[slot]);
    }
    shell::ShowAllControls(page, true);
    Show(kKometWaitTextId, false);
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
  void Fill(const KometMsnRowIds& ids, const RowView& view) const {
    const W::HWND page = Window();
    W::SetDlgItemText(page, ids.field, view.number);
    SetTicked(page, ids.adapterBox, view.adapter);
    SetTicked(page, ids.tel1Box, view.tel1);
    SetTicked(page, ids.tel2Box, view.tel2);
    W::SetListSelection(page, ids.ringing, view.ringing);
  }

  [[nodiscard]] RowView View(const KometMsnRowIds& ids) const {
    const W::HWND page = Window();
    const int ringing = W::GetListSelection(page, ids.ringing);
    return {W::GetDlgItemText(page, ids.field), IsTicked(page, ids.adapterBox),
            IsTicked(page, ids.tel1Box), IsTicked(page, ids.tel2Box),
            ringing == W::CB_ERR ? -1 : ringing};
  }

  // The attribute value of a row: the ticked sides and the selected ringing
  // type; without a selection the ringing type read (0 when none was).
  static std::uint8_t Attribute(const RowView& view, const RowReading& row) {
    unsigned value = (view.adapter ? kAdapterBit : 0U) | (view.tel1 ? kTel1Bit : 0U) |
                     (view.tel2 ? kTel2Bit : 0U);
    if (view.ringing >= 0) {
      value |= static_cast<unsigned>(view.ringing) & kRingingBits;
    } else if (row.attribute) {
      value |= static_cast<unsigned>(*row.attribute & kRingingBits);
    }
    return static_cast<std::uint8_t>(value);
  }

  // Every field is checked before anything is written. A slot that could
  // not be read is left alone unless the user typed a number into it; an
  // attribute that could not be read is written only when the user changed
  // its row.
  void Write() {
    const W::HWND page = Window();
    std::vector<SettingWrite> writes;
    for (std::size_t slot = 0; slot < kKometMsnRowIds.size(); ++slot) {
      const RowReading& row = rows_[slot];
      const RowView view = View(kKometMsnRowIds[slot]);
      if (row.state == SlotState::kUnknown && view.number.empty()) {
        continue;
      }
      const std::string name = MsnName(slot);
      if (view.number.empty()) {
        writes.push_back({KometMsnStem(slot) + "=", name});
        continue;
      }
      if (!device::IsNumberText(view.number, device::kMsnMaxDigits)) {
        ShowText(Shared(), page, TextWith(Shared(), kBadNumberText, name));
        return;
      }
      writes.push_back({KometMsnStem(slot) + "=" + view.number, name});
      const bool attributeUnread = row.state == SlotState::kNumber && !row.attribute;
      if (attributeUnread && view == row.shown) {
        continue;
      }
      writes.push_back({AttributeCommand(KometAttributeStem(slot), Attribute(view, row)),
                        TextWith(Shared(), kKometSidesName, name)});
    }
    W::SetWaitCursor(page, true);
    const auto failure = SendSettingWrites(Port(), writes);
    W::SetWaitCursor(page, false);
    if (failure) {
      ShowWriteFailure(Shared(), page, writes[failure->index], failure->result);
      return;
    }
    Message(kMsnSuccessText, W::MB_ICONEXCLAMATION);
    GoTo(resources::kKometSettingsPage);
  }

  std::array<RowReading, kKometMsnSlots> rows_{};
};

}  // namespace

void RegisterKometMsnPage(shell::PageTable& pages) {
  shell::RegisterPage<KometMsnPage>(pages, resources::kKometMsnPage, kDescription);
}

}  // namespace norix::isdn
