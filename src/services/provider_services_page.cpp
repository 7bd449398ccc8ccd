#include "services/provider_services_page.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "platform/window/control_api.h"
#include "platform/window/message_box.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "services/provider_services_exchange.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

namespace norix::services {

namespace {

namespace W = platform::window;

constexpr std::array<int, 11> kServiceControls = {
    kExtraSettingBox,  kNumberEdit,         kCancelNumber,     kActivationPrefix,
    kActivationSuffix, kCancelSuffix,       kActivationDigits, kCancelDigits,
    kNumberSuffix,     kCancelNumberSuffix, kCancelPrefix};
constexpr std::array<int, 3> kLineControls = {kLineFunctionList, kKeyLabel, kKeyDigit};
constexpr std::array<int, 8> kCugControls = {kDataLabel,       kTeleLabel,        kTeleInsideRadio,
                                             kDataInsideRadio, kTeleOutsideRadio, kDataOutsideRadio,
                                             kCugCodeEdit,     kCodeLabel};
constexpr std::array<int, 2> kDataPortControls = {kRingBox, kCallerIdBox};
constexpr std::array<int, 10> kPortabilityControls = {1192, 1193, 1194, 1195, 1196,
                                                      1197, 1198, 1199, 1200, 1201};
// The labels that show the portability character.
constexpr std::array<int, 6> kPortabilityKeyLabels = {1193, 1194, 1196, 1198, 1199, 1201};
// The "*"/"#" lists, each with its character of the record on display.
constexpr std::array<int, 6> kKeyLists = {kActivationPrefix, kActivationSuffix,
                                          kNumberSuffix,     kCancelPrefix,
                                          kCancelSuffix,     kCancelNumberSuffix};
constexpr std::array<char, 2> kKeys = {'*', '#'};

std::span<const int> ControlsOf(std::uint16_t group) {
  switch (group) {
    case kSupplementaryGroup:
      return kServiceControls;
    case kMultipleLinesGroup:
      return kLineControls;
    case kClosedUserGroup:
      return kCugControls;
    case kDataPortGroup:
      return kDataPortControls;
    case kPortabilityGroup:
      return kPortabilityControls;
    default:
      return {};
  }
}

constexpr std::array<shell::PageText, 11> kTexts{{
    {kEnableBox, kEnableServiceText},
    {kRingBox, kRingText},
    {kCallerIdBox, kCallerIdText},
    {kTeleLabel, 2305},
    {kDataLabel, 2306},
    {kCodeLabel, 2304},
    {kTeleInsideRadio, 2302},
    {kTeleOutsideRadio, 2303},
    {kDataInsideRadio, 2302},
    {kDataOutsideRadio, 2303},
    {-1, 0},
}};

// Help modes: which help text is on display, so that the pointer moving
// over the controls of one line does not load it again.
enum HelpMode : std::uint8_t {
  kNoHelp = 0,
  kActivationHelpMode = 1,
  kCancelHelpMode = 2,
  kTeleInsideHelp = 3,
  kTeleOutsideHelp = 4,
  kDataInsideHelp = 5,
  kDataOutsideHelp = 6,
  kCodeHelp = 7,
  kRingHelp = 8,
  kCallerIdHelp = 9,
  kPortHelpMode = 10,
  kCollectHelpMode = 11,
};

HelpMode HelpModeOf(int control) {
  switch (control) {
    case kActivationDigits:
    case kActivationPrefix:
    case kActivationSuffix:
    case kNumberEdit:
    case kNumberSuffix:
      return kActivationHelpMode;
    case kCancelDigits:
    case kCancelPrefix:
    case kCancelSuffix:
    case kCancelNumberSuffix:
    case kCancelNumber:
      return kCancelHelpMode;
    case kTeleInsideRadio:
      return kTeleInsideHelp;
    case kTeleOutsideRadio:
      return kTeleOutsideHelp;
    case kDataInsideRadio:
      return kDataInsideHelp;
    case kDataOutsideRadio:
      return kDataOutsideHelp;
    case kCugCodeEdit:
      return kCodeHelp;
    case kRingBox:
      return kRingHelp;
    case kCallerIdBox:
      return kCallerIdHelp;
    default:
      if (control >= kFirstPortKey && control < kFirstPortKey + 5) {
        return kPortHelpMode;
      }
      if (control >= kFirstCollectKey && control < kFirstCollectKey + 5) {
        return kCollectHelpMode;
      }
      return kNoHelp;
  }
}

// The help text of each mode that is not a record's own.
constexpr std::array<int, 12> kFixedHelpTexts = {0,    0,    0,    2318, 2319,      2320,
                                                 2321, 2317, 2323, 2324, kPortHelp, kCollectHelp};

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .cancel = resources::kKometSettingsPage, .escape = resources::kQuitPage};

class ProviderServicesPage final : public shell::Page {
 public:
  explicit ProviderServicesPage(ProviderServices& records) : records_(records) {}

