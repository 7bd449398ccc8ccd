#include "utilities/product_info_page.h"

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window/window_api.h"
#include "shell/page_frame.h"
#include "shell/program.h"
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

constexpr std::array<PageText, 7> kTwoColumnTexts{{
    {kIsdnColumnHeadingId, kIsdnComponentText},
    {kModemColumnHeadingId, kModemComponentText},
    {kProductNameLabelId, kProductNameText},
    {kReleaseLabelId, kReleaseText},
    {kDateLabelId, kDateText},
    {kDriverLabelId, kDriverText},
    {-1, 0},
}};
constexpr std::array<PageText, 5> kOneColumnTexts{{
    {kProductNameLabelId, kProductNameText},
    {kReleaseLabelId, kReleaseText},
    {kDateLabelId, kDateText},
    {kDriverLabelId, kDriverText},
    {-1, 0},
}};
constexpr std::array<PageText, 2> kButtons{{{kTestLineId, kTestLineText}, {-1, 0}}};

enum class LineTestState : std::uint8_t { Idle, Running, ResultShown };

struct PageState {
  LineTestState lineTest = LineTestState::Idle;
  LineTestWorker worker;
};

// The state of each open product information page, by window: during a
// page change or a restart two of them may be open at once.
class OpenPages {
 public:
  PageState& Open(W::HWND page) {
    const std::lock_guard lock(mutex_);
    auto& state = pages_[page];
    state = std::make_unique<PageState>();
    return *state;
  }
  PageState* Find(W::HWND page) {
    const std::lock_guard lock(mutex_);
    const auto it = pages_.find(page);
    return it == pages_.end() ? nullptr : it->second.get();
  }
  std::unique_ptr<PageState> Take(W::HWND page) {
    const std::lock_guard lock(mutex_);
    const auto it = pages_.find(page);
    if (it == pages_.end()) {
      return nullptr;
    }
    std::unique_ptr<PageState> state = std::move(it->second);
    pages_.erase(it);
    return state;
  }

 private:
  std::mutex mutex_;
  std::map<W::HWND, std::unique_ptr<PageState>> pages_;
};

// The internal modem's version text keeps the line end of its answer.
std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.pop_back();
  }
  return text;
}

void FillPage(shell::Program& program, W::HWND page) {
  link::ModemContext* context = program.context.get();
  platform::comm::Port* port = context != nullptr ? context->Port() : nullptr;
  const bool gci = context != nullptr && context->gciSupport;
  const std::shared_ptr<const shell::TextLists> lists = program.chrome.Lists();
  const std::vector<std::string> noNames;
  const std::vector<std::string>& months = lists ? lists->monthNames : noNames;
  ProductInformation& info = program.productInfo;

  W::SetWaitCursor(page, true);
  info.firmwareDate = ReadFirmwareDate(port, program.features, gci, months, program.profile);
  ReadDriverInformation(program.registry,
                        context != nullptr ? context->driverKey : std::optional<std::string>{},
                        info);
  W::SetDlgItemText(page, kDateId, info.firmwareDate);
  W::SetDlgItemText(page, kReleaseId, context != nullptr ? context->firmwareVersion : "");
  W::SetDlgItemText(page, kProductNameId, context != nullptr ? context->productName : "");
  W::SetDlgItemText(page, kDriverFileId, info.driverFile);
  W::SetDlgItemText(page, kDriverDateId, info.driverDate);

  if (program.features.internalModem) {
    // Column 2 is the modem part: asked like a modem, not like the adapter.
    W::SetDlgItemText(page, kModemReleaseId,
                      context != nullptr ? WithoutLineEnd(context->internalModemVersion) : "");
    products::AdapterFeatures modemPart = program.features;
    modemPart.isdnAdapter = false;
    info.firmwareDate = ReadFirmwareDate(port, modemPart, gci, months, program.profile);
    W::SetDlgItemText(page, kModemDateId, info.firmwareDate);
  }
  W::SetWaitCursor(page, false);

  W::SetDlgItemText(
      page, kProgramVersionId,
      shell::LoadPageText(program, shell::kPageCaptionText) + " V" + program.versionText);
}

