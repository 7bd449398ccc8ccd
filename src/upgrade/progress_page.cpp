#include "upgrade/progress_page.h"

#include <array>
#include <memory>

#include "device/adapter_queries.h"
#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/window/control_api.h"
#include "platform/window/message_box.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_frame.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"
#include "upgrade/cut_and_verify.h"
#include "upgrade/image_loader.h"
#include "upgrade/model_pickers.h"
#include "upgrade/modem_worker.h"
#include "upgrade/product_queries.h"
#include "upgrade/upgrade_start.h"

namespace norix::upgrade {

namespace W = platform::window;
namespace comm = platform::comm;
using shell::PageText;

void ProgressPageView::SetRange(int blocks) {
  W::SetProgressRange(page_, kXmodemProgressBar, 0, blocks);
  W::SetProgressStep(page_, kXmodemProgressBar, 1);
  W::SetProgressPos(page_, kXmodemProgressBar, 0);
}

void ProgressPageView::SetItemText(int control, int textId) {
  W::SetDlgItemText(page_, control, shell::LoadPageText(frame_, textId));
}

void ProgressPageView::SetText(int control, std::string_view text) {
  W::SetDlgItemText(page_, control, text);
}

void ProgressPageView::Step() { W::StepProgress(page_, kXmodemProgressBar); }

int ProgressPageView::Message(int textId, W::UINT style) {
  if (stop_.Requested()) {
    return 0;
  }
  return shell::ShowMessage(frame_, page_, textId, shell::kMessageCaptionText, style);
}

int ProgressPageView::MessageText(std::string_view text, W::UINT style) {
  if (stop_.Requested() || frame_.desktop == nullptr) {
    return 0;
  }
  return W::MessageBox(
      *frame_.desktop, page_, text,
      frame_.texts.LoadText(shell::kMessageCaptionText, shell::kMessageCaptionChars),
      style | W::MB_TASKMODAL);
}

std::string ProgressPageView::Text(int textId) const { return shell::LoadPageText(frame_, textId); }

int ProgressPageView::PickIsdnModel() {
  if (stop_.Requested()) {
    return -1;
  }
  return upgrade::PickIsdnModel(frame_, page_);
}

namespace {

constexpr std::array<PageText, 3> kTexts{{
    {kProgressHeadingId, 2149},
    {kProgressWarningId, 2150},
    {-1, 0},
}};
// No arrows; closing the window is the page's own question.
constexpr shell::PageDescription kDescription{.texts = kTexts, .escape = shell::kNoTarget};

enum class WorkerKind : std::uint8_t { None, Modem, Isdn };

struct WorkerChoice {
  WorkerKind kind = WorkerKind::None;
  std::uint32_t speed = 0;
};

// The worker and the port speed for the product's upgrade kind. A speed
// index is always turned into a bit rate through the table.
WorkerChoice ChooseWorker(device::UpgradeClass kind, bool isdnTarget, int speedIndex) {
  const std::uint32_t speed = TransferSpeed(speedIndex);
  switch (kind & ~device::kUpgradeNoSpeedProbe) {
    case 1:
      return {WorkerKind::Modem, speed};
    case 2:
    case 3:
      return {isdnTarget ? WorkerKind::Isdn : WorkerKind::Modem, speed};
    case 9:
      return {WorkerKind::Modem, speed != 0 ? speed : TransferSpeed(1)};
    case 10:
      return {isdnTarget ? WorkerKind::Isdn : WorkerKind::Modem,
              speed != 0 ? speed : TransferSpeed(1)};
    default:
      return {};
  }
}

class ProgressPage final : public shell::Page {
 public:
  ProgressPage(device::SelectedProduct& product, UpgradeState& state, const UpgradeHooks& hooks)
      : product_(product), state_(state), hooks_(hooks) {}

  void OnReady() override { Prepare(); }

