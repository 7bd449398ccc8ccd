// The control model as the program changes it: texts, lists with item data,
// radio groups, progress bars, trackbars, edits, fonts, pictures, and calls
// on the wrong kind of control or a stale handle.
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/window/control_api.h"

namespace norix::platform::window::testing {
namespace {

class ControlsTest : public DialogTest {
 protected:
  void SetUp() override {
    page_ = std::make_unique<DialogThread>(desktop_, kPage, LoggingProc(log_));
    hwnd_ = host_.WaitForDialog(kPage, kLong);
    ASSERT_NE(hwnd_, kNullHwnd);
  }
  void TearDown() override { page_.reset(); }

  MessageLog log_;
  std::unique_ptr<DialogThread> page_;
  HWND hwnd_{};
};

TEST_F(ControlsTest, ListsKeepItemDataAndSelectionThroughChanges) {
  EXPECT_EQ(AddListItem(hwnd_, kCountries, "Denmark (45)"), 0);
  EXPECT_EQ(AddListItem(hwnd_, kCountries, "Sweden (46)"), 1);
  EXPECT_TRUE(SetListItemData(hwnd_, kCountries, 0, 45));
  EXPECT_TRUE(SetListItemData(hwnd_, kCountries, 1, 46));
  EXPECT_EQ(InsertListItem(hwnd_, kCountries, 0, "Austria (43)"), 0);
  EXPECT_TRUE(SetListItemData(hwnd_, kCountries, 0, 43));
  EXPECT_EQ(GetListCount(hwnd_, kCountries), 3);
  EXPECT_EQ(GetListItemData(hwnd_, kCountries, 2), 46) << "data moves with its line";

  EXPECT_EQ(GetListSelection(hwnd_, kCountries), CB_ERR);
  EXPECT_EQ(GetDlgItemText(hwnd_, kCountries), "");
  EXPECT_EQ(SetListSelection(hwnd_, kCountries, 1), 1);
  EXPECT_EQ(GetDlgItemText(hwnd_, kCountries), "Denmark (45)");
  EXPECT_EQ(InsertListItem(hwnd_, kCountries, 0, "Australia (61)"), 0);
  EXPECT_EQ(GetListSelection(hwnd_, kCountries), 2) << "selection follows its line";
  EXPECT_EQ(DeleteListItem(hwnd_, kCountries, 0), 3);
  EXPECT_EQ(GetListSelection(hwnd_, kCountries), 1);
  EXPECT_EQ(DeleteListItem(hwnd_, kCountries, 1), 2);
  EXPECT_EQ(GetListSelection(hwnd_, kCountries), CB_ERR) << "deleting the selected line";
  EXPECT_EQ(GetDlgItemText(hwnd_, kCountries), "");

  EXPECT_EQ(FindListItem(hwnd_, kCountries, "sweden (46)"), 1);
  EXPECT_EQ(FindListItem(hwnd_, kCountries, "Sweden"), CB_ERR) << "whole lines only";
  EXPECT_EQ(GetListItemText(hwnd_, kCountries, 0), "Austria (43)");

  // Bad indexes change nothing.
  EXPECT_EQ(SetListSelection(hwnd_, kCountries, 0), 0);
  EXPECT_EQ(SetListSelection(hwnd_, kCountries, 5), CB_ERR);
  EXPECT_EQ(GetListSelection(hwnd_, kCountries), CB_ERR) << "out of range clears, as the system";
  EXPECT_FALSE(SetListItemData(hwnd_, kCountries, 9, 1));
  EXPECT_EQ(GetListItemData(hwnd_, kCountries, -1), CB_ERR);
  EXPECT_EQ(GetListItemText(hwnd_, kCountries, 2), std::nullopt);
  EXPECT_EQ(DeleteListItem(hwnd_, kCountries, 2), CB_ERR);
  EXPECT_EQ(InsertListItem(hwnd_, kCountries, 7, "x"), CB_ERR);
  EXPECT_EQ(GetListCount(hwnd_, kCountries), 2);

  EXPECT_TRUE(ResetList(hwnd_, kCountries));
  EXPECT_EQ(GetListCount(hwnd_, kCountries), 0);

  // Program changes post no selection notification.
  EXPECT_FALSE(log_.WaitForCommand(kCountries, CBN_SELCHANGE, kShort));
}

TEST_F(ControlsTest, TextMessagesAddToListsAndSetTexts) {
  EXPECT_EQ(SendDlgItemText(hwnd_, kLines, LB_ADDSTRING, 0, "first"), 0);
  EXPECT_EQ(SendDlgItemText(hwnd_, kLines, LB_INSERTSTRING, 0, "zeroth"), 0);
  EXPECT_EQ(host_.Items(hwnd_, kLines), (std::vector<std::string>{"zeroth", "first"}));
  EXPECT_EQ(SendDlgItemText(hwnd_, kStatus, WM_SETTEXT, 0, "Looking for NORIX products"), 1);
  EXPECT_EQ(GetDlgItemText(hwnd_, kStatus), "Looking for NORIX products");
  EXPECT_EQ(SendDlgItemText(hwnd_, kStatus, LB_ADDSTRING, 0, "x"), CB_ERR) << "not a list";
  EXPECT_EQ(SendDlgItemText(hwnd_, kLines, WM_GETTEXT, 0, "x"), CB_ERR);
  EXPECT_FALSE(SetDlgItemText(hwnd_, kLines, "lists take no text"));
}

TEST_F(ControlsTest, RadioButtonsAndCheckBoxes) {
  EXPECT_TRUE(CheckDlgButton(hwnd_, kBod, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hwnd_, kBod), BST_CHECKED);
  EXPECT_TRUE(CheckDlgButton(hwnd_, kBod, BST_INDETERMINATE));
  EXPECT_FALSE(CheckDlgButton(hwnd_, kOneChannel, BST_INDETERMINATE)) << "radios have two states";
  EXPECT_FALSE(CheckDlgButton(hwnd_, kBod, 9));
  EXPECT_FALSE(CheckDlgButton(hwnd_, kNext, BST_CHECKED)) << "not a check box";

  // Programmatic CheckDlgButton on a radio sets that radio only.
  EXPECT_TRUE(CheckDlgButton(hwnd_, kOneChannel, BST_CHECKED));
  EXPECT_TRUE(CheckDlgButton(hwnd_, kTwoChannels, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hwnd_, kOneChannel), BST_CHECKED);

  // CheckRadioButton touches radios in the id range only: the check box
  // 1128 lies in [1126, 1128] and keeps its state.
  EXPECT_TRUE(CheckRadioButton(hwnd_, kTwoChannels, kBod, kOneChannel));
  EXPECT_EQ(IsDlgButtonChecked(hwnd_, kOneChannel), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(hwnd_, kTwoChannels), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(hwnd_, kBod), BST_INDETERMINATE);
  EXPECT_FALSE(CheckRadioButton(hwnd_, kTwoChannels, kOneChannel, kBod)) << "not a radio";
  EXPECT_FALSE(CheckRadioButton(hwnd_, kPlainA, kPlainB, kOneChannel)) << "outside the range";
}

TEST_F(ControlsTest, ProgressBarStepsWrapAndPositionsClamp) {
  EXPECT_TRUE(SetProgressRange(hwnd_, kProgress, 0, 4));
  EXPECT_TRUE(SetProgressStep(hwnd_, kProgress, 1));
  for (int i = 1; i <= 4; ++i) {
    EXPECT_TRUE(StepProgress(hwnd_, kProgress));
    EXPECT_EQ(GetProgressPos(hwnd_, kProgress), i);
  }
  EXPECT_TRUE(StepProgress(hwnd_, kProgress));
  EXPECT_EQ(GetProgressPos(hwnd_, kProgress), 1) << "past the end it starts again";
  EXPECT_TRUE(SetProgressPos(hwnd_, kProgress, 99));
  EXPECT_EQ(GetProgressPos(hwnd_, kProgress), 4);
  EXPECT_TRUE(SetProgressRange(hwnd_, kProgress, 0, 2));
  EXPECT_EQ(GetProgressPos(hwnd_, kProgress), 2) << "a narrower range pulls the position in";
  EXPECT_FALSE(SetProgressRange(hwnd_, kProgress, 5, 1));
  EXPECT_FALSE(SetProgressPos(hwnd_, kSlider, 1)) << "a trackbar is no progress bar";

  EXPECT_TRUE(SetTrackbarRange(hwnd_, kSlider, 1, 12));
  EXPECT_TRUE(SetTrackbarPos(hwnd_, kSlider, -3));
  EXPECT_EQ(GetTrackbarPos(hwnd_, kSlider), 1);
  EXPECT_TRUE(SetTrackbarPos(hwnd_, kSlider, 12));
  EXPECT_EQ(GetTrackbarPos(hwnd_, kSlider), 12);
}

TEST_F(ControlsTest, SettingAnEditsTextAlwaysPostsEnChange) {
  EXPECT_TRUE(SetDlgItemText(hwnd_, kEntry, ""));
  EXPECT_TRUE(log_.WaitForCommand(kEntry, EN_CHANGE, kLong))
      << "even when the text was already empty";
  EXPECT_TRUE(SetDlgItemText(hwnd_, kDigits, "abc"));
  EXPECT_EQ(GetDlgItemText(hwnd_, kDigits), "abc") << "the program may set any text";
  EXPECT_TRUE(SetDlgItemText(hwnd_, kStatus, "x"));
  EXPECT_FALSE(log_.WaitForCommand(kStatus, EN_CHANGE, kShort)) << "static texts post nothing";
}

TEST_F(ControlsTest, ShowEnableFontPictureAndFocus) {
  const HWND hidden = GetDlgItem(hwnd_, kHidden);
  EXPECT_FALSE(ShowWindow(hidden, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(hidden));
  EXPECT_TRUE(ShowWindow(hidden, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(hidden));

  const HWND settings = GetDlgItem(hwnd_, kSettings);
  EXPECT_TRUE(EnableWindow(settings, true)) << "it was disabled";
  EXPECT_TRUE(IsWindowEnabled(settings));

  FontDescription header;
  header.pixelHeight = 20;
  header.weight = 700;
  header.italic = true;
  EXPECT_TRUE(SetControlFont(hwnd_, kStatus, header));
  EXPECT_EQ(host_.Control(hwnd_, kStatus)->font, header);
  EXPECT_TRUE(SetControlPicture(hwnd_, kStatus, 307));
  EXPECT_EQ(host_.Control(hwnd_, kStatus)->picture, 307);

  EXPECT_EQ(SetFocus(GetDlgItem(hwnd_, kStatus)), kNullHwnd) << "a text cannot take the focus";
  SetFocus(GetDlgItem(hwnd_, kDigits));
  EXPECT_EQ(SetFocus(GetDlgItem(hwnd_, kNext)), GetDlgItem(hwnd_, kDigits));
  EXPECT_EQ(GetFocus(hwnd_), GetDlgItem(hwnd_, kNext));
  EXPECT_TRUE(log_.WaitForCommand(kDigits, EN_KILLFOCUS, kLong));
  EXPECT_TRUE(log_.WaitForCommand(kNext, BN_SETFOCUS, kLong)) << "arrow buttons report focus";

  EXPECT_TRUE(SetWaitCursor(hwnd_, true));
  EXPECT_TRUE(GetWindowState(hwnd_)->waitCursor);
  EXPECT_TRUE(SetWindowText(hwnd_, "NORIX Configuration program"));
  EXPECT_EQ(host_.Caption(hwnd_), "NORIX Configuration program");

  int data = 5;
  EXPECT_TRUE(SetWindowUserData(hwnd_, &data));
  EXPECT_EQ(GetWindowUserData(hwnd_), &data);
}

TEST_F(ControlsTest, StaleAndWrongHandlesChangeNothing) {
  const HWND control = GetDlgItem(hwnd_, kEntry);
  EXPECT_FALSE(PostMessage(control, WM_APP, 0, 0)) << "messages go to dialogs";
  EXPECT_EQ(SendMessage(control, WM_APP, 0, 0), 0);
  EXPECT_FALSE(SetDlgItemText(control, kEntry, "x")) << "a control is not a dialog";
  EXPECT_EQ(GetListCount(hwnd_, kEntry), CB_ERR);
  EXPECT_FALSE(SetEditLimit(hwnd_, kStatus, 3));
  EXPECT_FALSE(SetEditLimit(hwnd_, kEntry, -1));

  page_.reset();  // closes the dialog
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_FALSE(IsWindow(control));
  EXPECT_FALSE(SetDlgItemText(hwnd_, kEntry, "x"));
  EXPECT_EQ(GetDlgItemText(hwnd_, kStatus), "");
  EXPECT_FALSE(ShowWindow(control, SW_HIDE));
  EXPECT_EQ(AddListItem(hwnd_, kCountries, "x"), CB_ERR);
  EXPECT_EQ(GetWindowRect(hwnd_), Rect{});
  EXPECT_FALSE(SetWindowPosition(hwnd_, {1, 1}));
  EXPECT_EQ(GetControlState(hwnd_, kEntry), std::nullopt);
}

}  // namespace
}  // namespace norix::platform::window::testing
