#include "isdn/komet_local_page.h"

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

constexpr int kTwoDigitHeading = 2328;  // "Local telephone numbers (2 Digits)"
constexpr int kOneDigitHeading = 2211;  // "Local telephone numbers (1 Digit)"
constexpr int kTwoDigitsOnlyText = 2224;
constexpr int kLocalSuccessText = 2218;

constexpr std::array<shell::PageText, 5> kTexts{{
    {1079, 2204},              // "TEL#1"
    {1080, 2205},              // "TEL#2"
    {1089, 2206},              // "Ringing type"
    {1082, 2213},              // "Type in your own preferred local telephone numbers, ..."
    {kLocalWaitTextId, 2102},  // "Please wait..."
}};

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .cancel = resources::kKometSettingsPage, .escape = resources::kQuitPage};

constexpr std::array<char, 2> kPrefixSymbols{'#', '*'};

struct RowView {
  std::string number;
  bool tel1 = false;
  bool tel2 = false;
  int ringing = -1;

  bool operator==(const RowView&) const = default;
};

struct RowReading {
  SlotState state = SlotState::kUnknown;
  std::optional<std::uint8_t> attribute;
  RowView shown;
  bool portClicked = false;  // the user clicked one of the row's port choices
};

class KometLocalPage final : public shell::Page {
 public:
  void OnInit() override {
    for (const int box : {kFirstPrefixId, kSecondPrefixId}) {
      for (const char symbol : kPrefixSymbols) {
        W::AddListItem(Window(), box, std::string(1, symbol));
      }
    }
    for (const LocalRowIds& ids : kLocalRowIds) {
      for (int type = 0; type < kRingingTypes; ++type) {
        W::AddListItem(Window(), ids.ringing, shell::TypeName(Shared().chrome, type));
      }
    }
  }

  void OnReady() override {
    const W::HWND page = Window();
    W::SetWaitCursor(page, true);
    prefix_ = ReadLocalPrefix(Port());
    const bool oneDigit = prefix_.mode == LocalMode::kOneDigit;
    switch (prefix_.mode) {
      case LocalMode::kTwoDigits:
        SetText(kLocalHeadingId, kTwoDigitHeading);
        break;
      case LocalMode::kOneDigit:
        SetText(kLocalHeadingId, kOneDigitHeading);
        break;
      case LocalMode::kUnknown:
        SetText(kLocalHeadingId, kLocalHeadingText);
        break;
    }
    if (prefix_.mode != LocalMode::kUnknown) {
      W::SetListSelection(page, kFirstPrefixId, SymbolIndex(prefix_.first));
    }
    if (oneDigit) {
      W::SetListSelection(page, kSecondPrefixId, SymbolIndex(prefix_.second));
    }
    bool unread = false;
    for (std::size_t slot = 0; slot < kLocalRowIds.size(); ++slot) {
      unread = !ReadRow(slot, oneDigit) || unread;
    }
    shell::ShowAllControls(page, true);
    Show(kLocalWaitTextId, false);
    for (int line = kFirstTwoDigitLine; line <= kLastTwoDigitLine; ++line) {
      Show(line, !oneDigit);
    }
    for (int line = kFirstOneDigitLine; line <= kLastOneDigitLine; ++line) {
      Show(line, oneDigit);
    }
    Show(kSecondPrefixId, oneDigit);
    W::SetWaitCursor(page, false);
    if (prefix_.mode == LocalMode::kUnknown) {
      Message(kPrefixUnreadText, W::MB_ICONEXCLAMATION);
    }
    if (unread) {
      Message(kUnreadSettingsText, W::MB_ICONEXCLAMATION);
    }
  }

  bool OnCommand(int id, unsigned code) override {
    if ((id == kFirstPrefixId || id == kSecondPrefixId) && code == W::CBN_SELCHANGE) {
      prefixChosen_ = true;
      return true;
    }
    if (code != W::BN_CLICKED) {
      return false;
    }
    if (id == resources::kOkArrowId) {
      Write();
      return true;
    }
    for (std::size_t slot = 0; slot < kLocalRowIds.size(); ++slot) {
      if (id == kLocalRowIds[slot].tel1 || id == kLocalRowIds[slot].tel2) {
        rows_[slot].portClicked = true;
        return true;
      }
    }
    return false;
  }

 private:
  static int SymbolIndex(char symbol) { return symbol == kPrefixSymbols[1] ? 1 : 0; }

  // Reads and shows one row; false when something of it could not be read.
  bool ReadRow(std::size_t slot, bool oneDigit) {
    const W::HWND page = Window();
    const LocalRowIds& ids = kLocalRowIds[slot];
    RowReading& row = rows_[slot];
    W::SetEditLimit(page, ids.field, oneDigit ? 1 : static_cast<int>(kLocalNumberDigits));
    // A longer number than any mode takes is unknown: the field would cut it.
    const device::SlotReading number =
        device::ReadNumberSlot(Port(), LocalNumberStem(slot), kLocalNumberDigits);
    row.state = number.state;
    if (number.state == SlotState::kEmpty) {
      W::SetListSelection(page, ids.ringing, 0);
    } else if (number.state == SlotState::kNumber) {
      // One-digit mode shows a longer stored number as the row's default
      // digit, "1" for the first row up to "6".
      const std::string text = oneDigit && number.number.size() > 1
                                   ? std::string(1, static_cast<char>('1' + slot))
                                   : number.number;
      W::SetDlgItemText(page, ids.field, text);
      row.attribute = ReadAttribute(Port(), LocalAttributeStem(slot));
      if (row.attribute) {
        // The adapter may ring both ports; both choices then show it.
        const std::uint8_t value = *row.attribute;
        SetTicked(page, ids.tel1, (value & kTel1Bit) != 0);
        SetTicked(page, ids.tel2, (value & kTel2Bit) != 0);
        W::SetListSelection(page, ids.ringing, value & kRingingBits);
      }
    }
    row.shown = View(ids);
    return number.state != SlotState::kUnknown &&
           (number.state != SlotState::kNumber || row.attribute.has_value());
  }