  bool OnMessage(W::UINT message, W::WPARAM /*wParam*/, W::LPARAM /*lParam*/) override {
    switch (message) {
      case shell::kUpgradeFinished:
      case shell::kUpgradeFinishedToNationality:
        Finish(message == shell::kUpgradeFinishedToNationality);
        return true;
      case shell::kUpgradePreparationFailed:
        worker_.Wait();
        state_.running = false;
        GoTo(resources::kMainMenuPage);
        return true;
      default:
        return false;
    }
  }

  bool OnCommand(int id, unsigned /*code*/) override {
    if (id != W::IDCANCEL) {
      return false;
    }
    if (state_.running && Message(kMsgCloseDuringUpgrade, W::MB_YESNO | W::MB_ICONEXCLAMATION |
                                                              W::MB_DEFBUTTON2) != W::IDYES) {
      return true;
    }
    StopTransfer();
    GoTo(resources::kQuitPage);
    return true;
  }

  void OnClose() override { StopTransfer(); }

 private:
  void PostToSelf(W::UINT message) const { W::PostMessage(Window(), message, 0, 0); }

  void Prepare() {
    link::ModemContext* context = Context();
    if (context == nullptr) {
      PostToSelf(shell::kUpgradePreparationFailed);
      return;
    }
    if (!LoadAndCut()) {
      PostToSelf(shell::kUpgradePreparationFailed);
      return;
    }
    const WorkerChoice choice =
        ChooseWorker(product_.ident.upgradeKind, product_.rescue.isdnTarget, state_.speedIndex);
    if (choice.kind == WorkerKind::None) {
      state_.running = false;
      Message(kMsgUnknownProductType, W::MB_OK);
      PostToSelf(shell::kUpgradeFinished);
      return;
    }
    if (choice.kind == WorkerKind::Isdn && !hooks_.isdnWorker) {
      state_.running = false;
      Message(kMsgIsdnUpgradeMissing, W::MB_ICONEXCLAMATION);
      PostToSelf(shell::kUpgradeFinished);
      return;
    }
    link::SetPortSpeed(Port(), choice.speed);
    state_.running = true;
    if (!StartWorker(choice)) {
      state_.running = false;
      PostToSelf(shell::kUpgradePreparationFailed);
    }
  }

  // Loads the chosen file and cuts it for the product; false after the
  // messages of a failure.
  bool LoadAndCut() {
    LoadImageResult loaded = LoadImage(state_.image.path);
    if (!loaded.ok()) {
      if (Shared().desktop != nullptr) {
        W::MessageBox(*Shared().desktop, Window(), LoadFailureText(loaded.status),
                      kLoadFailureCaption, W::MB_OK);
      }
      Message(kMsgDamagedFile, W::MB_ICONEXCLAMATION);
      return false;
    }
    // What the file selection and the rescue probe found stays.
    UpgradeImage& image = state_.image;
    const bool largeFlash = image.largeFlash;
    std::string modemChecksum = image.modemChecksum;
    const int version = image.fileVersionNumber;
    image = std::move(loaded.image);
    image.largeFlash = largeFlash;
    image.modemChecksum = std::move(modemChecksum);
    image.fileVersionNumber = version;

    const device::AdapterFeatures& features = product_.features;
    CutAndVerifyInput input;
    input.flags = {features.isdnAdapter, product_.rescue.isdnRescueProduct, features.internalModem,
                   features.komet, product_.rescue.isdnTarget};
    input.upgradeKind = product_.ident.upgradeKind;
    input.rescueTransfer = product_.rescue.rescueTransfer;
    platform::comm::Port* port = Port();
    const CutResult cut = CutAndVerifyImage(image, input, [port] { return QueryLargeFlash(port); });
    if (!cut.ok()) {
      Message(cut.messageId, W::MB_ICONEXCLAMATION);
      return false;
    }
    return true;
  }

