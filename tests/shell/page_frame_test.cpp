// The page frame on a running page: set-up texts and header, message boxes
// through the host, hover help, and the in-memory text lists.
#include <atomic>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "shell_fixture.h"

namespace norix::shell::testing {
namespace {

TEST_F(NavigatorTest, InitPageSetsCaptionHeaderTextsAndButtonLabels) {
  program_.pages.Register(
      resources::kMainMenuPage,
      TestPage(log_, {.texts = {{kStatusId, 2092}, {-1, 0}, {kDisabledId, 2003}},
                      .buttons = {{kSettingsId, 2086}}}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  EXPECT_EQ(host_.Caption(menu), "NORIX Configuration program");
  EXPECT_EQ(host_.Text(menu, resources::kHeaderId), "NORIX corvid 56k V1.40");
  const auto header = host_.Control(menu, resources::kHeaderId);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->font, HeaderFont());
  EXPECT_EQ(HeaderFont().pixelHeight, 20);
  EXPECT_EQ(HeaderFont().weight, 700);
  EXPECT_TRUE(HeaderFont().italic);
  EXPECT_EQ(host_.Text(menu, kStatusId), "NORIX message");
  EXPECT_EQ(host_.Text(menu, kDisabledId), "") << "nothing after the -1 row";
  EXPECT_EQ(host_.Text(menu, kSettingsId), program_.texts.Text(2086));
  EXPECT_EQ(program_.navigator.CurrentWindow(), menu);
  EXPECT_EQ(FindFrame(W::GetDlgItem(menu, kStatusId)), &program_);
  ASSERT_TRUE(host_.PressEscape(menu));
  ASSERT_TRUE(WaitReturned());
}

TEST_F(NavigatorTest, ShowMessageShowsTextAndCaptionTaskModal) {
  std::atomic<int> answer{-1};
  Signal answered;
  program_.pages.Register(resources::kMainMenuPage,
                          TestPage(log_, {.onCommand = [&](W::HWND page, int id, unsigned code) {
                                     if (id != kSettingsId || code != W::BN_CLICKED) {
                                       return false;
                                     }
                                     answer = ShowMessage(page, 2086, kMessageCaptionText,
                                                          W::MB_YESNO | W::MB_ICONQUESTION);
                                     answered.Set();
                                     return true;
                                   }}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);
  ASSERT_TRUE(host_.Click(menu, kSettingsId));
  const auto box = host_.AnswerMessageBox(W::IDNO, kLong);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, program_.texts.Text(2086));
  EXPECT_EQ(box->caption, "NORIX message");
  EXPECT_EQ(box->style, 0x24U | W::MB_TASKMODAL);
  EXPECT_EQ(box->owner, menu);
  ASSERT_TRUE(answered.Wait(kLong));
  EXPECT_EQ(answer.load(), W::IDNO);

  // Start-up's form needs no owner.
  std::thread noOwner([this] { ShowMessage(program_, W::kNullHwnd, 2086, 2092, 0x30); });
  const auto startupBox = host_.AnswerMessageBox(W::IDOK, kLong);
  noOwner.join();
  ASSERT_TRUE(startupBox);
  EXPECT_EQ(startupBox->owner, W::kNullHwnd);
  EXPECT_EQ(startupBox->style, 0x30U | W::MB_TASKMODAL);

  ASSERT_TRUE(host_.PressEscape(menu));
  ASSERT_TRUE(WaitReturned());
}

TEST_F(NavigatorTest, HoverHelpFollowsThePointerOverEnabledControls) {
  static const std::vector<PageText> kHelp{
      {kSettingsId, 2092}, {kDisabledId, 2003}, {resources::kBackArrowId, 2086}, {-1, 0}};
  program_.pages.Register(resources::kMainMenuPage,
                          TestPage(log_, {.onHover = [](W::HWND page, W::WPARAM w, W::LPARAM l) {
                                     ShowHoverHelp(page, kStatusId, kHelp, static_cast<int>(l),
                                                   W::HwndFromParam(w));
                                   }}));
  Start();
  const W::HWND menu = host_.WaitForDialog(101, kLong);
  ASSERT_NE(menu, W::kNullHwnd);

  ASSERT_TRUE(host_.Hover(menu, kSettingsId));
  EXPECT_TRUE(host_.WaitForText(menu, kStatusId, "NORIX message", kLong));

  // The same control again does nothing, even though its text was changed.
  W::SetDlgItemText(menu, kStatusId, "cleared");
  ASSERT_TRUE(host_.Hover(menu, kSettingsId));
  // A disabled control with a help entry leaves the text too.
  ASSERT_TRUE(host_.Hover(menu, kDisabledId));
  // A control with an entry after them shows its text: so the two before
  // have been handled by then.
  ASSERT_TRUE(host_.Hover(menu, resources::kBackArrowId));
  EXPECT_TRUE(host_.WaitForText(menu, kStatusId, program_.texts.Text(2086), kLong));

  W::SetDlgItemText(menu, kStatusId, "cleared");
  ASSERT_TRUE(host_.Hover(menu, kDisabledId));
  ASSERT_TRUE(host_.Hover(menu, kSettingsId));
  EXPECT_TRUE(host_.WaitForText(menu, kStatusId, "NORIX message", kLong));

  ASSERT_TRUE(host_.PressEscape(menu));
  ASSERT_TRUE(WaitReturned());
}

TEST(TextListsTest, BuiltFromTheTextModuleAndForgottenOnRelease) {
  ChromeState chrome;
  EXPECT_EQ(CountryName(chrome, 0), "");
  BuildGraphics(chrome, TextModule{});
  EXPECT_EQ(CountryName(chrome, 0), "Australia (61)");
  EXPECT_EQ(CountryName(chrome, kCountryNameCount - 1), "U.S.A. (1)");
  EXPECT_EQ(CountryName(chrome, kCountryNameCount), "");
  EXPECT_EQ(MonthName(chrome, 0), "Illegal Month");
  EXPECT_EQ(MonthName(chrome, 12), "December");
  EXPECT_EQ(TypeName(chrome, 2), "Type 3");
  EXPECT_EQ(TypeName(chrome, -1), "");
  const auto snapshot = chrome.Lists();
  ReleaseGraphics(chrome);
  EXPECT_EQ(MonthName(chrome, 1), "");
  EXPECT_EQ(snapshot->monthNames.at(1), "January") << "a reader's snapshot outlives a rebuild";
}

TEST(PageTableTest, RowsWithoutAPageAndRegistration) {
  PageTable table;
  ASSERT_NE(table.Row(0), nullptr);
  EXPECT_EQ(table.Row(0)->templateId, 102);
  EXPECT_EQ(table.Row(8)->templateId, 147);
  EXPECT_EQ(table.Row(23)->templateId, 151);
  EXPECT_EQ(table.Row(24), nullptr);
  EXPECT_EQ(table.Row(-1), nullptr);
  EXPECT_EQ(table.Row(2)->procedure(W::kNullHwnd, W::WM_COMMAND, W::IDCANCEL, 0), 0);
  EXPECT_EQ(table.Row(23)->procedure(W::kNullHwnd, W::WM_COMMAND, W::IDCANCEL, 0), 1);
  EXPECT_FALSE(table.Register(24, IgnoreEveryMessage));
  EXPECT_FALSE(table.Register(3, W::DialogProc{}));
  EXPECT_TRUE(table.Register(3, HandleEveryMessage));
  EXPECT_EQ(table.Row(3)->procedure(W::kNullHwnd, 0, 0, 0), 1);
}

}  // namespace
}  // namespace norix::shell::testing