  [[nodiscard]] RowView View(const LocalRowIds& ids) const {
    const W::HWND page = Window();
    const int ringing = W::GetListSelection(page, ids.ringing);
    return {W::GetDlgItemText(page, ids.field), IsTicked(page, ids.tel1), IsTicked(page, ids.tel2),
            ringing == W::CB_ERR ? -1 : ringing};
  }

  [[nodiscard]] std::optional<char> ChosenSymbol(int box) const {
    const int line = W::GetListSelection(Window(), box);
    if (line < 0 || line >= static_cast<int>(kPrefixSymbols.size())) {
      return std::nullopt;
    }
    return kPrefixSymbols[static_cast<std::size_t>(line)];
  }

  // The ports of a row: as read until the user clicks one of its choices
  // (the adapter may ring both, which one radio pair cannot show).
  static std::uint8_t Attribute(const RowView& view, const RowReading& row) {
    unsigned value = 0;
    if (!row.portClicked && row.attribute) {
      value = static_cast<unsigned>(*row.attribute & (kTel1Bit | kTel2Bit));
    } else {
      value = (view.tel1 ? kTel1Bit : 0U) | (view.tel2 ? kTel2Bit : 0U);
    }
    if (view.ringing >= 0) {
      value |= static_cast<unsigned>(view.ringing) & kRingingBits;
    } else if (row.attribute) {
      value |= static_cast<unsigned>(*row.attribute & kRingingBits);
    }
    return static_cast<std::uint8_t>(value);
  }

  // The prefix to write: the one read, with the user's choices; none when it
  // could not be read and the user chose none. A prefix chosen when none
  // could be read is a two-digit one: the page offers only the first box.
  [[nodiscard]] std::optional<LocalPrefix> PrefixToWrite() const {
    if (prefix_.mode == LocalMode::kUnknown && !prefixChosen_) {
      return std::nullopt;
    }
    LocalPrefix prefix = prefix_;
    if (prefix.mode == LocalMode::kUnknown) {
      prefix.mode = LocalMode::kTwoDigits;
    }
    const auto first = ChosenSymbol(kFirstPrefixId);
    const auto second = ChosenSymbol(kSecondPrefixId);
    if (!first || (prefix.mode == LocalMode::kOneDigit && !second)) {
      return std::nullopt;
    }
    prefix.first = *first;
    prefix.second = second.value_or(*first);
    return prefix;
  }

  void Write() {
    const W::HWND page = Window();
    const std::optional<LocalPrefix> prefix = PrefixToWrite();
    const LocalMode mode = prefix ? prefix->mode : LocalMode::kUnknown;
    const std::size_t digits = mode == LocalMode::kOneDigit ? 1 : kLocalNumberDigits;
    std::array<RowView, kLocalNumberSlots> views{};
    for (std::size_t slot = 0; slot < kLocalRowIds.size(); ++slot) {
      views[slot] = View(kLocalRowIds[slot]);
      if (mode == LocalMode::kTwoDigits && views[slot].number.size() == 1) {
        Message(kTwoDigitsOnlyText, W::MB_ICONEXCLAMATION);
        return;
      }
    }
    std::vector<SettingWrite> writes;
    for (std::size_t slot = 0; slot < kLocalRowIds.size(); ++slot) {
      const RowReading& row = rows_[slot];
      const RowView& view = views[slot];
      if (row.state == SlotState::kUnknown && view.number.empty()) {
        continue;
      }
      const std::string name = TextWith(Shared(), kLocalNumberName, std::to_string(slot + 1));
      if (view.number.empty()) {
        writes.push_back({LocalNumberStem(slot) + "=", name});
        continue;
      }
      if (!device::IsNumberText(view.number, digits)) {
        ShowText(Shared(), page, TextWith(Shared(), kBadNumberText, name));
        return;
      }
      writes.push_back({LocalNumberStem(slot) + "=" + view.number, name});
      const bool attributeUnread = row.state == SlotState::kNumber && !row.attribute;
      if (attributeUnread && view == row.shown && !row.portClicked) {
        continue;
      }
      writes.push_back({AttributeCommand(LocalAttributeStem(slot), Attribute(view, row)),
                        TextWith(Shared(), kLocalPortName, name)});
    }
    if (prefix) {
      const std::string name = TextWith(Shared(), kLocalPrefixName, "");
      writes.push_back({LocalPrefixCommand(*prefix), name});
      writes.push_back({PrefixPartnerCommand(*prefix), name});
    }
    W::SetWaitCursor(page, true);
    const auto failure = SendSettingWrites(Port(), writes);
    W::SetWaitCursor(page, false);
    if (failure) {
      ShowWriteFailure(Shared(), page, writes[failure->index], failure->result);
      return;
    }
    Message(kLocalSuccessText, W::MB_ICONEXCLAMATION);
    GoTo(resources::kKometSettingsPage);
  }

  LocalPrefix prefix_;
  bool prefixChosen_ = false;
  std::array<RowReading, kLocalNumberSlots> rows_{};
};

}  // namespace

void RegisterKometLocalPage(shell::PageTable& pages) {
  shell::RegisterPage<KometLocalPage>(pages, resources::kKometLocalPage, kDescription);
}

}  // namespace norix::isdn