  bool StartWorker(const WorkerChoice& choice) {
    transferStop_.Reset();
    shell::Frame* frame = &Shared();
    const W::HWND page = Window();
    const shell::EndMessage ifThrown{shell::kUpgradeFinished, 0, 0};
    if (choice.kind == WorkerKind::Isdn) {
      IsdnWorkerJob job{Port(), &product_, Context(), &state_, choice.speed};
      return worker_.Start(
          page,
          [this, frame, page, job](shell::StopSignal& /*unused*/) {
            ProgressPageView view(*frame, page, transferStop_);
            const std::unique_ptr<TransferClock> clock = MakeClock();
            return hooks_.isdnWorker(job, view, *clock);
          },
          ifThrown);
    }
    const device::UpgradeClass kind = product_.ident.upgradeKind;
    ModemWorkerJob job;
    job.port = Port();
    job.product = &product_;
    job.state = &state_;
    job.gciSupport = Context()->gciSupport;
    job.speed = choice.speed;
    job.target.modemComponent =
        (kind & device::kUpgradeIsdnAdapter) != 0 && !product_.rescue.isdnTarget;
    job.target.internalModem = product_.features.internalModem;
    job.target.plainModem = (kind & device::kUpgradeIsdnAdapter) == 0;
    return worker_.Start(
        page,
        [this, frame, page, job](shell::StopSignal& /*unused*/) {
          ProgressPageView view(*frame, page, transferStop_);
          const std::unique_ptr<TransferClock> clock = MakeClock();
          return RunModemWorker(job, view, *clock);
        },
        ifThrown);
  }

  [[nodiscard]] std::unique_ptr<TransferClock> MakeClock() {
    if (hooks_.makeClock) {
      return hooks_.makeClock(&transferStop_);
    }
    return std::make_unique<SleepingClock>(&transferStop_);
  }

  // Stops a running worker: its pauses wake, its pending read ends, and it
  // shows nothing more. Returns once the worker's thread has ended.
  void StopTransfer() {
    if (!worker_.Started()) {
      return;
    }
    transferStop_.Request();
    if (platform::comm::Port* port = Port()) {
      port->Purge(comm::kPurgeRxAbort | comm::kPurgeTxAbort);
    }
    worker_.Stop();
    state_.running = false;
  }

  void Finish(bool toNationality) {
    worker_.Wait();
    state_.running = false;
    device::RescueFlags& flags = product_.rescue;
    if (link::ModemContext* context = Context()) {
      if (flags.damaged || !IdentifyAgain(*context)) {
        context->productName = std::string(RescueModeName(
            product_.features.isdnAdapter || flags.isdnRescueProduct,
            product_.features.komet || context->productName.find("KOMET II") != std::string::npos));
      }
    }
    flags.damaged = false;
    flags.rescueTransfer = false;
    GoTo(toNationality ? resources::kNationalityPage : resources::kMainMenuPage);
  }

  // Identifies the product after its upgrade as selecting it would: false
  // when it did not name itself (it then carries its rescue-mode name).
  bool IdentifyAgain(link::ModemContext& context) {
    platform::comm::Port* port = Port();
    std::string reply;
    if (link::SendAtCommand(port, "ATI3", reply) != link::AtResult::Ok ||
        reply.find("NORIX") == std::string::npos) {
      return false;
    }
    reply = reply.substr(0, reply.find('\r'));
    product_.ident.SetText(reply);
    if (hooks_.parseIdentification) {
      hooks_.parseIdentification(reply, context);
    }
    context.gciSupport = link::QueryGciSupport(port) == 1;
    device::AdapterFeatures& features = product_.features;
    if (features.komet) {
      device::ReadKometFeatureWord(context, features);
    } else if (features.isdnAdapter) {
      device::ReadAdapterFeatures(context, features);
    }
    return true;
  }

  device::SelectedProduct& product_;
  UpgradeState& state_;
  const UpgradeHooks& hooks_;
  shell::StopSignal transferStop_;
  shell::Worker worker_;
};

}  // namespace

void RegisterProgressPage(shell::PageTable& pages, device::SelectedProduct& product,
                          UpgradeState& state, const UpgradeHooks& hooks) {
  shell::RegisterPage<ProgressPage>(pages, resources::kUpgradeProgressPage, kDescription, product,
                                    state, hooks);
}

}  // namespace norix::upgrade