  void OnInit() override {
    const W::HWND page = Window();
    for (const int edit : {kActivationDigits, kCancelDigits, kNumberEdit}) {
      W::SetEditCharFilter(page, edit, kDialCharacters);
    }
    W::SetEditCharFilter(page, kCugCodeEdit, "0123456789");
    ShowNoGroup();
    SetText(kStatusText, kPleaseWaitText);
    W::SetEditLimit(page, kKeyDigit, 1);
    for (const int list : kKeyLists) {
      for (const char key : kKeys) {
        W::AddListItem(page, list, std::string(1, key));
      }
    }
    W::SetEditLimit(page, kActivationDigits, static_cast<int>(kDigitsLength));
    W::SetEditLimit(page, kCancelDigits, static_cast<int>(kDigitsLength));
    W::SetEditLimit(page, kNumberEdit, static_cast<int>(kNumberLength));
    W::SetEditLimit(page, kCancelNumber, static_cast<int>(kNumberLength));
  }

  void OnReady() override {
    const W::HWND page = Window();
    const int countryCode = Shared().countryCode;
    W::SetWaitCursor(page, true);
    const ServiceOffer offer = LoadProviderServices(Port(), records_, countryCode);
    W::SetWaitCursor(page, false);

    for (const std::size_t index : offer.lineFunctions) {
      const int line =
          W::AddListItem(page, kLineFunctionList,
                         shell::LoadPageText(Shared(), records_.lineFunctions.at(index).name));
      W::SetListItemData(page, kLineFunctionList, line, static_cast<W::LPARAM>(index));
    }
    W::SetListSelection(page, kLineFunctionList, 0);
    for (const ServiceEntry& entry : offer.services) {
      const int line =
          W::AddListItem(page, kServiceList, shell::LoadPageText(Shared(), entry.text));
      W::SetListItemData(page, kServiceList, line, entry.item);
    }
    FillGroupControls(countryCode);

    if (offer.services.empty()) {
      // The beep first: the status text is the last sign of the reading.
      W::MessageBeep(page);
      SetText(kStatusText, kNoServicesText);
      return;
    }
    W::SetListSelection(page, kServiceList, 0);
    ShowEntry(static_cast<std::uint16_t>(W::GetListItemData(page, kServiceList, 0)));
    Show(kStatusText, false);
  }

