#include "isdn/telephone_setting_page.h"

#include <string>
#include <vector>

#include "device/msn_exchange.h"
#include "isdn/check_boxes.h"
#include "isdn/msn_setting_page.h"
#include "isdn/setting_writes.h"
#include "isdn/telephone_setting_plan.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"

namespace norix::isdn {

namespace {

namespace W = platform::window;

constexpr int kAdapterText = 2073;  // "Adapter"
constexpr int kPortText = 2071;     // "A/B port 1"
constexpr int kNoSideText = 2072;   // "Check the boxes Adapter, A/B-port 1, or both ports."

constexpr std::array<shell::PageText, 4> kTexts{{
    {kTelephoneAvailableTextId, 2074},
    {kAdapterHeadingId, kAdapterText},
    {kPortHeadingId, kPortText},
    {kTelephoneWarningTextId, 2080},
}};

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .cancel = resources::kSolanoSettingsPage, .escape = resources::kQuitPage};

int BoxOf(const TelephoneRowIds& row, Side side) {
  return side == Side::kAdapter ? row.adapterBox : row.portBox;
}

class TelephoneSettingPage final : public shell::Page {
 public:
  void OnInit() override {
    for (const TelephoneRowIds& row : kTelephoneRowIds) {
      W::SetEditLimit(Window(), row.field, static_cast<int>(device::kMsnMaxDigits));
    }
    if (!ReadsBack()) {
      for (std::size_t i = 1; i < kTelephoneRowIds.size(); ++i) {
        for (const int id : {kTelephoneRowIds[i].label, kTelephoneRowIds[i].field,
                             kTelephoneRowIds[i].adapterBox, kTelephoneRowIds[i].portBox}) {
          Show(id, false);
        }
      }
    }
  }

  void OnReady() override {
    if (!ReadsBack()) {
      return;
    }
    const W::HWND page = Window();
    W::SetWaitCursor(page, true);
    std::array<device::SlotReading, kSlotsPerSide> adapter{};
    std::array<device::SlotReading, kSlotsPerSide> port{};
    for (std::size_t slot = 0; slot < kSlotsPerSide; ++slot) {
      adapter[slot] = device::ReadNumberSlot(Port(), device::kAdapterSlotStems[slot]);
    }
    for (std::size_t slot = 0; slot < kSlotsPerSide; ++slot) {
      port[slot] = device::ReadNumberSlot(Port(), device::kPortSlotStems[slot]);
    }
    const TelephoneReading reading = BuildTelephoneRows(adapter, port);
    reserved_ = reading.reserved;
    for (std::size_t i = 0; i < reading.rows.size(); ++i) {
      const TelephoneRowIds& ids = kTelephoneRowIds[i];
      W::SetDlgItemText(page, ids.field, reading.rows[i].number);
      SetTicked(page, ids.adapterBox, reading.rows[i].adapter);
      SetTicked(page, ids.portBox, reading.rows[i].port);
    }
    for (const Side side : kSides) {
      ApplySideLimit(side);
    }
    W::SetWaitCursor(page, false);
    if (reading.AnyReserved()) {
      Message(kNumbersKeptText, W::MB_ICONEXCLAMATION);
    }
  }

  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED) {
      return false;
    }
    if (id == resources::kOkArrowId) {
      Write();
      return true;
    }
    for (const TelephoneRowIds& row : kTelephoneRowIds) {
      for (const Side side : kSides) {
        if (id == BoxOf(row, side)) {
          ApplySideLimit(side);
          return true;
        }
      }
    }
    return false;
  }

 private:
  [[nodiscard]] bool ReadsBack() const {
    return Context() != nullptr && Context()->firmwareVersionNumber >= kMsnReadBackVersion;
  }

  [[nodiscard]] bool Ticked(int box) const { return IsTicked(Window(), box); }

  // Fewer than kSideLimit ticks: every unticked box of the side may be
  // ticked; otherwise none. Ticked boxes stay as they are.
  void ApplySideLimit(Side side) {
    int ticked = 0;
    for (const TelephoneRowIds& row : kTelephoneRowIds) {
      ticked += Ticked(BoxOf(row, side)) ? 1 : 0;
    }
    for (const TelephoneRowIds& row : kTelephoneRowIds) {
      if (!Ticked(BoxOf(row, side))) {
        Enable(BoxOf(row, side), ticked < kSideLimit);
      }
    }
  }

  [[nodiscard]] std::string SideName(Side side) const {
    return shell::LoadPageText(Shared(), side == Side::kAdapter ? kAdapterText : kPortText);
  }

  [[nodiscard]] std::string WriteName(const SlotWrite& write) const {
    if (!write.row) {
      return TextWith(Shared(), kRemovedNumberName, SideName(write.side));
    }
    return MsnName(*write.row) + " (" + SideName(write.side) + ")";
  }

  void Write() {
    const W::HWND page = Window();
    const std::size_t rowCount = ReadsBack() ? kTelephoneRowIds.size() : 1;
    std::vector<TelephoneRow> rows;
    bool anyTicked = false;
    for (std::size_t i = 0; i < rowCount; ++i) {
      const TelephoneRowIds& ids = kTelephoneRowIds[i];
      TelephoneRow row{W::GetDlgItemText(page, ids.field), Ticked(ids.adapterBox),
                       Ticked(ids.portBox)};
      anyTicked = anyTicked || row.adapter || row.port;
      rows.push_back(row);
    }
    if (!anyTicked) {
      Message(kNoSideText, W::MB_ICONEXCLAMATION);
      return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const bool written = rows[i].adapter || rows[i].port;
      if (written && !rows[i].number.empty() &&
          !device::IsNumberText(rows[i].number, device::kMsnMaxDigits)) {
        ShowText(Shared(), page, TextWith(Shared(), kBadNumberText, MsnName(i)));
        return;
      }
    }
    const TelephonePlan plan =
        ReadsBack() ? PlanTelephoneWrites(rows, reserved_) : PlanSingleRowWrites(rows.front());
    if (plan.full) {
      ShowText(Shared(), page, TextWith(Shared(), kSideFullText, SideName(*plan.full)));
      return;
    }
    std::vector<SettingWrite> writes;
    for (const SlotWrite& write : plan.writes) {
      writes.push_back({write.Command(), WriteName(write)});
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

  ReservedSlots reserved_{};
};

}  // namespace

void RegisterTelephoneSettingPage(shell::PageTable& pages) {
  shell::RegisterPage<TelephoneSettingPage>(pages, resources::kTelephoneSettingPage, kDescription);
}

}  // namespace norix::isdn
