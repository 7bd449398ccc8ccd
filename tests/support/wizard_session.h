// End-to-end wizard sessions: simulated products as the program's line
// devices, the wizard's pages on a headless desktop with the English texts
// and country 44, a registry of its own in a temporary folder, and the
// navigator on a thread that plays the system main thread. Tests drive the
// pages through the headless host as a user would and read what each
// product heard.
//
// The products are served on in-memory lines behind the telephony stand-in
// (fast, and as many sessions at once as the machine likes), or on ptys
// that the program opens through the real serial port code: the mode for the
// few tests that must cross that code.
//
// Every wait takes a time-out and sleeps; the destructor ends the run in an
// orderly way (open message boxes answered, quit requested, navigator
// joined, products stopped, lines closed) also when a test failed midway.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/program.h"
#include "platform/comm/port.h"
#include "platform/comm/serial_port.h"
#include "platform/registry/driver_key.h"
#include "platform/registry/registry.h"
#include "platform/telephony/line_directory.h"
#include "platform/window/desktop.h"
#include "platform/window/headless_host.h"
#include "platform/window/template_registry.h"
#include "sim/model.h"
#include "sim/product_options.h"
#include "sim/simulated_product.h"
#include "support/mirrored_host.h"
#include "support/temp_dir.h"

namespace norix::testing {

using namespace std::chrono_literals;

// Long enough for the slowest identification (a silent product probed at
// three speeds, a PC Card modem opened twice).
inline constexpr std::chrono::milliseconds kPageWait = 30s;
// For things that must not happen: how long to look before trusting it.
inline constexpr std::chrono::milliseconds kNothingWait = 300ms;
// How long a read that hears nothing lasts in a session with quick silence,
// and the quiet gap that ends a read behind its bytes with quick gaps.
inline constexpr std::chrono::milliseconds kQuickSilence = 300ms;
inline constexpr std::chrono::milliseconds kQuickGap = 20ms;

// How the products are attached to the program.
enum class Lines {
  kMemory,  // in-memory lines, opened through the telephony stand-in
  kPty,     // ptys, opened as serial ports by the program
};

// One simulated product and the line device it is installed as.
struct SessionProduct {
  using ModelMaker = std::function<std::unique_ptr<sim::Model>()>;

  SessionProduct(std::string modelName, std::string line, sim::ProductOptions productOptions = {})
      : model(std::move(modelName)),
        lineName(std::move(line)),
        options(std::move(productOptions)) {}
  // A product of a model made for the test (a variant of a catalogue model).
  SessionProduct(ModelMaker maker, std::string line, sim::ProductOptions productOptions = {})
      : lineName(std::move(line)), options(std::move(productOptions)), make(std::move(maker)) {}

  std::string model;     // a simulator model name ("netrunner56k")
  std::string lineName;  // the line device's name ("NORIX Netrunner 56000 Voice")
  sim::ProductOptions options;
  ModelMaker make;  // when set, used instead of `model`
  // The line device's modem driver, as its installation left it in the
  // registry; nullopt: the line device names no driver key.
  std::optional<platform::registry::DriverInfo> driver;
};

class WizardSession {
 public:
  using Timeout = std::chrono::milliseconds;

  // Starts every product on a line of its own and makes it a line device,
  // in order. An unknown model or a line that cannot be made is a test
  // failure (the product is left out).
  explicit WizardSession(const std::vector<SessionProduct>& products, Lines lines = Lines::kMemory);
  WizardSession(std::initializer_list<SessionProduct> products, Lines lines = Lines::kMemory)
      : WizardSession(std::vector<SessionProduct>(products), lines) {}
  WizardSession(const WizardSession&) = delete;
  WizardSession& operator=(const WizardSession&) = delete;
  WizardSession(WizardSession&&) = delete;
  WizardSession& operator=(WizardSession&&) = delete;
  ~WizardSession();

  // Holds the port of product `index` as another program would (an
  // exclusive open); false when it cannot be opened. ReleasePorts lets go
  // of every held port.
  bool HoldPort(std::size_t index);
  void ReleasePorts();

  // Before Start: `frontEnd` draws the pages too (the host still answers
  // message boxes and file dialogs); it must outlive the session.
  void DrawOn(platform::window::Renderer& frontEnd) { mirror_.SetMirror(&frontEnd); }