  bool OnCommand(int id, unsigned code) override {
    const W::HWND page = Window();
    switch (id) {
      case kServiceList:
        if (code == W::CBN_SELCHANGE) {
          const int line = W::GetListSelection(page, kServiceList);
          if (line >= 0) {
            ShowEntry(static_cast<std::uint16_t>(W::GetListItemData(page, kServiceList, line)));
          }
        }
        return true;
      case kLineFunctionList:
        if (code == W::CBN_SELCHANGE) {
          ShowLineFunction();
        }
        return true;
      case kEnableBox:
        if (code == W::BN_CLICKED) {
          EnableClicked(W::IsDlgButtonChecked(page, kEnableBox) == W::BST_CHECKED);
        }
        return true;
      case kExtraSettingBox:
        if (code == W::BN_CLICKED && extra_ != nullptr) {
          extra_->set = W::IsDlgButtonChecked(page, kExtraSettingBox) == W::BST_CHECKED;
          extra_->changed = true;
        }
        return true;
      case kActivationDigits:
      case kCancelDigits:
      case kNumberEdit:
        if (code == W::EN_KILLFOCUS) {
          CommitFields();
        } else if (code == W::EN_CHANGE && id == kNumberEdit) {
          W::SetDlgItemText(page, kCancelNumber, W::GetDlgItemText(page, kNumberEdit));
        }
        return true;
      case kTeleInsideRadio:
      case kTeleOutsideRadio:
        if (code == W::BN_CLICKED) {
          records_.closedUserGroup.teleInside =
              W::IsDlgButtonChecked(page, kTeleInsideRadio) == W::BST_CHECKED;
          records_.closedUserGroup.changed = true;
        }
        return true;
      case kDataInsideRadio:
      case kDataOutsideRadio:
        if (code == W::BN_CLICKED) {
          records_.closedUserGroup.dataInside =
              W::IsDlgButtonChecked(page, kDataInsideRadio) == W::BST_CHECKED;
          records_.closedUserGroup.changed = true;
        }
        return true;
      case kRingBox:
      case kCallerIdBox:
        if (code == W::BN_CLICKED) {
          records_.dataPort.changed = true;
        }
        return true;
      case resources::kOkArrowId:
        if (code == W::BN_CLICKED) {
          WriteAndLeave();
        }
        return true;
      default:
        if (code == W::CBN_SELCHANGE && KeyOf(id) != nullptr) {
          KeyListChanged(id);
          return true;
        }
        return false;
    }
  }

  bool OnMessage(W::UINT message, W::WPARAM /*wParam*/, W::LPARAM lParam) override {
    if (message != shell::kControlHover) {
      return false;
    }
    ShowHoverHelp(static_cast<int>(lParam));
    return true;
  }

  // Every way out: the numbers are released and the controls bound to the
  // records forgotten, so nothing arriving later (a focus change) writes
  // into them.
  void OnClose() override {
    Unbind();
    records_.Release();
  }

 private:
  // --- Showing -------------------------------------------------------------

  void ShowNoGroup() {
    for (const std::uint16_t group : {kSupplementaryGroup, kMultipleLinesGroup, kClosedUserGroup,
                                      kDataPortGroup, kPortabilityGroup}) {
      ShowControls(ControlsOf(group), false);
    }
    Show(kServiceList, false);
    Show(kEnableBox, false);
    Show(resources::kOkArrowId, false);
    Show(kGroupFrame, false);
  }

  void ShowControls(std::span<const int> controls, bool show) const {
    for (const int id : controls) {
      Show(id, show);
    }
  }

  void EnableControls(std::span<const int> controls, bool enable) const {
    for (const int id : controls) {
      Enable(id, enable);
    }
  }

  // What the reading set up once for the groups: the line function list's
  // selection, the closed user group's radios and code, the data port's
  // boxes and the portability character.
  void FillGroupControls(int countryCode) {
    const W::HWND page = Window();
    const ClosedUserGroupRecord& group = records_.closedUserGroup;
    W::SetEditLimit(page, kCugCodeEdit, static_cast<int>(ClosedUserGroupDigits(countryCode)));
    if (group.found) {
      W::CheckRadioButton(page, kDataInsideRadio, kDataOutsideRadio,
                          group.dataInside ? kDataInsideRadio : kDataOutsideRadio);
      W::CheckRadioButton(page, kTeleInsideRadio, kTeleOutsideRadio,
                          group.teleInside ? kTeleInsideRadio : kTeleOutsideRadio);
      W::SetDlgItemText(page, kCugCodeEdit, group.code);
    }
    W::CheckDlgButton(page, kRingBox, records_.dataPort.ring ? W::BST_CHECKED : W::BST_UNCHECKED);
    W::CheckDlgButton(page, kCallerIdBox,
                      records_.dataPort.callerId ? W::BST_CHECKED : W::BST_UNCHECKED);
    const std::string key(1, records_.portability.key);
    for (const int label : kPortabilityKeyLabels) {
      W::SetDlgItemText(page, label, key);
    }
  }

