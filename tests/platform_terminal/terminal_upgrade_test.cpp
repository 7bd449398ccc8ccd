// The upgrade pages as the terminal front end draws them, with the keys a
// user presses there: the wizard runs on simulated products in the test
// process and its pages are drawn by the terminal renderer beside the
// headless host, which answers the file dialog and the message boxes. The
// transfer's pauses take no time; its clock holds the transfer midway, so
// that the progress page can be read with its bar and remaining time.
// Each page is saved as text (terminal-upgrade-NN.txt beside the Qt
// screenshots).
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/terminal_texts.h"
#include "platform/terminal/canvas.h"
#include "platform/terminal/terminal_renderer.h"
#include "platform/terminal/terminal_ui.h"
#include "support/temp_dir.h"
#include "support/wizard_session.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_file_builder.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

namespace T = platform::terminal;

constexpr int kRows = 24;
constexpr int kCols = 80;
constexpr int kMostTabs = 16;

// Readings of the transfer clock: seconds go by ten at each, and reading
// `holdAt` waits until the test lets the transfer go on.
class ClockGate {
 public:
  explicit ClockGate(int holdAt) : holdAt_(holdAt) {}

  std::int64_t Read() {
    std::unique_lock lock(mutex_);
    const int reading = ++readings_;
    changed_.notify_all();
    if (reading == holdAt_) {
      changed_.wait_for(lock, kPageWait, [this] { return open_; });
    }
    return std::int64_t{10} * reading;
  }
  bool WaitHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPageWait, [this] { return readings_ >= holdAt_; });
  }
  void Open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  const int holdAt_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int readings_ = 0;
  bool open_ = false;
};

class GatedClock final : public upgrade::TransferClock {
 public:
  GatedClock(shell::StopSignal* stop, ClockGate& gate) : stop_(stop), gate_(gate) {}
  bool Pause(std::chrono::milliseconds /*duration*/) override { return !StopRequested(); }
  std::int64_t NowSeconds() override { return gate_.Read(); }
  [[nodiscard]] bool StopRequested() const override {
    return stop_ != nullptr && stop_->Requested();
  }

 private:
  shell::StopSignal* stop_;
  ClockGate& gate_;
};

// The terminal front end's screen, drawn on the test thread from the
// changes the pages make on theirs. Made before the session, whose dialogs
// it draws to their end.
class TerminalScreen {
 public:
  // Before the session starts: its pages are drawn here, with its texts.
  void Show(WizardSession& session) {
    const shell::TextModule& texts = session.Program().frame.texts;
    ui_.emplace(app::TerminalPictures(texts), T::PathContext{}, app::TerminalWordsOf(texts));
    session.DrawOn(renderer_);
  }

  // Draws until `condition` holds for the screen; false on time-out.
  bool WaitFor(const std::function<bool(const std::string&)>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPageWait;
    for (;;) {
      Draw();
      if (condition(text_)) {
        return true;
      }
      std::unique_lock lock(mutex_);
      if (!wake_.wait_until(lock, deadline, [this] { return woken_; })) {
        lock.unlock();
        Draw();
        return condition(text_);
      }
      woken_ = false;
    }
  }
  bool WaitForText(const std::string& text) {
    const bool shown =
        WaitFor([&](const std::string& screen) { return screen.find(text) != std::string::npos; });
    EXPECT_TRUE(shown) << "\"" << text << "\" not on the screen:\n" << text_;
    return shown;
  }

  void Key(T::Key key, char32_t character = 0) {
    ui_->Key({key, character});
    Draw();
  }

  // Tab until the control showing `label` is the focused one (reverse).
  // Each Tab waits for the focus to move, so that none overtakes a focus
  // the page sets itself.
  bool FocusOn(const std::string& label) {
    if (!WaitForText(label)) {
      return false;
    }
    for (int tabs = 0; tabs <= kMostTabs; ++tabs) {
      if (LabelFocused(label)) {
        return true;
      }
      const std::string before = Highlighted();
      Key(T::Key::kTab);
      WaitFor([&](const std::string&) { return LabelFocused(label) || Highlighted() != before; });
    }
    ADD_FAILURE() << "Tab never reached \"" << label << "\"\n" << text_;
    return false;
  }

