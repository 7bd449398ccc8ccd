// Whole wizard flows of norix-config in a terminal: the program runs on a
// pseudo-terminal inside a virtual terminal, with simulated products, and
// each flow types keys (or clicks) as a user would and reads the screen.
// The main pages are saved as text (terminal-NN-<page>.txt beside the Qt
// screenshots).
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/nationality_table.h"
#include "platform_terminal/terminal_session.h"
#include "sim/pty_product.h"
#include "support/temp_dir.h"

namespace norix::testing {
namespace {

using namespace std::chrono_literals;

// The program's identification of a product and a page's reading of it
// take well under a second; the sanitizer builds are many times slower.
constexpr auto kWait = 30s;
constexpr auto kMove = 10s;  // a focus move or a redraw
constexpr int kMostTabs = 16;

const std::string kModemName = "NORIX Netrunner 56000 Voice";

std::vector<std::string> Rows(const std::string& screen) {
  std::vector<std::string> rows;
  std::size_t start = 0;
  for (std::size_t end = screen.find('\n'); end != std::string::npos;
       start = end + 1, end = screen.find('\n', start)) {
    rows.push_back(screen.substr(start, end - start));
  }
  return rows;
}

class TerminalFlowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TerminalSession> Start(TerminalOptions options) {
    options.environment.emplace_back("XDG_CONFIG_HOME", (home_.Path() / "config").string());
    options.environment.emplace_back("XDG_RUNTIME_DIR", home_.Path().string());
    options.environment.emplace_back("HOME", home_.Path().string());
    return std::make_unique<TerminalSession>(NORIX_CONFIG_PATH, options);
  }

  // Saves the screen as terminal-<name>.txt.
  static void Capture(const TerminalSession& session, const std::string& name) {
    std::filesystem::create_directories(NORIX_SCREENSHOT_DIR);
    std::ofstream(std::string(NORIX_SCREENSHOT_DIR) + "/terminal-" + name + ".txt")
        << session.Screen();
  }

  // Presses Tab until the control showing `label` is the focused one (shown
  // in reverse). Each Tab waits for the focus shown before it and for the
  // focus to move, so that no Tab overtakes the page's own focus setting.
  static bool FocusOn(TerminalSession& session, const std::string& label) {
    const auto focusShown = [&](const std::string&) { return !session.Highlighted().empty(); };
    for (int tabs = 0; tabs <= kMostTabs; ++tabs) {
      session.WaitFor(focusShown, kMove);
      const std::string before = session.Highlighted();
      const auto at = session.Find(label);
      if (at && session.Reverse(at->first, at->second)) {
        return true;
      }
      session.Key(VTERM_KEY_TAB);
      session.WaitFor(
          [&](const std::string& screen) {
            return focusShown(screen) && session.Highlighted() != before;
          },
          kMove);
    }
    ADD_FAILURE() << "Tab never reached \"" << label << "\"\n" << session.Screen();
    return false;
  }

  static void ExpectEscEnds(TerminalSession& session) {
    session.Key(VTERM_KEY_ESCAPE);
    EXPECT_EQ(session.WaitExit(kWait), 0) << session.Screen();
  }