  void ShowEntry(std::uint16_t item) {
    CommitFields();
    Unbind();
    const std::uint16_t group = GroupOf(item);
    if (group != shownGroup_) {
      for (const std::uint16_t other : {kSupplementaryGroup, kMultipleLinesGroup, kClosedUserGroup,
                                        kDataPortGroup, kPortabilityGroup}) {
        if (other != group) {
          ShowControls(ControlsOf(other), false);
        }
      }
      ShowControls(ControlsOf(group), true);
      Show(kServiceList, true);
      Show(resources::kOkArrowId, true);
      Show(kGroupFrame, true);
      Show(kEnableBox, group != kDataPortGroup);
      shownGroup_ = group;
    }
    switch (group) {
      case kSupplementaryGroup:
        if (IndexOf(item) < kServiceCount) {
          ShowService(records_.services.at(IndexOf(item)), IndexOf(item));
        }
        break;
      case kMultipleLinesGroup:
        ShowLineFunction();
        break;
      case kClosedUserGroup:
        Check(kEnableBox, records_.closedUserGroup.on);
        EnableControls(kCugControls, records_.closedUserGroup.on);
        ShowHelp(kClosedUserGroupHelp);
        break;
      case kDataPortGroup:
        ShowHelp(kDataPortHelp);
        break;
      case kPortabilityGroup:
        Check(kEnableBox, records_.portability.on);
        EnableControls(kPortabilityControls, records_.portability.on);
        ShowHelp(kPortHelp);
        break;
      default:
        break;
    }
  }

  void ShowService(ProviderService& service, std::size_t index) {
    const W::HWND page = Window();
    const std::uint32_t kind = service.kind;
    const bool activation = (kind & kActivationLine) != 0;
    const bool cancel = (kind & kCancelLine) != 0;
    const bool number = HasNumber(kind);
    const bool cancelNumber = (kind & kNumberOnBothLines) != 0;
    Show(kActivationPrefix, activation);
    Show(kActivationSuffix, activation);
    Show(kActivationDigits, activation || (kind & kBooking) != 0);
    Show(kCancelPrefix, cancel);
    Show(kCancelSuffix, cancel);
    Show(kCancelDigits, cancel);
    Show(kNumberEdit, number);
    Show(kNumberSuffix, number);
    Show(kCancelNumber, cancelNumber);
    Show(kCancelNumberSuffix, cancelNumber);

    service_ = &service;
    SelectKey(kActivationPrefix, service.codes.activationPrefix);
    SelectKey(kActivationSuffix, service.codes.activationSuffix);
    SelectKey(kNumberSuffix, service.codes.numberSuffix);
    SelectKey(kCancelPrefix, service.codes.cancelPrefix);
    SelectKey(kCancelSuffix, service.codes.cancelSuffix);
    SelectKey(kCancelNumberSuffix, service.codes.cancelNumberSuffix);
    W::SetDlgItemText(page, kActivationDigits, service.codes.activationDigits);
    W::SetDlgItemText(page, kCancelDigits, service.codes.cancelDigits);
    W::SetDlgItemText(page, kNumberEdit, service.number);
    W::SetDlgItemText(page, kCancelNumber, service.number);

    if (index == kHideOwnNumber) {
      extra_ = &records_.showNumberAsDefault;
      SetText(kExtraSettingBox, kShowNumberName);
    } else if ((kind & kVoiceOnlySetting) != 0) {
      extra_ = &records_.onlyVoiceCalls;
      SetText(kExtraSettingBox, kOnlyVoiceCallsName);
    }
    Show(kExtraSettingBox, extra_ != nullptr);
    if (extra_ != nullptr) {
      Check(kExtraSettingBox, extra_->set);
    }
    Check(kEnableBox, service.on);
    // The codes are the network's: shown, never typed.
    for (const int id : {kActivationPrefix, kActivationDigits, kActivationSuffix, kNumberSuffix,
                         kCancelPrefix, kCancelDigits, kCancelSuffix, kCancelNumberSuffix}) {
      Enable(id, false);
    }
    EnableServiceSettings();
    ShowHelp(service.activationHelp);
    helpMode_ = kNoHelp;
  }

