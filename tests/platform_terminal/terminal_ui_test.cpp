// The terminal front end on the dialog manager, in the test process: a
// dialog runs on a thread of its own and other threads change its controls,
// while the test thread plays the front end's thread (it applies the queued
// changes and draws). The screen follows the model; keys and clicks reach
// the dialog as the window system delivers them; message boxes and the file
// dialog are answered by key.
#include "platform/terminal/terminal_ui.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/terminal/terminal_renderer.h"
#include "platform/terminal/text_cells.h"
#include "platform/window/control_api.h"
#include "platform/window/message_box.h"
#include "platform/window/user_input.h"
#include "platform_window/dialog_fixture.h"
#include "support/temp_dir.h"

namespace norix::platform::terminal {
namespace {

namespace W = window;
using W::testing::DialogThread;
using W::testing::kLong;
using W::testing::MessageLog;

constexpr W::UINT kHover = W::WM_APP + 8;
constexpr int kRows = 24;
constexpr int kCols = 80;

// The test's own picture names: the arrows of the test page.
std::string TestPictures(int picture) {
  switch (picture) {
    case 123:
    case 124:
      return "< Back";
    case 126:
    case 128:
      return "> Next";
    default:
      return {};
  }
}

KeyPress Press(Key key) { return {key, 0}; }
KeyPress Typed(char32_t c) { return {Key::kCharacter, c}; }

class TerminalUiTest : public ::testing::Test {
 protected:
  TerminalUiTest() {
    EXPECT_EQ(templates_.Add(W::testing::PageTemplate()), "");
    EXPECT_EQ(templates_.Add(W::testing::PickerTemplate()), "");
    desktop_.SetHoverMessage(kHover);
  }

  // Applies the model's changes and draws the screen.
  void Pump() {
    renderer_.Apply(ui_);
    canvas_.Reset(kRows, kCols);
    ui_.Draw(canvas_);
    screen_ = canvas_.Text();
  }

  // Pumps until `condition` holds for the screen, sleeping until the model
  // changes again; false on time-out.
  bool WaitForScreen(const std::function<bool(const std::string&)>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kLong;
    for (;;) {
      Pump();
      if (condition(screen_)) {
        return true;
      }
      std::unique_lock lock(mutex_);
      if (!wake_.wait_until(lock, deadline, [this] { return woken_; })) {
        lock.unlock();
        Pump();
        return condition(screen_);
      }
      woken_ = false;
    }
  }

  bool WaitForText(const std::string& text) {
    const bool shown = WaitForScreen(
        [&](const std::string& screen) { return screen.find(text) != std::string::npos; });
    EXPECT_TRUE(shown) << "\"" << text << "\" not on the screen:\n" << screen_;
    return shown;
  }

  void Key(const KeyPress& key) {
    ui_.Key(key);
    Pump();
  }

  // The first cell of `text` on the screen (ASCII texts).
  std::optional<CellPos> Locate(const std::string& text) {
    for (int row = 0; row < canvas_.Rows(); ++row) {
      const std::size_t col = canvas_.RowText(row).find(text);
      if (col != std::string::npos) {
        return CellPos{row, static_cast<int>(col)};
      }
    }
    return std::nullopt;
  }

  // A dialog of the test page, up, with the keyboard on it.
  W::HWND OpenPage(DialogThread& page) {
    const W::HWND handle = page.WaitHandle();
    EXPECT_NE(handle, W::kNullHwnd);
    EXPECT_TRUE(WaitForText("Please wait..."));
    return handle;
  }

