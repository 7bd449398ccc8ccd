#include "upgrade/upgrade_pages.h"

#include <array>
#include <string>

#include "platform/window/control_api.h"
#include "platform/window/message_box.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"
#include "upgrade/model_pickers.h"
#include "upgrade/progress_page.h"
#include "upgrade/upgrade_start.h"

namespace norix::upgrade {

namespace W = platform::window;
using shell::PageText;

namespace {

constexpr int kIsdnVersionText = 2051;   // "The current version of your ISDN adapter is:"
constexpr int kModemVersionText = 2069;  // "The current version of your modem is:"
constexpr int kModemComponentVersionText = 2070;

constexpr std::array<PageText, 3> kStartTexts{{
    {kFileRequestTextId, 2143},
    {kManualTextId, 2144},
    {-1, 0},
}};
constexpr std::array<PageText, 8> kChoosePartTexts{{
    {kFileRequestTextId, 2143},
    {kManualTextId, 2144},
    {kChoosePartTextId, 2142},
    {kIsdnVersionLabelId, kIsdnVersionText},
    {kVersionLabelId, kModemComponentVersionText},
    {kIsdnRadioId, 2049},
    {kModemRadioId, 2064},
    {-1, 0},
}};
constexpr std::array<PageText, 4> kOlderTexts{{{1061, 2147}, {1062, 2148}, {1063, 2146}, {-1, 0}}};
constexpr std::array<PageText, 3> kNewerTexts{{{1059, 2145}, {1060, 2146}, {-1, 0}}};
constexpr std::array<PageText, 4> kSameTexts{{
    {kSameVersionTextId, 2154},
    {kSameVersionHintId, 2203},
    {1077, 2155},
    {-1, 0},
}};

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.pop_back();
  }
  return text;
}

// The records the upgrade pages work on.
struct UpgradeRecords {
  device::SelectedProduct& product;
  UpgradeState& state;
  const UpgradeHooks& hooks;
};

// What every upgrade page but the progress page shares: the current
// version line and upgrade start on its arrows.
class UpgradePage : public shell::Page {
 public:
  UpgradePage(device::SelectedProduct& product, UpgradeState& state, const UpgradeHooks& hooks)
      : records_{product, state, hooks} {}

 protected:
  // Label and value 1074/1028: the product's version, or the modem
  // component's when it is the target of an ISDN adapter.
  void ShowCurrentVersion() const {
    const link::ModemContext* context = Context();
    if (context == nullptr) {
      return;
    }
    const bool isdn = records_.product.features.isdnAdapter;
    const bool isdnTarget = records_.product.rescue.isdnTarget;
    SetText(kVersionLabelId, isdnTarget && isdn ? kIsdnVersionText : kModemVersionText);
    W::SetDlgItemText(Window(), kVersionValueId,
                      !isdnTarget && isdn ? WithoutLineEnd(context->internalModemVersion)
                                          : context->firmwareVersion);
  }

  void RunUpgradeStart() const {
    GoTo(StartUpgradeOnPage(Shared(), Window(), records_.product, records_.state, records_.hooks));
  }

  [[nodiscard]] const UpgradeRecords& Records() const { return records_; }

 private:
  UpgradeRecords records_;
};

// Pages whose one job is to run upgrade start on an arrow.
class StartingPage final : public UpgradePage {
 public:
  using UpgradePage::UpgradePage;
  void OnInit() override { ShowCurrentVersion(); }
  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED || (id != resources::kNextArrowId && id != resources::kBackArrowId)) {
      return false;
    }
    RunUpgradeStart();
    return true;
  }
};

class ChoosePartPage final : public UpgradePage {
 public:
  using UpgradePage::UpgradePage;
  void OnInit() override {
    Records().product.rescue.isdnTarget = true;
    W::CheckRadioButton(Window(), kModemRadioId, kIsdnRadioId, kIsdnRadioId);
    if (const link::ModemContext* context = Context()) {
      W::SetDlgItemText(Window(), kIsdnVersionValueId, context->firmwareVersion);
      W::SetDlgItemText(Window(), kModemVersionValueId,
                        WithoutLineEnd(context->internalModemVersion));
    }
  }
  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED) {
      return false;
    }
    switch (id) {
      case kIsdnRadioId:
      case kModemRadioId:
        Records().product.rescue.isdnTarget = id == kIsdnRadioId;
        W::CheckRadioButton(Window(), kModemRadioId, kIsdnRadioId, id);
        return true;
      case resources::kNextArrowId:
        RunUpgradeStart();
        return true;
      default:
        return false;
    }
  }
};