  // The number and the extra setting can be changed while the service is on.
  void EnableServiceSettings() const {
    if (service_ == nullptr) {
      return;
    }
    const bool on = service_->on;
    Enable(kNumberEdit, on && HasNumber(service_->kind));
    Enable(kCancelNumber, on && (service_->kind & kNumberOnBothLines) != 0);
    Enable(kExtraSettingBox, on && extra_ != nullptr);
  }

  void ShowLineFunction() {
    const W::HWND page = Window();
    const int selected = W::GetListSelection(page, kLineFunctionList);
    if (selected < 0) {
      return;
    }
    const auto index =
        static_cast<std::size_t>(W::GetListItemData(page, kLineFunctionList, selected));
    if (index >= kLineFunctionCount) {
      return;
    }
    line_ = &records_.lineFunctions.at(index);
    W::SetDlgItemText(page, kKeyDigit, std::string(1, line_->keyDigit));
    Check(kEnableBox, line_->on);
    Enable(kKeyLabel, false);
    Enable(kKeyDigit, false);
    ShowHelp(line_->help);
  }

  void ShowHelp(int textId) const { SetText(kHelpText, textId); }

  void ShowHoverHelp(int control) {
    const HelpMode mode = HelpModeOf(control);
    if (mode == kNoHelp || mode == helpMode_) {
      return;
    }
    int text = kFixedHelpTexts.at(mode);
    if (mode == kActivationHelpMode || mode == kCancelHelpMode) {
      if (service_ == nullptr) {
        return;
      }
      text = mode == kActivationHelpMode ? service_->activationHelp : service_->cancelHelp;
    }
    helpMode_ = mode;
    ShowHelp(text);
  }

  void Check(int id, bool checked) const {
    W::CheckDlgButton(Window(), id, checked ? W::BST_CHECKED : W::BST_UNCHECKED);
  }

  // Selects the list line of `key`; none when it is neither '*' nor '#'.
  void SelectKey(int list, char key) const {
    int line = -1;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      if (kKeys.at(i) == key) {
        line = static_cast<int>(i);
      }
    }
    W::SetListSelection(Window(), list, line);
  }

  // --- User actions --------------------------------------------------------

  void EnableClicked(bool on) {
    switch (shownGroup_) {
      case kSupplementaryGroup:
        if (service_ != nullptr) {
          service_->on = on;
          service_->opening.changed = true;
          EnableServiceSettings();
        }
        break;
      case kMultipleLinesGroup:
        if (line_ != nullptr) {
          line_->on = on;
          line_->changed = true;
        }
        break;
      case kClosedUserGroup:
        records_.closedUserGroup.on = on;
        records_.closedUserGroup.changed = true;
        EnableControls(kCugControls, on);
        break;
      case kPortabilityGroup:
        records_.portability.on = on;
        records_.portability.changed = true;
        EnableControls(kPortabilityControls, on);
        break;
      default:
        break;
    }
  }

  // The record's character that a "*"/"#" list shows; null when no record
  // is on display.
  char* KeyOf(int list) const {
    if (service_ == nullptr) {
      return nullptr;
    }
    ServiceCodes& codes = service_->codes;
    switch (list) {
      case kActivationPrefix:
        return &codes.activationPrefix;
      case kActivationSuffix:
        return &codes.activationSuffix;
      case kNumberSuffix:
        return &codes.numberSuffix;
      case kCancelPrefix:
        return &codes.cancelPrefix;
      case kCancelSuffix:
        return &codes.cancelSuffix;
      case kCancelNumberSuffix:
        return &codes.cancelNumberSuffix;
      default:
        return nullptr;
    }
  }