  norix::testing::TempDir folder_;
  W::TemplateRegistry templates_;
  TerminalRenderer renderer_{[this] {
    const std::lock_guard lock(mutex_);
    woken_ = true;
    wake_.notify_all();
  }};
  TerminalUi ui_{TestPictures, PathContext{folder_.Path(), ""}};
  W::Desktop desktop_{renderer_, templates_};
  Canvas canvas_;
  std::string screen_;

  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
};

// --- The screen follows the model, whichever thread changes it -------------

struct ShownCase {
  const char* what;
  std::function<void(W::HWND)> change;  // run on a thread of its own
  std::string shown;                    // on the screen afterwards
};

class ScreenTest : public TerminalUiTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(ScreenTest, ShowsWhatAnotherThreadChanged) {
  MessageLog log;
  DialogThread page(desktop_, W::testing::kPage, W::testing::LoggingProc(log));
  const W::HWND handle = OpenPage(page);
  std::thread([&] { GetParam().change(handle); }).join();
  EXPECT_TRUE(WaitForText(GetParam().shown)) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ScreenTest,
    ::testing::Values(
        ShownCase{"UTF-8 text", [](W::HWND h) { W::SetDlgItemText(h, 1074, "Prüfe Leitung …"); },
                  "Prüfe Leitung …"},
        ShownCase{"check box", [](W::HWND h) { W::CheckDlgButton(h, 1128, W::BST_CHECKED); },
                  "[x] BOD"},
        ShownCase{"radio", [](W::HWND h) { W::CheckRadioButton(h, 1127, 1126, 1126); },
                  "( ) 1 Channel"},
        ShownCase{"drop-down list",
                  [](W::HWND h) {
                    W::AddListItem(h, 1000, "Danmark (45)");
                    W::SetListSelection(h, 1000, 0);
                  },
                  "[Danmark (45)"},
        ShownCase{"list box",
                  [](W::HWND h) {
                    W::AddListItem(h, 1010, "COM1");
                    W::AddListItem(h, 1010, "COM2");
                    W::SetListSelection(h, 1010, 1);
                  },
                  ">COM2"},
        ShownCase{"progress bar",
                  [](W::HWND h) {
                    W::SetProgressRange(h, 1073, 0, 10);
                    W::SetProgressPos(h, 1073, 10);
                  },
                  "[#####"},
        ShownCase{"a hidden button shown",
                  [](W::HWND h) { W::ShowWindow(W::GetDlgItem(h, 1090), 1); }, "[ Hidden ]"},
        ShownCase{"a disabled big button enabled",
                  [](W::HWND h) { W::EnableWindow(W::GetDlgItem(h, 1004), true); },
                  "Settings     ]"},
        ShownCase{"arrow buttons as their meaning", [](W::HWND) {}, "[< Back] [> Next]"},
        ShownCase{"edit text", [](W::HWND h) { W::SetDlgItemText(h, 1041, "ATI3"); }, "[ATI3___"}));

TEST_F(TerminalUiTest, TitleAndStatusLinesFrameThePage) {
  DialogThread page(desktop_, W::testing::kPage, {});
  const W::HWND handle = OpenPage(page);
  EXPECT_EQ(canvas_.RowText(0), " Test page");
  W::SetFocus(W::GetDlgItem(handle, W::testing::kBod));
  EXPECT_TRUE(WaitForScreen([&](const std::string&) {
    return canvas_.RowText(kRows - 1).find("Space: choose") != std::string::npos;
  }));
  // A control the page has said something about shows that instead of the
  // keys, on one line.
  W::SetControlHelp(handle, W::testing::kBod, "Bandwidth on demand:\nadds the second channel");
  EXPECT_TRUE(WaitForScreen([&](const std::string&) {
    return canvas_.RowText(kRows - 1) == " Bandwidth on demand: adds the second channel";
  })) << canvas_.RowText(kRows - 1);
  W::SetFocus(W::GetDlgItem(handle, W::testing::kEntry));
  EXPECT_TRUE(WaitForScreen([&](const std::string&) {
    return canvas_.RowText(kRows - 1).starts_with(" Tab: next");
  })) << canvas_.RowText(kRows - 1);
  W::SetWaitCursor(handle, true);
  EXPECT_TRUE(WaitForScreen([&](const std::string&) {
    return canvas_.RowText(kRows - 1).starts_with(" Please wait...");
  }));
  // The disabled big button shows without its brackets.
  EXPECT_NE(screen_.find("Settings"), std::string::npos);
  EXPECT_EQ(screen_.find("Settings     ]"), std::string::npos);
}

TEST_F(TerminalUiTest, APickerIsABoxOverItsPageAndTakesTheKeys) {
  MessageLog pageLog;
  MessageLog pickerLog;
  DialogThread page(desktop_, W::testing::kPage, W::testing::LoggingProc(pageLog));
  const W::HWND owner = OpenPage(page);
  DialogThread picker(desktop_, W::testing::kPicker, W::testing::LoggingProc(pickerLog), owner);
  ASSERT_NE(picker.WaitHandle(), W::kNullHwnd);
  ASSERT_TRUE(WaitForText("+- Select modem model -"));
  EXPECT_NE(screen_.find("Cancel"), std::string::npos);
  EXPECT_NE(screen_.find("Please wait..."), std::string::npos) << "the page stays beneath";
  EXPECT_EQ(canvas_.RowText(0), " Test page");
  Key(Press(Key::kEscape));
  EXPECT_TRUE(pickerLog.WaitForCommand(W::IDCANCEL, W::BN_CLICKED, kLong));
  EXPECT_FALSE(pageLog.WaitForCommand(W::IDCANCEL, W::BN_CLICKED, W::testing::kShort));
}

// --- Keys and clicks reach the dialog ----------------------------------------

struct KeyCase {
  const char* what;
  int focus;
  std::vector<KeyPress> keys;
  // Holds once the keys took effect (waits on the dialog's log).
  std::function<bool(W::HWND, MessageLog&)> took;
};

class KeyTest : public TerminalUiTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTest, ReachTheDialogAsTheWindowSystemDeliversThem) {
  MessageLog log;
  DialogThread page(desktop_, W::testing::kPage, W::testing::LoggingProc(log));
  const W::HWND handle = OpenPage(page);
  for (const char* line : {"Austria", "Belgium", "Canada"}) {
    W::AddListItem(handle, W::testing::kCountries, line);
    W::AddListItem(handle, W::testing::kLines, line);
  }
  W::SetTrackbarRange(handle, W::testing::kSlider, 0, 20);
  ASSERT_TRUE(W::UserFocus(handle, GetParam().focus));
  ASSERT_TRUE(WaitForScreen([&](const std::string&) { return ui_.Cursor().has_value(); }));
  for (const KeyPress& key : GetParam().keys) {
    Key(key);
  }
  EXPECT_TRUE(GetParam().took(handle, log)) << GetParam().what << "\n" << screen_;
}

bool Commanded(MessageLog& log, int id, W::UINT code) {
  return log.WaitForCommand(id, code, kLong).has_value();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    ::testing::Values(
        KeyCase{
            "Esc is the cancel command",
            W::testing::kBod,
            {Press(Key::kEscape)},
            [](W::HWND, MessageLog& log) { return Commanded(log, W::IDCANCEL, W::BN_CLICKED); }},
        KeyCase{"typing edits at the caret",
                W::testing::kEntry,
                {Typed('A'), Typed('T'), Typed('&'), Typed('F'), Press(Key::kBackspace),
                 Press(Key::kLeft), Press(Key::kHome), Press(Key::kDelete), Typed('a'),
                 Press(Key::kEnd), Typed('V')},
                [](W::HWND h, MessageLog&) { return W::GetDlgItemText(h, 1041) == "aT&V"; }},
        KeyCase{"a digits-only edit keeps the digits",
                W::testing::kDigits,
                {Typed('1'), Typed('a'), Typed('2'), Typed(U'ß')},
                [](W::HWND h, MessageLog&) { return W::GetDlgItemText(h, 1044) == "12"; }},
        KeyCase{"Space ticks a check box",
                W::testing::kBod,
                {Typed(' ')},
                [](W::HWND h, MessageLog& log) {
                  return Commanded(log, W::testing::kBod, W::BN_CLICKED) &&
                         W::IsDlgButtonChecked(h, W::testing::kBod) == W::BST_CHECKED;
                }},
        KeyCase{"Enter presses the focused arrow button",
                W::testing::kNext,
                {Press(Key::kEnter)},
                [](W::HWND, MessageLog& log) {
                  return Commanded(log, W::testing::kNext, W::BN_CLICKED);
                }},
        KeyCase{"Tab moves the focus and reports the pointer on the control",
                W::testing::kEntry,
                {Press(Key::kTab)},
                [](W::HWND h, MessageLog& log) {
                  return log.WaitFor(
                                [](const W::testing::Received& r) {
                                  return r.message == kHover && r.lParam == W::testing::kDigits;
                                },
                                kLong)
                             .has_value() &&
                         W::GetFocus(h) == W::GetDlgItem(h, W::testing::kDigits);
                }},
        KeyCase{"Down picks the next line of a list box",
                W::testing::kLines,
                {Press(Key::kDown), Press(Key::kDown)},
                [](W::HWND h, MessageLog& log) {
                  return Commanded(log, W::testing::kLines, W::LBN_SELCHANGE) &&
                         W::GetListSelection(h, W::testing::kLines) == 1;
                }},
        KeyCase{"Enter opens a drop-down list, Down and Enter pick a line",
                W::testing::kCountries,
                {Press(Key::kEnter), Press(Key::kDown), Press(Key::kDown), Press(Key::kEnter)},
                [](W::HWND h, MessageLog& log) {
                  return Commanded(log, W::testing::kCountries, W::CBN_SELCHANGE) &&
                         W::GetListSelection(h, W::testing::kCountries) == 2;
                }},
        KeyCase{"a letter picks the next line starting with it",
                W::testing::kCountries,
                {Typed('b')},
                [](W::HWND h, MessageLog&) {
                  return W::GetListSelection(h, W::testing::kCountries) == 1;
                }},
        KeyCase{"Esc closes an open list without picking",
                W::testing::kCountries,
                {Press(Key::kEnter), Press(Key::kDown), Press(Key::kEscape)},
                [](W::HWND h, MessageLog& log) {
                  return W::GetListSelection(h, W::testing::kCountries) == -1 &&
                         !log.WaitForCommand(W::IDCANCEL, W::BN_CLICKED, W::testing::kShort);
                }},
        KeyCase{"arrows move a trackbar",
                W::testing::kSlider,
                {Press(Key::kRight), Press(Key::kRight), Press(Key::kPageDown), Press(Key::kLeft)},
                [](W::HWND h, MessageLog&) {
                  const auto state = W::GetControlState(h, W::testing::kSlider);
                  return state && state->position == 3;
                }}));

TEST_F(TerminalUiTest, ClicksPressButtonsAndPickLines) {
  MessageLog log;
  DialogThread page(desktop_, W::testing::kPage, W::testing::LoggingProc(log));
  const W::HWND handle = OpenPage(page);
  W::AddListItem(handle, W::testing::kLines, "first");
  W::AddListItem(handle, W::testing::kLines, "second");
  ASSERT_TRUE(WaitForText("second"));

  const auto box = Locate("[ ] BOD");
  ASSERT_TRUE(box);
  ui_.Click(*box);
  EXPECT_TRUE(log.WaitForCommand(W::testing::kBod, W::BN_CLICKED, kLong));
  const auto line = Locate("second");
  ASSERT_TRUE(line);
  ui_.Click(*line);
  EXPECT_TRUE(log.WaitForCommand(W::testing::kLines, W::LBN_SELCHANGE, kLong));
  EXPECT_EQ(W::GetListSelection(handle, W::testing::kLines), 1);
  const auto next = Locate("[> Next]");
  ASSERT_TRUE(next);
  ui_.Click(*next);
  EXPECT_TRUE(log.WaitForCommand(W::testing::kNext, W::BN_CLICKED, kLong));
}

// --- Message boxes ---------------------------------------------------------------

struct BoxCase {
  W::UINT style;
  std::vector<KeyPress> keys;
  int answer;
};

class MessageBoxKeyTest : public TerminalUiTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxKeyTest, IsAnsweredByKeyboard) {
  auto answer = std::async(std::launch::async, [&] {
    return W::MessageBox(desktop_, W::kNullHwnd, "Die Nationalität wurde gesetzt.", "NORIX",
                         GetParam().style);
  });
  ASSERT_TRUE(WaitForText("Die Nationalität wurde gesetzt."));
  for (const KeyPress& key : GetParam().keys) {
    Key(key);
  }
  ASSERT_EQ(answer.wait_for(kLong), std::future_status::ready) << screen_;
  EXPECT_EQ(answer.get(), GetParam().answer);
  EXPECT_FALSE(ui_.HasModalBox());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MessageBoxKeyTest,
    ::testing::Values(BoxCase{W::MB_OK, {Press(Key::kEnter)}, W::IDOK},
                      BoxCase{W::MB_OK, {Press(Key::kEscape)}, W::IDOK},
                      BoxCase{W::MB_YESNO | W::MB_DEFBUTTON2, {Press(Key::kEnter)}, W::IDNO},
                      BoxCase{W::MB_YESNO, {Press(Key::kRight), Typed(' ')}, W::IDNO},
                      BoxCase{W::MB_YESNO, {Press(Key::kEscape), Typed('y')}, W::IDYES},
                      BoxCase{W::MB_YESNOCANCEL, {Press(Key::kEscape)}, W::IDCANCEL},
                      BoxCase{W::MB_RETRYCANCEL, {Typed('R')}, W::IDRETRY}));

