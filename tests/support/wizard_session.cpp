#include "support/wizard_session.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "app/register_pages.h"
#include "link/telephony_devices.h"
#include "platform/comm/memory_line.h"
#include "platform/comm/pty_line.h"
#include "platform/window/message_loop.h"
#include "platform/window/window_api.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/strings/catalogue.h"
#include "shell/navigator.h"
#include "shell/page_chrome.h"
#include "shell/page_messages.h"
#include "sim/model_registry.h"
#include "support/quick_reads_port.h"

namespace norix::testing {

namespace W = platform::window;

namespace {

// Only the products the session serves: no lines.conf, no USB devices.
platform::telephony::LineSources NoOtherLines() { return {}; }

// Finds the text number whose text (as a message box loads it) is `text`.
int FindTextId(const shell::TextModule& texts, const std::string& text, int bufferChars) {
  for (int id = resources::strings::kFirstTextId; id <= resources::strings::kLastTextId; ++id) {
    if (!texts.Text(id).empty() &&
        texts.LoadText(id, static_cast<std::size_t>(bufferChars)) == text) {
      return id;
    }
  }
  return 0;
}

std::unique_ptr<sim::Model> MakeModel(const SessionProduct& wanted) {
  if (wanted.make) {
    return wanted.make();
  }
  const sim::ModelEntry* model = sim::FindModel(wanted.model);
  return model != nullptr ? model->make() : nullptr;
}

}  // namespace

WizardSession::WizardSession(const std::vector<SessionProduct>& products, Lines lines)
    : registry_((folder_.Path() / "registry.reg").string()), directory_(NoOtherLines()) {
  resources::dialogs::RegisterDialogTemplates(templates_);
  program_.frame.desktop = &desktop_;
  program_.frame.countryCode = 44;  // the program's own English table
  program_.frame.registry = &registry_;
  for (const SessionProduct& wanted : products) {
    AddProduct(wanted, lines);
  }
  // The telephony stand-in opens the session's lines (in-memory lines
  // instead of ttys).
  directory_.SetPortOpener([this](const std::string& path) {
    for (const RunningProduct& running : products_) {
      if (running.path == path) {
        return Open(running);
      }
    }
    return platform::comm::OpenSerialPort(path);
  });
}

platform::comm::OpenPortResult WizardSession::Open(const RunningProduct& running) const {
  platform::comm::OpenPortResult open = running.open();
  if (open.port && quickSilence_.count() > 0) {
    open.port = std::make_unique<QuickReadsPort>(std::move(open.port), quickSilence_, quickGap_,
                                                 running.silence);
  }
  return open;
}

WizardSession::Timeout WizardSession::SilenceWaited(std::size_t index) const {
  return index < products_.size() ? Timeout(products_[index].silence->load()) : Timeout(0);
}

void WizardSession::AddProduct(const SessionProduct& wanted, Lines lines) {
  std::unique_ptr<sim::Model> model = MakeModel(wanted);
  if (!model) {
    ADD_FAILURE() << "no simulator model " << wanted.model;
    return;
  }
  RunningProduct running;
  std::unique_ptr<platform::comm::DeviceEnd> device;
  if (lines == Lines::kMemory) {
    running.path = "/memory/line" + std::to_string(products_.size());
    platform::comm::ReopenableMemoryLine line =
        platform::comm::MakeReopenableMemoryLine(running.path);
    device = std::move(line.device);
    running.open = std::move(line.open);
  } else {
    platform::comm::PtyLine pty = platform::comm::OpenPtyLine();
    if (!pty.device) {
      ADD_FAILURE() << "no pty for " << wanted.lineName << ": " << pty.message;
      return;
    }
    device = std::move(pty.device);
    running.path = pty.slavePath;
    running.open = [path = pty.slavePath] { return platform::comm::OpenSerialPort(path); };
  }
  platform::telephony::LineDevice line;
  line.name = wanted.lineName;
  line.port = running.path;
  if (wanted.driver) {
    line.driverKey =
        platform::registry::ModemDriverKey(static_cast<unsigned>(products_.size()) + 1);
    EXPECT_EQ(platform::registry::SeedDriverKey(registry_, *line.driverKey, *wanted.driver),
              platform::registry::ERROR_SUCCESS);
  }
  EXPECT_EQ(directory_.AddLine(line), "") << wanted.lineName;
  running.product =
      std::make_unique<sim::SimulatedProduct>(wanted.make ? wanted.lineName : wanted.model,
                                              std::move(model), std::move(device), wanted.options);
  running.product->Start();
  products_.push_back(std::move(running));
}

WizardSession::~WizardSession() {
  Shutdown();
  for (RunningProduct& running : products_) {
    running.product->Stop();
  }
}

bool WizardSession::HoldPort(std::size_t index) {
  if (index >= products_.size()) {
    return false;
  }
  platform::comm::OpenPortResult open = products_[index].open();
  if (!open.port) {
    return false;
  }
  held_.push_back(std::move(open.port));
  return true;
}

void WizardSession::ReleasePorts() { held_.clear(); }

void WizardSession::Start() {
  if (main_.joinable()) {
    return;
  }
  app::RegisterPages(program_);
  main_ = std::thread([this] { RunMainThread(); });
}

void WizardSession::RunMainThread() {
  // As start-up does it: the context is opened on the thread whose message
  // loop then runs the line callbacks, and closed there after the run.
  program_.frame.context = link::OpenContext(directory_);
  if (!program_.frame.context) {
    const std::lock_guard lock(mutex_);
    contextFailed_ = true;
    finished_ = true;
    finishedCv_.notify_all();
    return;
  }
  shell::BuildGraphics(program_.frame.chrome, program_.frame.texts);
  shell::RunNavigator(program_.frame,
                      [](link::ModemContext& context) { link::CloseDevicePort(context); });
  link::CloseContext(std::move(program_.frame.context));
  shell::ReleaseGraphics(program_.frame.chrome);
  const std::lock_guard lock(mutex_);
  finished_ = true;
  finishedCv_.notify_all();
}

W::HWND WizardSession::WaitForPage(int pageIndex, Timeout timeout) {
  const shell::PageRow* row = program_.frame.pages.Row(pageIndex);
  if (row == nullptr) {
    return W::kNullHwnd;
  }
  return host_.WaitForDialog(row->templateId, timeout);
}

W::HWND WizardSession::WaitForIdentifiedMenu(Timeout timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const W::HWND menu = WaitForPage(resources::kMainMenuPage, timeout);
  if (menu == W::kNullHwnd) {
    return W::kNullHwnd;
  }
  const auto left =
      std::chrono::duration_cast<Timeout>(deadline - std::chrono::steady_clock::now());
  if (!host_.WaitUntil([&] { return !host_.Text(menu, resources::kHeaderId).empty(); },
                       std::max(left, Timeout{0}))) {
    return W::kNullHwnd;
  }
  // An adapter's feature queries follow the name: a message sent to the
  // menu runs only once the menu's start-up work is over.
  static_cast<void>(W::SendMessage(menu, W::WM_NULL, 0, 0));
  return menu;
}

std::optional<W::MessageBoxInfo> WizardSession::AnswerMessage(int button, Timeout timeout) {
  return host_.AnswerMessageBox(button, timeout);
}

int WizardSession::TextId(const W::MessageBoxInfo& box) const {
  return FindTextId(program_.frame.texts, box.text, shell::kMessageTextChars);
}

int WizardSession::CaptionId(const W::MessageBoxInfo& box) const {
  return FindTextId(program_.frame.texts, box.caption, shell::kMessageCaptionChars);
}

std::string WizardSession::Text(int id) const {
  return program_.frame.texts.LoadText(id, shell::kTextBufferChars);
}

bool WizardSession::Quit(Timeout timeout) {
  // A page refuses input while it still owns a message box that was just
  // answered, or before it is up: press again until the run ends. A page
  // that already asked to quit ignores the further presses.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    const std::vector<W::HWND> open = host_.Dialogs();
    if (!open.empty()) {
      host_.PressEscape(open.back());
    }
    if (WaitFinished(100ms)) {
      return true;
    }
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

bool WizardSession::WaitFinished(Timeout timeout) {
  std::unique_lock lock(mutex_);
  return finishedCv_.wait_for(lock, timeout, [this] { return finished_; });
}

bool WizardSession::ContextFailed() const {
  const std::lock_guard lock(mutex_);
  return contextFailed_;
}

void WizardSession::StopProduct(std::size_t index) {
  if (index < products_.size()) {
    products_[index].product->Stop();
  }
}

std::vector<std::string> WizardSession::Commands(std::size_t index) const {
  return index < products_.size() ? products_[index].product->Commands()
                                  : std::vector<std::string>{};
}

std::vector<sim::TranscriptEntry> WizardSession::Transcript(std::size_t index) const {
  return index < products_.size() ? products_[index].product->Transcript()
                                  : std::vector<sim::TranscriptEntry>{};
}

bool WizardSession::WaitForLines(std::size_t index, std::size_t count, Timeout timeout) const {
  return index < products_.size() && products_[index].product->WaitForLines(count, timeout);
}

const std::string& WizardSession::PortPath(std::size_t index) const {
  return products_.at(index).path;
}

void WizardSession::Shutdown() {
  if (!main_.joinable()) {
    return;
  }
  // A test that stopped midway may leave a page waiting for an answer or
  // still working: answer every box from now on, and ask the navigator to
  // quit until it has (a request made before its loop runs would be lost).
  host_.SetMessageBoxAutoAnswer(
      [](const W::MessageBoxInfo& box) -> std::optional<int> { return box.buttons.front(); });
  for (;;) {
    while (host_.PendingMessageBoxCount() > 0) {
      if (const auto box = host_.WaitForMessageBox(0ms)) {
        static_cast<void>(host_.AnswerMessageBox(box->buttons.front(), 0ms));
      }
    }
    if (WaitFinished(0ms)) {
      break;
    }
    if (const W::ThreadId mainThread = program_.frame.navigator.MainThread(); mainThread != 0) {
      W::PostThreadMessage(mainThread, shell::kPageRequest, 0, resources::kQuitPage);
    }
    if (WaitFinished(200ms)) {
      break;
    }
  }
  main_.join();
}

}  // namespace norix::testing