class SameVersionPage final : public UpgradePage {
 public:
  using UpgradePage::UpgradePage;
  void OnInit() override {
    ShowCurrentVersion();
    // The refusal holds for this showing only.
    if (Records().state.v130Refusal.exchange(false) && Records().product.features.isdnAdapter) {
      SetText(kSameVersionTextId, 2042);
      W::SetDlgItemText(Window(), kSameVersionHintId, "");
      Show(resources::kNextArrowId, false);
    }
  }
  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED || id != resources::kBackArrowId) {
      return false;
    }
    RunUpgradeStart();
    return true;
  }
};

class OlderVersionPage final : public UpgradePage {
 public:
  using UpgradePage::UpgradePage;
  void OnInit() override { ShowCurrentVersion(); }
  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED || id != resources::kBackArrowId) {
      return false;
    }
    RunUpgradeStart();
    return true;
  }
};

class NewerVersionPage final : public UpgradePage {
 public:
  using UpgradePage::UpgradePage;
  void OnInit() override { ShowCurrentVersion(); }
};

constexpr shell::PageDescription kStartDescription{.texts = kStartTexts,
                                                   .back = resources::kMainMenuPage};
constexpr shell::PageDescription kChoosePartDescription{.texts = kChoosePartTexts,
                                                        .back = resources::kMainMenuPage};
constexpr shell::PageDescription kOlderDescription{.texts = kOlderTexts,
                                                   .next = resources::kUpgradeProgressPage,
                                                   .cancel = resources::kMainMenuPage};
constexpr shell::PageDescription kSameDescription{.texts = kSameTexts,
                                                  .next = resources::kUpgradeProgressPage,
                                                  .cancel = resources::kMainMenuPage};
constexpr shell::PageDescription kNewerDescription{.texts = kNewerTexts,
                                                   .next = resources::kUpgradeProgressPage,
                                                   .cancel = resources::kMainMenuPage};

std::optional<std::string> ChooseFile(shell::Frame& frame, W::HWND page,
                                      const UpgradeFileDialogRequest& request) {
  if (frame.desktop == nullptr) {
    return std::nullopt;
  }
  W::OpenFileName dialog;
  dialog.owner = page;
  dialog.title = shell::LoadPageText(frame, request.titleId);
  dialog.filters.push_back({request.filterName, request.filterPattern});
  dialog.defaultExtension = request.defaultExtension;
  dialog.initialDir = request.startFolder;
  dialog.fileName = request.fileName.value_or(std::string());
  dialog.fileMustExist = request.fileMustExist;
  return W::GetOpenFileName(*frame.desktop, dialog);
}

}  // namespace

int StartUpgradeOnPage(shell::Frame& frame, W::HWND page, device::SelectedProduct& product,
                       UpgradeState& state, const UpgradeHooks& hooks) {
  if (!frame.context) {
    return resources::kMainMenuPage;
  }
  UpgradeStartUi ui;
  ui.message = [&frame, page](int textId, W::UINT style) {
    return shell::ShowMessage(frame, page, textId, shell::kMessageCaptionText, style);
  };
  ui.pickModemModel = [&frame, page] { return PickModemModel(frame, page); };
  ui.chooseFile = [&frame, page](const UpgradeFileDialogRequest& request) {
    return ChooseFile(frame, page, request);
  };
  W::SetWaitCursor(page, true);
  const int next = UpgradeStart({*frame.context, product, state, hooks}, ui);
  W::SetWaitCursor(page, false);
  return next;
}

void RegisterUpgradePages(shell::PageTable& pages, device::SelectedProduct& product,
                          UpgradeState& state, const UpgradeHooks& hooks) {
  shell::RegisterPage<StartingPage>(pages, resources::kUpgradeStartPage, kStartDescription, product,
                                    state, hooks);
  shell::RegisterPage<ChoosePartPage>(pages, resources::kUpgradeChoosePartPage,
                                      kChoosePartDescription, product, state, hooks);
  shell::RegisterPage<OlderVersionPage>(pages, resources::kUpgradeOlderPage, kOlderDescription,
                                        product, state, hooks);
  shell::RegisterPage<SameVersionPage>(pages, resources::kUpgradeSamePage, kSameDescription,
                                       product, state, hooks);
  shell::RegisterPage<NewerVersionPage>(pages, resources::kUpgradeNewerPage, kNewerDescription,
                                        product, state, hooks);
  RegisterProgressPage(pages, product, state, hooks);
}

}  // namespace norix::upgrade
