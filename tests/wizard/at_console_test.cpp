// The AT command page: a typed command line goes to the product as it is,
// its first reply line is shown and the entry emptied; "Default Setting"
// restores and stores the factory settings, asking before a second try.
#include "utilities/at_console.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "utilities/settings_menus.h"
#include "wizard/wizard_flow.h"

namespace norix::testing {
namespace {

using utilities::kCommandEntry;
using utilities::kDefaultSettingButton;

constexpr W::UINT kQuestionNoDefault =
    W::MB_ICONQUESTION | W::MB_YESNO | W::MB_DEFBUTTON2 | W::MB_TASKMODAL;
constexpr W::UINT kExclamation = W::MB_ICONEXCLAMATION | W::MB_TASKMODAL;

// Main menu -> Settings -> Default Setting (modem and solano menus).
W::HWND OpenConsole(WizardSession& session, int settingsPage) {
  auto& host = session.Host();
  const W::HWND menu = WaitForMainMenu(session);
  if (menu == W::kNullHwnd || !host.Click(menu, kSettingsButton)) {
    return W::kNullHwnd;
  }
  const W::HWND settings = session.WaitForPage(settingsPage);
  if (settings == W::kNullHwnd || !host.Click(settings, kDefaultSettingButton)) {
    return W::kNullHwnd;
  }
  const W::HWND console = session.WaitForPage(resources::kAtCommandPage);
  // The entry sends on Enter once the page has finished its set-up.
  if (console != W::kNullHwnd && !host.WaitUntil(
                                     [&] {
                                       const auto entry = host.Control(console, kCommandEntry);
                                       return entry && entry->enterMessage != 0;
                                     },
                                     kPageWait)) {
    ADD_FAILURE() << "the command entry never took over the Enter key";
  }
  return console;
}

// Types a command line and presses Enter in the entry.
bool Send(WizardSession& session, W::HWND console, const std::string& line) {
  auto& host = session.Host();
  return host.ReplaceText(console, kCommandEntry, line) && host.Focus(console, kCommandEntry) &&
         host.PressEnter(console);
}

TEST(AtConsoleTest, SendsTheTypedLineAndShowsTheFirstReplyLine) {
  WizardSession session{{"netrunner56k", kNetrunnerLine}};
  session.Start();
  auto& host = session.Host();
  const W::HWND console = OpenConsole(session, 6);
  ASSERT_NE(console, W::kNullHwnd);
  EXPECT_EQ(host.Text(console, 1071), Text(session, 2114));
  EXPECT_EQ(host.Text(console, 1053), Text(session, 2109));
  EXPECT_EQ(host.Text(console, 1054), Text(session, 2115));
  EXPECT_EQ(host.Text(console, utilities::kFactoryResetButton), Text(session, 2026));
  const std::size_t before = session.Commands(0).size();

  ASSERT_TRUE(Send(session, console, "ATI3"));
  EXPECT_TRUE(host.WaitForText(console, utilities::kReplyText, "NORIX Netrunner 56000 Voice V1.10",
                               kPageWait));
  EXPECT_EQ(host.Text(console, kCommandEntry), "");
  std::vector<std::string> commands = session.Commands(0);
  ASSERT_EQ(commands.size(), before + 1) << Lines(commands);
  EXPECT_EQ(commands.back(), "ATI3");

  // The line goes exactly as typed, in lower case too.
  const std::size_t sent = session.Transcript(0).size();
  ASSERT_TRUE(Send(session, console, "ati3"));
  ASSERT_TRUE(session.WaitForLines(0, sent + 1));
  EXPECT_TRUE(host.WaitForText(console, kCommandEntry, "", kPageWait));
  EXPECT_EQ(session.Transcript(0).back().line, "ati3");

  // Enter on an empty entry sends nothing and shows the last reply again.
  const std::size_t heard = session.Transcript(0).size();
  ASSERT_TRUE(Send(session, console, ""));
  ASSERT_TRUE(Send(session, console, "AT"));
  EXPECT_TRUE(host.WaitForText(console, utilities::kReplyText, "OK", kPageWait));
  const std::vector<sim::TranscriptEntry> transcript = session.Transcript(0);
  ASSERT_EQ(transcript.size(), heard + 1);
  EXPECT_EQ(transcript.back().line, "AT");
  EXPECT_TRUE(host.MessageBoxes().empty());
  EXPECT_TRUE(session.Quit());
}

TEST(AtConsoleTest, BackLeadsToTheSettingsMenuOfTheProductKind) {
  WizardSession session{{"solano1280i", kSolanoLine}};
  session.Start();
  const W::HWND console = OpenConsole(session, 7);
  ASSERT_NE(console, W::kNullHwnd);
  ASSERT_TRUE(session.Host().Click(console, resources::kBackArrowId));
  EXPECT_NE(session.WaitForPage(resources::kSolanoSettingsPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

TEST(FactoryResetTest, SucceedsAtOnceAndStaysOnThePage) {
  WizardSession session{{"netrunner56k", kNetrunnerLine}};
  session.Start();
  const W::HWND console = OpenConsole(session, 6);
  ASSERT_NE(console, W::kNullHwnd);
  ASSERT_TRUE(session.Host().Click(console, utilities::kFactoryResetButton));
  const auto done = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(done.has_value());
  EXPECT_EQ(session.TextId(*done), 2111);
  EXPECT_EQ(session.CaptionId(*done), 2092);
  EXPECT_EQ(done->style, kExclamation);
  EXPECT_EQ(session.Commands(0).back(), "AT&F&W");
  // Still on the page: its '<' works.
  ASSERT_TRUE(WaitForInput(session, console));
  ASSERT_TRUE(session.Host().Click(console, resources::kBackArrowId));
  EXPECT_NE(session.WaitForPage(resources::kModemSettingsPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

TEST(FactoryResetTest, AnErrorAsksAndTheSecondTrySucceeds) {
  sim::ProductOptions busyStore;
  busyStore.storeFailures = 1;
  WizardSession session{{"netrunner56k", kNetrunnerLine, busyStore}};
  session.Start();
  const W::HWND console = OpenConsole(session, 6);
  ASSERT_NE(console, W::kNullHwnd);
  const std::size_t before = session.Commands(0).size();
  ASSERT_TRUE(session.Host().Click(console, utilities::kFactoryResetButton));
  const auto question = session.AnswerMessage(W::IDYES);
  ASSERT_TRUE(question.has_value());
  EXPECT_EQ(session.TextId(*question), 2110);
  EXPECT_EQ(question->style, kQuestionNoDefault);
  const auto done = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(done.has_value());
  EXPECT_EQ(session.TextId(*done), 2111);
  const std::vector<std::string> commands = session.Commands(0);
  EXPECT_EQ(std::vector<std::string>(commands.begin() + static_cast<std::ptrdiff_t>(before),
                                     commands.end()),
            (std::vector<std::string>{"AT&F&W", "AT&F&W"}));
  EXPECT_TRUE(session.Quit());
}

TEST(FactoryResetTest, NoDeclinesTheSecondTry) {
  sim::ProductOptions busyStore;
  busyStore.storeFailures = 1;
  WizardSession session{{"netrunner56k", kNetrunnerLine, busyStore}};
  session.Start();
  auto& host = session.Host();
  const W::HWND console = OpenConsole(session, 6);
  ASSERT_NE(console, W::kNullHwnd);
  ASSERT_TRUE(host.Click(console, utilities::kFactoryResetButton));
  const auto question = session.AnswerMessage(W::IDNO);
  ASSERT_TRUE(question.has_value());
  EXPECT_EQ(session.TextId(*question), 2110);
  EXPECT_FALSE(host.WaitForMessageBox(kNothingWait).has_value());
  EXPECT_EQ(session.Commands(0).back(), "AT&F&W");
  // The page is still there and working.
  ASSERT_TRUE(WaitForInput(session, console));
  ASSERT_TRUE(Send(session, console, "AT"));
  EXPECT_TRUE(host.WaitForText(console, utilities::kReplyText, "OK", kPageWait));
  EXPECT_TRUE(session.Quit());
}

TEST(FactoryResetTest, ASilentProductEndsInTheMainMenu) {
  WizardSession session{{"netrunner56k", kNetrunnerLine}};
  session.Start();
  const W::HWND console = OpenConsole(session, 6);
  ASSERT_NE(console, W::kNullHwnd);
  session.StopProduct(0);  // switched off
  ASSERT_TRUE(session.Host().Click(console, utilities::kFactoryResetButton));
  const auto question = session.AnswerMessage(W::IDYES);
  ASSERT_TRUE(question.has_value());
  EXPECT_EQ(session.TextId(*question), 2110);
  const auto failed = session.AnswerMessage(W::IDOK);
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(session.TextId(*failed), 2112);
  EXPECT_EQ(failed->style, kExclamation);
  EXPECT_NE(session.WaitForPage(resources::kMainMenuPage), W::kNullHwnd);
  EXPECT_TRUE(session.Quit());
}

}  // namespace
}  // namespace norix::testing