  // Before Start: a read of the program's that hears nothing gives up after
  // `limit` instead of the time-out the program set (QuickReadsPort), for
  // products that answer at once. SilenceWaited then tells how long such
  // reads of product `index` waited by the program's own time-outs.
  void QuickSilence(Timeout limit = kQuickSilence) { quickSilence_ = limit; }
  // Before Start: besides, a read ends `gap` after the last byte it got
  // instead of the program's interval, for products that send each answer
  // in one piece.
  void QuickGaps(Timeout gap = kQuickGap) {
    QuickSilence();
    quickGap_ = gap;
  }
  [[nodiscard]] Timeout SilenceWaited(std::size_t index) const;

  // Opens the telephony context, registers the wizard's pages and runs the
  // navigator on a thread of its own. Once only.
  void Start();

  // Waits for a new appearance of page `pageIndex` (by its template) that is
  // up; kNullHwnd on time-out.
  platform::window::HWND WaitForPage(int pageIndex, Timeout timeout = kPageWait);
  // The main menu once it has identified the single product (its header
  // then shows the product's name); kNullHwnd on time-out.
  platform::window::HWND WaitForIdentifiedMenu(Timeout timeout = kPageWait);

  // The oldest unanswered message box, answered with `button`; nullopt on
  // time-out or when it has no such button.
  std::optional<platform::window::MessageBoxInfo> AnswerMessage(int button,
                                                                Timeout timeout = kPageWait);
  // The string number of a message box's text (2001-2328, or one of the
  // program's own from 2400), 0 when no text of the module is the shown text.
  [[nodiscard]] int TextId(const platform::window::MessageBoxInfo& box) const;
  [[nodiscard]] int CaptionId(const platform::window::MessageBoxInfo& box) const;
  // The text of string number `id` as a page loads it.
  [[nodiscard]] std::string Text(int id) const;

  // Presses Esc on the newest open page and waits for the run to end.
  bool Quit(Timeout timeout = kPageWait);
  // Waits until the navigator returned (a page asked to quit).
  bool WaitFinished(Timeout timeout = kPageWait);
  // Whether the telephony context could not be opened at start.
  [[nodiscard]] bool ContextFailed() const;

  // Stops product `index`: from now on it hears and answers nothing, as a
  // product switched off.
  void StopProduct(std::size_t index);

  // The lines product `index` understood, in order.
  [[nodiscard]] std::vector<std::string> Commands(std::size_t index) const;
  [[nodiscard]] std::vector<sim::TranscriptEntry> Transcript(std::size_t index) const;
  // Waits until product `index` has received `count` lines in all; false on
  // time-out.
  bool WaitForLines(std::size_t index, std::size_t count, Timeout timeout = kPageWait) const;
  [[nodiscard]] std::size_t ProductCount() const { return products_.size(); }
  [[nodiscard]] const std::string& PortPath(std::size_t index) const;

  [[nodiscard]] platform::window::HeadlessHost& Host() { return host_; }
  // The program's records; read them while the pages rest (after a wait on
  // the host), never while a page works on them.
  [[nodiscard]] app::Program& Program() { return program_; }

 private:
  struct RunningProduct {
    std::string path;
    std::unique_ptr<sim::SimulatedProduct> product;
    std::function<platform::comm::OpenPortResult()> open;
    std::shared_ptr<std::atomic<std::int64_t>> silence =
        std::make_shared<std::atomic<std::int64_t>>(0);
  };

  platform::comm::OpenPortResult Open(const RunningProduct& running) const;

  void AddProduct(const SessionProduct& wanted, Lines lines);
  void RunMainThread();
  void Shutdown();

  TempDir folder_;
  platform::registry::Registry registry_;
  platform::window::TemplateRegistry templates_;
  platform::window::HeadlessHost host_;
  MirroredHost mirror_{host_};
  platform::window::Desktop desktop_{mirror_, templates_};
  platform::telephony::LineDirectory directory_;
  std::vector<RunningProduct> products_;
  std::vector<std::unique_ptr<platform::comm::Port>> held_;
  Timeout quickSilence_{0};
  Timeout quickGap_{0};
  app::Program program_;

  mutable std::mutex mutex_;
  std::condition_variable finishedCv_;
  bool finished_ = false;
  bool contextFailed_ = false;
  std::thread main_;
};

}  // namespace norix::testing