TEST_F(TerminalUiTest, MessageBoxShowsItsIconMeaningAndButtonsOverThePage) {
  DialogThread page(desktop_, W::testing::kPage, {});
  OpenPage(page);
  auto answer = std::async(std::launch::async, [&] {
    return W::MessageBox(desktop_, W::kNullHwnd, "Could not find a NORIX product.", "NORIX",
                         W::MB_YESNO | W::MB_ICONEXCLAMATION);
  });
  EXPECT_TRUE(WaitForText("(!) Warning"));
  EXPECT_TRUE(WaitForText("[ Yes ]  [ No ]"));
  Key(Press(Key::kTab));  // the page takes no key meanwhile
  Key(Typed('n'));
  ASSERT_EQ(answer.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(answer.get(), W::IDNO);
  EXPECT_TRUE(WaitForScreen(
      [](const std::string& screen) { return screen.find("(!) Warning") == std::string::npos; }));
}

// --- The file dialog ---------------------------------------------------------------

TEST_F(TerminalUiTest, FileDialogListsTheFilterFilesCompletesAndOpens) {
  folder_.Write("netrunner_111.lfu", "x");
  folder_.Write("readme.txt", "x");
  folder_.Write("older/netrunner_100.lfu", "x");
  W::OpenFileName request;
  request.title = "Select upgrade file";
  request.filters = {{"Upgrade files (*.lfu)", "*.lfu"}};
  request.defaultExtension = "lfu";
  request.initialDir = folder_.Path().string();
  auto chosen =
      std::async(std::launch::async, [&] { return W::GetOpenFileName(desktop_, request); });
  ASSERT_TRUE(WaitForText("netrunner_111.lfu"));
  EXPECT_NE(screen_.find("older/"), std::string::npos);
  EXPECT_EQ(screen_.find("readme.txt"), std::string::npos);

  // Into the folder by completion and Enter, back with "../" picked.
  for (const char32_t c : std::u32string(U"ol")) {
    Key(Typed(c));
  }
  Key(Press(Key::kTab));
  Key(Press(Key::kEnter));
  ASSERT_TRUE(WaitForText("netrunner_100.lfu"));
  Key(Press(Key::kDown));  // "../"
  Key(Press(Key::kEnter));
  ASSERT_TRUE(WaitForText("netrunner_111.lfu"));
  // A file that is not there is refused; completion finds the one that is.
  Key(Typed('x'));
  Key(Press(Key::kEnter));
  EXPECT_TRUE(WaitForText("There is no file x"));
  Key(Press(Key::kBackspace));
  Key(Typed('n'));
  Key(Press(Key::kTab));
  Key(Press(Key::kEnter));
  ASSERT_EQ(chosen.wait_for(kLong), std::future_status::ready) << screen_;
  EXPECT_EQ(chosen.get(), (folder_.Path() / "netrunner_111.lfu").string());

  auto cancelled =
      std::async(std::launch::async, [&] { return W::GetOpenFileName(desktop_, request); });
  ASSERT_TRUE(WaitForText("Select upgrade file"));
  Key(Press(Key::kEscape));
  ASSERT_EQ(cancelled.wait_for(kLong), std::future_status::ready);
  EXPECT_EQ(cancelled.get(), std::nullopt);
}

}  // namespace
}  // namespace norix::platform::terminal