void StartLineTest(shell::Program& program, W::HWND page, PageState& state) {
  if (state.lineTest != LineTestState::Idle) {
    return;
  }
  link::ModemContext* context = program.context.get();
  const LineTestProduct product{context != nullptr && context->gciSupport, program.features};
  state.lineTest = LineTestState::Running;
  W::EnableWindow(W::GetDlgItem(page, kTestLineId), false);
  if (!state.worker.Start(context != nullptr ? context->Port() : nullptr, product, page,
                          shell::kLineTestProgress)) {
    state.lineTest = LineTestState::Idle;
    W::EnableWindow(W::GetDlgItem(page, kTestLineId), true);
  }
}

void ShowLineTestResult(shell::Program& program, OpenPages& pages, W::HWND page,
                        std::uint16_t outcome) {
  PageState* state = pages.Find(page);
  if (state == nullptr) {
    return;
  }
  state->worker.Join();  // it has posted its outcome: nothing is left for it to do
  W::SetTimer(page, kLineTestTimerId, kLineTestRestMs);
  const std::string productName =
      program.context != nullptr ? program.context->productName : std::string();
  shell::ShowMessage(page, LineTestResultText(outcome, program.features, productName),
                     shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
  // The page may have been closed while the box was up (its state is gone).
  if (PageState* still = pages.Find(page)) {
    still->lineTest = LineTestState::ResultShown;
  }
}

W::LRESULT ProductInfoProcedure(OpenPages& pages, W::HWND page, W::UINT message, W::WPARAM wParam,
                                W::LPARAM lParam) {
  if (message == shell::kClosePage || message == W::WM_DESTROY) {
    // Stop a running test before the dialog ends: its worker owns the port.
    if (std::unique_ptr<PageState> state = pages.Take(page)) {
      state->worker.Stop();
    }
  }
  if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  shell::Program* program = shell::FindProgram(page);
  if (program == nullptr) {
    return 0;
  }
  switch (message) {
    case W::WM_INITDIALOG:
      if (program->features.internalModem) {
        shell::InitPage(page, kTwoColumnTexts, kButtons);
      } else {
        shell::InitPage(page, kOneColumnTexts, kButtons);
      }
      pages.Open(page);
      W::PostMessage(page, shell::kPageReady, 0, 0);
      return 1;
    case shell::kPageReady:
      FillPage(*program, page);
      return 1;
    case shell::kLineTestProgress:
      ShowLineTestResult(*program, pages, page, static_cast<std::uint16_t>(W::LOWORD(wParam)));
      return 1;
    case W::WM_TIMER:
      if (PageState* state = pages.Find(page); state != nullptr && wParam == kLineTestTimerId &&
                                               state->lineTest == LineTestState::ResultShown) {
        // Only a shown result is ended here: a test started meanwhile stays
        // running until its own outcome comes.
        W::KillTimer(page, kLineTestTimerId);
        W::EnableWindow(W::GetDlgItem(page, kTestLineId), true);
        state->lineTest = LineTestState::Idle;
      }
      return 1;
    case W::WM_COMMAND: {
      const int id = static_cast<int>(W::LOWORD(wParam));
      const unsigned code = W::HIWORD(wParam);
      if (id == W::IDCANCEL) {
        shell::GoToPage(page, shell::kQuitPage);
        return 1;
      }
      if (code != W::BN_CLICKED) {
        return 0;
      }
      PageState* state = pages.Find(page);
      if (state == nullptr) {
        return 0;
      }
      if (id == kTestLineId) {
        StartLineTest(*program, page, *state);
        return 1;
      }
      if (id == shell::kBackArrowId || id == shell::kCancelArrowId) {
        if (state->lineTest != LineTestState::Running) {
          shell::GoToPage(page, shell::kMainMenuPage);
        }
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace

void RegisterProductInfoPage(shell::PageTable& pages) {
  auto open = std::make_shared<OpenPages>();
  pages.Register(kProductInfoPage,
                 [open](W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
                   return ProductInfoProcedure(*open, page, message, wParam, lParam);
                 });
}

}  // namespace norix::utilities