  TempDir home_;
};

TEST_F(TerminalFlowTest, StartsOnAPlainVt100ToTheMainMenuAndEscEnds) {
  TerminalOptions options;
  options.arguments = {"--terminal", "--simulate"};
  options.term = "vt100";
  options.utf8 = false;
  const auto session = Start(options);
  ASSERT_TRUE(session->WaitForText("Product information", kWait)) << session->Output();
  ASSERT_TRUE(session->WaitForText(kModemName, kWait)) << session->Screen();
  const std::string screen = session->Screen();
  EXPECT_EQ(screen.substr(0, screen.find('\n')), " NORIX Configuration program");
  EXPECT_TRUE(session->Reverse(0, 1)) << "the title line";
  for (const char* shown : {"Settings", "Upgrade", "Change the nationality setting"}) {
    EXPECT_NE(screen.find(shown), std::string::npos) << shown;
  }
  EXPECT_TRUE(std::all_of(screen.begin(), screen.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      << "a terminal without UTF-8 gets ASCII:\n"
      << screen;
  Capture(*session, "01-main-menu");
  ExpectEscEnds(*session);
  // Every frame is marked whole for terminals with synchronized output.
  const auto count = [&](std::string_view marker) {
    std::size_t found = 0;
    for (std::size_t at = session->Output().find(marker); at != std::string::npos;
         at = session->Output().find(marker, at + 1)) {
      ++found;
    }
    return found;
  };
  EXPECT_GT(count("\033[?2026h"), 0U);
  EXPECT_EQ(count("\033[?2026h"), count("\033[?2026l"));
}

TEST_F(TerminalFlowTest, ProductInformationWithTheLineTestByMouseAndKeys) {
  TerminalOptions options;
  options.arguments = {"--terminal", "--simulate"};
  const auto session = Start(options);
  ASSERT_TRUE(session->WaitForText("Product information", kWait)) << session->Output();
  // The menu takes clicks once it has identified the product and shows its name.
  ASSERT_TRUE(session->WaitForText(kModemName, kWait)) << session->Screen();
  const auto button = session->Find("Product information");
  ASSERT_TRUE(button);
  session->Click(button->first, button->second);
  ASSERT_TRUE(session->WaitForText("Product release:", kWait)) << session->Screen();
  ASSERT_TRUE(session->WaitForText("Product name:      " + kModemName, kWait)) << session->Screen();
  ASSERT_TRUE(session->WaitForText("1.10", kWait)) << session->Screen();
  Capture(*session, "02-product-information");

  ASSERT_TRUE(FocusOn(*session, "Test line"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("The line was tested and found to be OK.", kWait))
      << session->Screen();
  EXPECT_TRUE(session->WaitForText("[ OK ]", kMove));
  Capture(*session, "03-line-test");
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForTextGone("found to be OK", kMove)) << session->Screen();

  ASSERT_TRUE(FocusOn(*session, "[< Back]"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForTextGone("Product release:", kWait)) << session->Screen();
  ASSERT_TRUE(session->WaitForText("Upgrade", kWait));
  ExpectEscEnds(*session);
}

TEST_F(TerminalFlowTest, NationalityChoosingACountryAndAnsweringTheMessage) {
  // The product runs in the test, so that its transcript can be read; the
  // program finds it as a line device of lines.conf.
  sim::PtyProduct modem = sim::StartOnPty("netrunner56k");
  ASSERT_TRUE(modem.product) << modem.error;
  home_.Write("config/norix/lines.conf",
              "[line]\nname = " + kModemName + "\nport = " + modem.path + "\n");
  TerminalOptions options;
  options.arguments = {"--terminal"};
  const auto session = Start(options);
  ASSERT_TRUE(session->WaitForText("Product information", kWait)) << session->Output();

  ASSERT_TRUE(FocusOn(*session, "Settings"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("Default Setting", kWait)) << session->Screen();
  ASSERT_TRUE(FocusOn(*session, "Country"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("Select current nationality", kWait)) << session->Screen();
  ASSERT_TRUE(session->WaitForText("U.S.A. (1)", kWait)) << session->Screen();

  // The page gives the list the focus once it is filled; a letter then
  // picks the country in the closed list, and the flag follows as the
  // country's name.
  ASSERT_TRUE(session->WaitFor(
      [&](const std::string&) {
        const auto list = session->Find("[U.S.A. (1)");
        return list && session->Reverse(list->first, list->second);
      },
      kMove));
  session->Type(U"g");
  ASSERT_TRUE(session->WaitForText("[Germany (49)", kMove)) << session->Screen();
  ASSERT_TRUE(session->WaitFor(
      [](const std::string& screen) {
        const std::string field = "[Germany (49)";
        const std::size_t list = screen.find(field);
        return list != std::string::npos &&
               screen.find("Germany", list + field.size()) != std::string::npos;
      },
      kMove))
      << "no flag:\n"
      << session->Screen();
  Capture(*session, "04-nationality");

  ASSERT_TRUE(FocusOn(*session, "[V OK]"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("(!) Warning", kWait)) << session->Screen();
  Capture(*session, "05-message-box");
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForTextGone("(!) Warning", kMove)) << session->Screen();
  ASSERT_TRUE(session->WaitForText("Default Setting", kWait)) << session->Screen();

  EXPECT_TRUE(modem.product->WaitForCommand(
      device::NationalitySettingCommand(49, /*gciSupport=*/true), kWait));
  ExpectEscEnds(*session);
}

TEST_F(TerminalFlowTest, AtConsoleRedrawsWhenTheTerminalIsResized) {
  TerminalOptions options;
  options.arguments = {"--terminal", "--simulate"};
  const auto session = Start(options);
  ASSERT_TRUE(session->WaitForText("Product information", kWait)) << session->Output();
  ASSERT_TRUE(FocusOn(*session, "Settings"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("Default Setting", kWait)) << session->Screen();
  ASSERT_TRUE(FocusOn(*session, "Default Setting"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("AT command", kWait)) << session->Screen();

  // The command entry has the focus: typing goes there, Enter sends it.
  session->Type(U"ati3");
  ASSERT_TRUE(session->WaitForText("[ati3___", kMove)) << session->Screen();
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("[" + kModemName + " V1.10", kWait)) << session->Screen();
  Capture(*session, "06-at-console");

  session->Resize(30, 100);
  // The status line moves to the new last row.
  ASSERT_TRUE(session->WaitFor(
      [](const std::string& screen) {
        const std::vector<std::string> rows = Rows(screen);
        return rows.size() == 30 && rows.back().starts_with(" Tab: next") && rows[22].empty();
      },
      kMove))
      << session->Screen();
  EXPECT_NE(session->Screen().find(kModemName + " V1.10"), std::string::npos);
  session->Resize(24, 80);
  ASSERT_TRUE(session->WaitForText("Reply        [", kMove)) << session->Screen();
  ExpectEscEnds(*session);
}

TEST_F(TerminalFlowTest, KometMenuHelpFollowsTheFocus) {
  TerminalOptions options;
  options.arguments = {"--terminal", "--simulate", "komet2"};
  const auto session = Start(options);
  ASSERT_TRUE(session->WaitForText("Product information", kWait)) << session->Output();
  ASSERT_TRUE(FocusOn(*session, "Settings"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("( ) Provider services", kWait)) << session->Screen();
  // The focus on a radio is the pointer over it: its description shows.
  ASSERT_TRUE(FocusOn(*session, "Protocols"));
  ASSERT_TRUE(session->WaitForText("The Protocols page", kMove)) << session->Screen();
  session->Key(VTERM_KEY_DOWN);
  ASSERT_TRUE(session->WaitForText("The local setting page", kMove)) << session->Screen();
  // The status line says it too; on an arrow, which has no help, the keys.
  const auto statusShows = [](const std::string& start) {
    return [start](const std::string& screen) { return Rows(screen).back().starts_with(start); };
  };
  EXPECT_TRUE(session->WaitFor(statusShows(" The local setting page"), kMove)) << session->Screen();
  Capture(*session, "07-komet-settings");
  ASSERT_TRUE(FocusOn(*session, "[> Next]"));
  EXPECT_TRUE(session->WaitFor(statusShows(" Enter: > Next"), kMove)) << session->Screen();
  // Ctrl+C is Esc: the page ends the program.
  session->Type(U"\x03");
  EXPECT_EQ(session->WaitExit(kWait), 0) << session->Screen();
}

TEST_F(TerminalFlowTest, GermanTextsAndWordsInUtf8AndACountryPickedByItsUmlaut) {
  TerminalOptions options;
  // No display and no --terminal: the terminal front end all the same.
  options.arguments = {"d", "--simulate"};
  const auto session = Start(options);
  ASSERT_TRUE(session->WaitForText("Produktinformationen", kWait)) << session->Output();
  ASSERT_TRUE(FocusOn(*session, "Einstellungen"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("Standardeinstellung", kWait)) << session->Screen();
  ASSERT_TRUE(FocusOn(*session, "Land "));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("Wählen Sie das aktuelle Land", kWait)) << session->Screen();
  ASSERT_TRUE(session->WaitFor(
      [&](const std::string&) {
        const auto list = session->Find("[USA (1)");
        return list && session->Reverse(list->first, list->second);
      },
      kWait))
      << session->Screen();
  // The arrows' meanings and the key hints are German too.
  EXPECT_NE(session->Screen().find("[X Abbrechen] [V OK]"), std::string::npos) << session->Screen();
  EXPECT_NE(session->Screen().find("Tab: nächstes Feld"), std::string::npos) << session->Screen();
  // A letter with an umlaut, typed in lower case, picks the country whose
  // name begins with it in upper case; the flag shows that name.
  session->Type(U"ö");
  ASSERT_TRUE(session->WaitForText("[Österreich (43)", kMove)) << session->Screen();
  ASSERT_TRUE(session->WaitFor(
      [](const std::string& screen) {
        const std::string field = "[Österreich (43)";
        return screen.find("Österreich", screen.find(field) + field.size()) != std::string::npos;
      },
      kMove))
      << "no flag:\n"
      << session->Screen();
  Capture(*session, "08-nationality-german");
  ASSERT_TRUE(FocusOn(*session, "[V OK]"));
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForText("(!) Warnung", kWait)) << session->Screen();
  session->Key(VTERM_KEY_ENTER);
  ASSERT_TRUE(session->WaitForTextGone("(!) Warnung", kMove)) << session->Screen();
  ASSERT_TRUE(session->WaitForText("Standardeinstellung", kWait)) << session->Screen();
  ExpectEscEnds(*session);
}

}  // namespace
}  // namespace norix::testing