  // Only a line the user picked changes the record: the program's own
  // selections (none for a character that is no key) notify nothing.
  void KeyListChanged(int list) {
    const int line = W::GetListSelection(Window(), list);
    char* key = KeyOf(list);
    if (key == nullptr || line < 0 || static_cast<std::size_t>(line) >= kKeys.size()) {
      return;
    }
    *key = kKeys.at(static_cast<std::size_t>(line));
    service_->opening.changed = true;
  }

  // The texts of the edits bound to the record on display, into it. Done
  // when an edit loses the focus and before anything reads the record (a
  // new entry, 'V', which the keyboard presses without moving the focus).
  void CommitFields() {
    if (service_ == nullptr) {
      return;
    }
    const W::HWND page = Window();
    const auto commit = [&](int edit, std::string& field, std::size_t length, bool shown) {
      if (!shown) {
        return;
      }
      std::string text = W::GetDlgItemText(page, edit);
      if (text.size() > length) {
        text.resize(length);
      }
      if (text != field) {
        field = std::move(text);
        service_->opening.changed = true;
      }
    };
    const std::uint32_t kind = service_->kind;
    commit(kActivationDigits, service_->codes.activationDigits, kDigitsLength,
           (kind & (kActivationLine | kBooking)) != 0);
    commit(kCancelDigits, service_->codes.cancelDigits, kDigitsLength, (kind & kCancelLine) != 0);
    commit(kNumberEdit, service_->number, kNumberLength, HasNumber(kind));
  }

  void Unbind() {
    service_ = nullptr;
    extra_ = nullptr;
    line_ = nullptr;
  }

  // --- Writing -------------------------------------------------------------

  void WriteAndLeave() {
    if (shownGroup_ == 0) {
      return;  // nothing was offered
    }
    const W::HWND page = Window();
    CommitFields();
    ClosedUserGroupRecord& group = records_.closedUserGroup;
    if (group.found) {
      const std::string code = W::GetDlgItemText(page, kCugCodeEdit);
      if (code != group.code) {
        group.code = code;
        group.changed = true;
      }
    }
    DataPortRecord& dataPort = records_.dataPort;
    dataPort.ring = W::IsDlgButtonChecked(page, kRingBox) == W::BST_CHECKED;
    dataPort.callerId = W::IsDlgButtonChecked(page, kCallerIdBox) == W::BST_CHECKED;

    W::SetWaitCursor(page, true);
    const std::vector<int> notStored =
        WriteProviderServices(Port(), records_, Shared().countryCode);
    W::SetWaitCursor(page, false);
    if (notStored.empty()) {
      GoTo(resources::kKometSettingsPage);
      return;
    }
    ReportNotStored(notStored);
  }

  // Names what the adapter did not store; the page stays as the user left it.
  void ReportNotStored(const std::vector<int>& names) const {
    std::string list;
    for (const int name : names) {
      list += "\n" + shell::LoadPageText(Shared(), name);
    }
    std::string text = shell::LoadPageText(Shared(), kNotStoredText);
    if (const std::size_t at = text.find("%s"); at != std::string::npos) {
      text.replace(at, 2, list);
    } else {
      text += list;
    }
    const std::string caption = shell::LoadPageText(Shared(), shell::kMessageCaptionText);
    W::MessageBox(Window(), text, caption, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
  }

  ProviderServices& records_;
  std::uint16_t shownGroup_ = 0;
  // The record on display that the controls change; null when none.
  ProviderService* service_ = nullptr;
  AdapterSetting* extra_ = nullptr;
  LineFunction* line_ = nullptr;
  HelpMode helpMode_ = kNoHelp;
};

}  // namespace

void RegisterProviderServicesPage(shell::PageTable& pages, ProviderServices& records) {
  shell::RegisterPage<ProviderServicesPage>(pages, resources::kProviderServicesPage, kDescription,
                                            records);
}

}  // namespace norix::services
