// The templates run in the dialog manager on the headless host: every one
// opens with its controls, and the radio groups and entry rules behave as
// the pages expect when a user clicks and types.

#include <string>

#include <gtest/gtest.h>

#include "platform/window/messages.h"
#include "platform/window/window_api.h"
#include "platform_window/dialog_fixture.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources_dialogs/template_support.h"

namespace norix::resources::dialogs::testing {
namespace {

namespace window = platform::window;
using window::testing::DialogThread;
using window::testing::kLong;

class TemplatesInDialogs : public ::testing::Test {
 protected:
  TemplatesInDialogs() { RegisterDialogTemplates(templates_); }

  // Opens the template with a procedure that does nothing and shows every
  // control, as the pages do once they have filled them.
  std::unique_ptr<DialogThread> Open(int templateId, bool showAll = true) {
    auto dialog =
        std::make_unique<DialogThread>(desktop_, templateId,
                                       [](window::HWND, window::UINT, window::WPARAM,
                                          window::LPARAM) -> window::LRESULT { return 0; });
    // Up: shown and running its loop, so that it takes input.
    const window::HWND handle = host_.WaitForDialog(templateId, kLong);
    EXPECT_NE(handle, window::kNullHwnd) << "template " << templateId << " did not open";
    EXPECT_EQ(handle, dialog->Handle());
    if (showAll && handle != window::kNullHwnd) {
      for (const ControlTemplate& control : TemplateOf(templateId).controls) {
        window::ShowWindow(window::GetDlgItem(handle, control.id), window::SW_SHOW);
      }
    }
    return dialog;
  }

  window::TemplateRegistry templates_;
  window::HeadlessHost host_;
  window::Desktop desktop_{host_, templates_};
};

TEST_F(TemplatesInDialogs, EveryTemplateOpensWithItsControlsShownAsTheTemplateSays) {
  for (const auto& [id, dialog] : TemplatesById()) {
    const auto running = Open(id, false);
    const window::HWND handle = running->Handle();
    ASSERT_NE(handle, window::kNullHwnd);
    for (const ControlTemplate& control : dialog.controls) {
      if (control.id == window::IDC_STATIC) {
        continue;
      }
      ASSERT_TRUE(host_.Control(handle, control.id).has_value())
          << "template " << id << " control " << control.id;
      EXPECT_EQ(host_.IsVisible(handle, control.id),
                (control.style & window::ControlStyle::kHidden) == 0)
          << "template " << id << " control " << control.id;
    }
    EXPECT_TRUE(window::EndDialog(handle, 0));
    EXPECT_EQ(running->WaitResult(kLong), 0);
  }
}

// Each row of local numbers rings TEL#1 or TEL#2: choosing in one row leaves
// the other rows alone.
TEST_F(TemplatesInDialogs, LocalNumberRowsChooseTheirPortIndependently) {
  const auto running = Open(kKometLocalTemplate);
  const window::HWND page = running->Handle();
  ASSERT_TRUE(host_.Click(page, 1098));  // row 1 TEL#1
  ASSERT_TRUE(host_.Click(page, 1100));  // row 2 TEL#1
  EXPECT_TRUE(host_.IsChecked(page, 1098));
  EXPECT_TRUE(host_.IsChecked(page, 1100));
  ASSERT_TRUE(host_.Click(page, 1099));  // row 1 TEL#2
  EXPECT_FALSE(host_.IsChecked(page, 1098));
  EXPECT_TRUE(host_.IsChecked(page, 1099));
  EXPECT_TRUE(host_.IsChecked(page, 1100));
  ASSERT_TRUE(host_.Click(page, 1109));  // row 6 TEL#2
  EXPECT_TRUE(host_.IsChecked(page, 1100));
  EXPECT_TRUE(host_.IsChecked(page, 1099));
}

TEST_F(TemplatesInDialogs, OneProtocolAtATimeAcrossBothColumns) {
  const auto running = Open(kProtocolChoiceTemplate);
  const window::HWND page = running->Handle();
  ASSERT_TRUE(host_.Click(page, 1127));  // X.25 Multilink, right column
  ASSERT_TRUE(host_.Click(page, 1147));  // PPP, left column
  EXPECT_TRUE(host_.IsChecked(page, 1147));
  EXPECT_FALSE(host_.IsChecked(page, 1127));
  ASSERT_TRUE(host_.Click(page, 1151));  // Auto Mode always
  EXPECT_FALSE(host_.IsChecked(page, 1147));
}

TEST_F(TemplatesInDialogs, ChannelRadiosDoNotTouchTheCheckBoxesBeneath) {
  const auto running = Open(kProtocolsTemplate);
  const window::HWND page = running->Handle();
  ASSERT_TRUE(host_.Click(page, 1128));  // BOD
  ASSERT_TRUE(host_.Click(page, 1126));  // 2 Channels
  ASSERT_TRUE(host_.Click(page, 1127));  // 1 Channel
  EXPECT_TRUE(host_.IsChecked(page, 1127));
  EXPECT_FALSE(host_.IsChecked(page, 1126));
  EXPECT_TRUE(host_.IsChecked(page, 1128));
}

TEST_F(TemplatesInDialogs, ClosedUserGroupTeleAndDataAreSeparateChoices) {
  const auto running = Open(kProviderServicesTemplate);
  const window::HWND page = running->Handle();
  ASSERT_TRUE(host_.Click(page, 1126));  // tele inside
  ASSERT_TRUE(host_.Click(page, 1138));  // data outside
  EXPECT_TRUE(host_.IsChecked(page, 1126));
  EXPECT_TRUE(host_.IsChecked(page, 1138));
  ASSERT_TRUE(host_.Click(page, 1127));  // tele outside
  EXPECT_FALSE(host_.IsChecked(page, 1126));
  EXPECT_TRUE(host_.IsChecked(page, 1138));
}

TEST_F(TemplatesInDialogs, NumberFieldsRefuseLettersAndCodeFieldsKeepSymbols) {
  {
    const auto running = Open(kMsnSettingTemplate);
    const window::HWND page = running->Handle();
    ASSERT_TRUE(host_.Type(page, 1044, "12ab34"));
    EXPECT_EQ(host_.Text(page, 1044), "1234");
  }
  {
    const auto running = Open(kProviderServicesTemplate);
    const window::HWND page = running->Handle();
    ASSERT_TRUE(host_.Type(page, 1131, "*21#"));
    EXPECT_EQ(host_.Text(page, 1131), "*21#");
    ASSERT_TRUE(host_.Type(page, 1140, "a7"));
    EXPECT_EQ(host_.Text(page, 1140), "7");
    // The number after the cancel code is shown, not typed into.
    host_.Type(page, 1162, "5");
    EXPECT_EQ(host_.Text(page, 1162), "");
  }
}

}  // namespace
}  // namespace norix::resources::dialogs::testing