  // Saves the screen as terminal-<name>.txt.
  void Capture(const std::string& name) const {
    std::filesystem::create_directories(NORIX_SCREENSHOT_DIR);
    std::ofstream(std::string(NORIX_SCREENSHOT_DIR) + "/terminal-" + name + ".txt") << text_;
  }

  [[nodiscard]] const std::string& Text() const { return text_; }
  [[nodiscard]] std::string Row(int row) const { return canvas_.RowText(row); }

 private:
  void Draw() {
    renderer_.Apply(*ui_);
    canvas_.Reset(kRows, kCols);
    ui_->Draw(canvas_);
    text_ = canvas_.Text();
  }

  // Where the page shows reverse cells (the focused control): between the
  // title line and the status line.
  std::string Highlighted() const {
    std::string cells;
    for (int row = 1; row < kRows - 1; ++row) {
      for (int col = 0; col < kCols; ++col) {
        if ((canvas_.At(row, col).attributes & T::Attribute::kReverse) != 0) {
          cells += std::to_string(row) + ',' + std::to_string(col) + ' ';
        }
      }
    }
    return cells;
  }

  bool LabelFocused(const std::string& label) const {
    for (int row = 0; row < kRows; ++row) {
      const std::size_t col = canvas_.RowText(row).find(label);
      if (col != std::string::npos) {
        return (canvas_.At(row, static_cast<int>(col)).attributes & T::Attribute::kReverse) != 0;
      }
    }
    return false;
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
  T::TerminalRenderer renderer_{[this] {
    const std::lock_guard lock(mutex_);
    woken_ = true;
    wake_.notify_all();
  }};
  std::optional<T::TerminalUi> ui_;
  T::Canvas canvas_;
  std::string text_;
};

// The corvid's upgrade file of firmware version `version`.
std::string WriteUpgradeFile(TempDir& folder, const std::string& version) {
  upgrade::UpgradeFileRecipe recipe;
  recipe.name = "NORIX corvid 560 Voice";
  recipe.version = version;
  recipe.loader = upgrade::MakeFlashLoader(upgrade::LoaderMode::RawStar, 2500, 7);
  recipe.firmware =
      upgrade::MakeFirmware(upgrade::FirmwareTarget::ModemNormalFlash,
                            "NORIX corvid 560 Voice V" + version, 6000, 8);  // six chunks
  const auto built = upgrade::BuildUpgradeFile(recipe);
  EXPECT_TRUE(built.ok()) << built.error;
  std::string digits = version;
  std::erase(digits, '.');
  return folder.Write("C560V" + digits + ".LFU",
                      std::string(built.bytes.begin(), built.bytes.end()));
}

sim::ProductOptions Quick() {
  sim::ProductOptions options;
  options.upgrade.timePercent = 0;
  options.upgrade.powerOffTime = {};
  return options;
}

// From the start page: '>' (or '<' on a version page), the file, and the
// version page it leads to, drawn with the current version.
void ChooseFile(WizardSession& session, TerminalScreen& screen, const std::string& arrow,
                const std::string& path, int page) {
  ASSERT_TRUE(screen.FocusOn(arrow));
  screen.Key(T::Key::kEnter);
  ASSERT_TRUE(session.Host().AnswerFileDialog(path, kPageWait)) << screen.Text();
  ASSERT_NE(session.WaitForPage(page), W::kNullHwnd)
      << session.Host().WaitForMessageBox(kNothingWait).value_or(W::MessageBoxInfo{}).text;
}

// Start, older, same and newer version pages by their arrows, then the
// transfer: the bar fills and the remaining time shows while it runs.
TEST(TerminalUpgradePages, WalkedByKeysToTheTransferWithItsBarAndRemainingTime) {
  TempDir folder;
  const std::string older = WriteUpgradeFile(folder, "1.30");
  const std::string same = WriteUpgradeFile(folder, "1.40");
  const std::string newer = WriteUpgradeFile(folder, "1.50");
  TerminalScreen screen;
  // Reading 1 starts the firmware phase, each acknowledged chunk reads
  // again: held before the third chunk's step.
  ClockGate gate(4);
  WizardSession session{{"corvid560", kCorvidLine, Quick()}};
  session.Program().upgradeHooks.makeClock = [&gate](shell::StopSignal* stop) {
    return std::make_unique<GatedClock>(stop, gate);
  };
  screen.Show(session);
  session.Start();
  ASSERT_NE(WaitForMainMenu(session), W::kNullHwnd);

  ASSERT_TRUE(screen.FocusOn("Upgrade"));
  screen.Key(T::Key::kEnter);
  ASSERT_NE(session.WaitForPage(resources::kUpgradeStartPage), W::kNullHwnd);
  ASSERT_TRUE(screen.WaitForText(Text(session, 2069)));
  ASSERT_TRUE(screen.WaitForText("1.40"));
  EXPECT_NE(screen.Text().find("[< Back] [> Next]"), std::string::npos) << screen.Text();
  screen.Capture("upgrade-17-start");

  struct VersionPage {
    int page;
    std::string path;
    const char* name;
    const char* arrows;  // the arrows the page offers, as drawn
  };
  const VersionPage kPages[] = {
      {resources::kUpgradeOlderPage, older, "older", "[< Back] [> Next] [X Cancel]"},
      {resources::kUpgradeSamePage, same, "same", "[< Back] [> Next] [X Cancel]"},
      {resources::kUpgradeNewerPage, newer, "newer", "[> Next] [X Cancel]"},
  };
  std::string arrow = "[> Next]";
  for (const VersionPage& p : kPages) {
    SCOPED_TRACE(p.name);
    ChooseFile(session, screen, arrow, p.path, p.page);
    ASSERT_TRUE(screen.WaitForText(p.arrows));
    ASSERT_TRUE(screen.WaitForText("1.40"));
    screen.Capture("upgrade-" + std::to_string(p.page) + "-" + p.name);
    arrow = "[< Back]";
  }

  ASSERT_TRUE(screen.FocusOn("[> Next]"));
  screen.Key(T::Key::kEnter);
  ASSERT_NE(session.WaitForPage(resources::kUpgradeProgressPage), W::kNullHwnd);
  ASSERT_TRUE(gate.WaitHeld());
  // Two of the five steps done: the bar partly filled, the time as mm:ss.
  const std::regex partBar(R"(\[#+\.+\])");
  const std::regex time(Text(session, 2038) + R"( +\d\d:\d\d)");
  EXPECT_TRUE(screen.WaitFor([&](const std::string& text) {
    return std::regex_search(text, partBar) && std::regex_search(text, time);
  })) << screen.Text();
  EXPECT_EQ(screen.Text().find("[> Next]"), std::string::npos) << "the page has no buttons";
  screen.Capture("upgrade-22-progress");
  gate.Open();

  const auto done = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(done);
  EXPECT_EQ(session.TextId(*done), 2157);
  ASSERT_NE(WaitForMainMenu(session), W::kNullHwnd);
  EXPECT_EQ(session.Program().frame.context->firmwareVersionNumber, 150);
}

// An adapter with an internal modem first asks which part to upgrade: both
// radios with their versions, Space choosing the other one.
TEST(TerminalUpgradePages, ChoosingThePartOfAnAdapterWithAModem) {
  TerminalScreen screen;
  WizardSession session{{"solano1280mi", kSolanoModemLine}};
  screen.Show(session);
  session.Start();
  ASSERT_NE(WaitForMainMenu(session), W::kNullHwnd);
  ASSERT_TRUE(screen.FocusOn("Upgrade"));
  screen.Key(T::Key::kEnter);
  const W::HWND page = session.WaitForPage(resources::kUpgradeChoosePartPage);
  ASSERT_NE(page, W::kNullHwnd);
  ASSERT_TRUE(screen.WaitForText("(*) " + Text(session, 2049)));
  ASSERT_TRUE(screen.WaitForText("( ) " + Text(session, 2064)));
  ASSERT_TRUE(screen.WaitForText("1.42"));
  screen.Capture("upgrade-18-choose-part");
  ASSERT_TRUE(screen.FocusOn("( ) " + Text(session, 2064)));
  screen.Key(T::Key::kCharacter, U' ');
  EXPECT_TRUE(screen.WaitForText("(*) " + Text(session, 2064)));
  EXPECT_TRUE(screen.WaitForText("( ) " + Text(session, 2049)));
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::testing
