#include "utilities/product_info_page.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"
#include "utilities/line_test_worker.h"
#include "utilities/product_info_date.h"
#include "utilities/product_info_driver.h"

namespace norix::utilities {

namespace {

namespace W = platform::window;
using shell::PageText;

constexpr int kIsdnComponentText = 2050;
constexpr int kModemComponentText = 2067;
constexpr int kProductNameText = 2030;
constexpr int kReleaseText = 2032;
constexpr int kDateText = 2028;
constexpr int kDriverText = 2029;
constexpr int kTestLineText = 2031;

constexpr std::array<PageText, 5> kOneColumnTexts{{
    {kProductNameLabelId, kProductNameText},
    {kReleaseLabelId, kReleaseText},
    {kDateLabelId, kDateText},
    {kDriverLabelId, kDriverText},
    {-1, 0},
}};
constexpr std::array<PageText, 2> kButtons{{{kTestLineId, kTestLineText}, {-1, 0}}};

// The internal modem's version text keeps the line end of its answer.
std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.pop_back();
  }
  return text;
}

enum class LineTestState : std::uint8_t { Idle, Running, ResultShown };

constexpr shell::PageDescription kDescription{.texts = kOneColumnTexts,
                                              .buttons = kButtons,
                                              .back = resources::kMainMenuPage,
                                              .cancel = resources::kMainMenuPage,
                                              .escape = resources::kQuitPage};

class ProductInfoPage final : public shell::Page {
 public:
  ProductInfoPage(device::SelectedProduct& product, ProductInformation& info,
                  std::shared_ptr<LineTestClock> clock)
      : product_(product), info_(info), clock_(std::move(clock)) {}

  void OnInit() override {
    if (product_.features.internalModem) {
      // Two columns: the adapter's and its internal modem's.
      SetText(kIsdnColumnHeadingId, kIsdnComponentText);
      SetText(kModemColumnHeadingId, kModemComponentText);
    }
  }

  void OnReady() override { FillPage(); }

  bool OnCommand(int id, unsigned code) override {
    if (id != kTestLineId || code != W::BN_CLICKED) {
      return false;
    }
    StartLineTest();
    return true;
  }

  bool OnMessage(W::UINT message, W::WPARAM wParam, W::LPARAM /*lParam*/) override {
    if (message == shell::kLineTestProgress) {
      ShowLineTestResult(static_cast<std::uint16_t>(W::LOWORD(wParam)));
      return true;
    }
    if (message == W::WM_TIMER) {
      if (wParam == kLineTestTimerId && lineTest_ == LineTestState::ResultShown) {
        // Only a shown result is ended here: a test started meanwhile stays
        // running until its own outcome comes.
        W::KillTimer(Window(), kLineTestTimerId);
        Enable(kTestLineId, true);
        lineTest_ = LineTestState::Idle;
      }
      return true;
    }
    return false;
  }

  // '<' and 'X' wait for a running test's outcome.
  [[nodiscard]] bool CanLeave() const override { return lineTest_ != LineTestState::Running; }

  // Stops a running test before the dialog ends: its worker owns the port.
  void OnClose() override { worker_.Stop(); }

 private:
  void FillPage() {
    const W::HWND page = Window();
    const shell::Frame& shared = Shared();
    const link::ModemContext* context = Context();
    platform::comm::Port* port = Port();
    const bool gci = context != nullptr && context->gciSupport;
    const std::shared_ptr<const shell::TextLists> lists = shared.chrome.Lists();
    const std::vector<std::string> noNames;
    const std::vector<std::string>& months = lists ? lists->monthNames : noNames;

    W::SetWaitCursor(page, true);
    info_.firmwareDate = ReadFirmwareDate(port, product_.features, gci, months, shared.profile);
    ReadDriverInformation(shared.registry,
                          context != nullptr ? context->driverKey : std::optional<std::string>{},
                          info_);
    W::SetDlgItemText(page, kDateId, info_.firmwareDate);
    W::SetDlgItemText(page, kReleaseId, context != nullptr ? context->firmwareVersion : "");
    W::SetDlgItemText(page, kProductNameId, context != nullptr ? context->productName : "");
    W::SetDlgItemText(page, kDriverFileId, info_.driverFile);
    W::SetDlgItemText(page, kDriverDateId, info_.driverDate);

    if (product_.features.internalModem) {
      // Column 2 is the modem part: asked like a modem, not like the adapter.
      W::SetDlgItemText(page, kModemReleaseId,
                        context != nullptr ? WithoutLineEnd(context->internalModemVersion) : "");
      device::AdapterFeatures modemPart = product_.features;
      modemPart.isdnAdapter = false;
      info_.firmwareDate = ReadFirmwareDate(port, modemPart, gci, months, shared.profile);
      W::SetDlgItemText(page, kModemDateId, info_.firmwareDate);
    }
    W::SetWaitCursor(page, false);

    W::SetDlgItemText(
        page, kProgramVersionId,
        shell::LoadPageText(shared, shell::kPageCaptionText) + " V" + shared.versionText);
  }

  void StartLineTest() {
    if (lineTest_ != LineTestState::Idle) {
      return;
    }
    const link::ModemContext* context = Context();
    const LineTestProduct product{context != nullptr && context->gciSupport, product_.features};
    lineTest_ = LineTestState::Running;
    Enable(kTestLineId, false);
    if (!worker_.Start(Port(), product, Window(), shell::kLineTestProgress, clock_)) {
      lineTest_ = LineTestState::Idle;
      Enable(kTestLineId, true);
    }
  }

  void ShowLineTestResult(std::uint16_t outcome) {
    worker_.Join();  // it has posted its outcome: nothing is left for it to do
    LineTestClock real;
    LineTestClock& clock = clock_ ? *clock_ : real;
    W::SetTimer(Window(), kLineTestTimerId,
                static_cast<unsigned>(clock.TimerTime(kLineTestRest).count()));
    const link::ModemContext* context = Context();
    const std::string productName = context != nullptr ? context->productName : std::string();
    Message(LineTestResultText(outcome, product_.features, productName), W::MB_ICONEXCLAMATION);
    lineTest_ = LineTestState::ResultShown;
  }

  device::SelectedProduct& product_;
  ProductInformation& info_;
  std::shared_ptr<LineTestClock> clock_;
  LineTestState lineTest_ = LineTestState::Idle;
  LineTestWorker worker_;
};

}  // namespace

void RegisterProductInfoPage(shell::PageTable& pages, device::SelectedProduct& product,
                             ProductInformation& info,
                             std::shared_ptr<LineTestClock>& lineTestClock) {
  shell::RegisterPage<ProductInfoPage>(pages, resources::kProductInformationPage, kDescription,
                                       product, info, lineTestClock);
}

}  // namespace norix::utilities
