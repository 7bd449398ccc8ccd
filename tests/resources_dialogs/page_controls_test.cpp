// The templates hold what the page procedures address: every control id
// with the right kind, the right arrow buttons, the right starting
// visibility, the radio groups the pages expect, and the entry rules of the
// edits.

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/window/messages.h"
#include "platform/window/template_registry.h"
#include "resources_dialogs/page_expectations.h"
#include "resources_dialogs/template_support.h"

namespace norix::resources::dialogs::testing {
namespace {

namespace style = platform::window::ControlStyle;
using platform::window::ControlKind;
using platform::window::TemplateRegistry;

std::set<int> AllTemplateIds() {
  std::set<int> ids(std::begin(kPageTable), std::end(kPageTable));
  for (const Picker& picker : kPickers) {
    ids.insert(picker.id);
  }
  return ids;
}

TEST(DialogTemplates, EveryPageOfThePageTableAndBothPickersAreRegisteredAndWellFormed) {
  TemplateRegistry registry;
  RegisterDialogTemplates(registry);
  const std::vector<int> registered = registry.Ids();
  EXPECT_EQ(std::set<int>(registered.begin(), registered.end()), AllTemplateIds());
  EXPECT_EQ(registered.size(), AllTemplateIds().size()) << "a template id is used twice";
  for (const int id : AllTemplateIds()) {
    const auto dialog = registry.Find(id);
    ASSERT_NE(dialog, nullptr) << "template " << id;
    EXPECT_EQ(platform::window::CheckTemplate(*dialog), "");
    EXPECT_EQ(dialog->id, id);
  }
}

TEST(DialogTemplates, PagesHaveThePageSizeFontTitleAndPicture) {
  for (const int id : kPageTable) {
    const DialogTemplate& page = TemplateOf(id);
    SCOPED_TRACE("template " + std::to_string(id));
    EXPECT_EQ(page.width, 302);
    EXPECT_EQ(page.height, 201);
    EXPECT_EQ(page.font.face, "MS Sans Serif");
    EXPECT_EQ(page.font.pointSize, 8);
    EXPECT_EQ(page.caption, "NORIX Configuration program");
    EXPECT_EQ(page.backgroundPicture, R::kPagePicture);
    // The navigator places every page itself.
    EXPECT_FALSE(page.centered);
  }
}

TEST(DialogTemplates, PickersAreSmallCentredStandardDialogs) {
  for (const Picker& expected : kPickers) {
    const DialogTemplate& picker = TemplateOf(expected.id);
    SCOPED_TRACE("template " + std::to_string(expected.id));
    EXPECT_EQ(picker.width, expected.width);
    EXPECT_EQ(picker.height, expected.height);
    EXPECT_TRUE(picker.centered);
    EXPECT_EQ(picker.backgroundPicture, 0);
    EXPECT_EQ(picker.font.face, "MS Sans Serif");
    // Enter chooses the selected model.
    EXPECT_NE(ControlOf(picker, platform::window::IDOK).style & style::kDefault, 0U);
  }
  EXPECT_EQ(TemplateOf(R::kModemModelPickerTemplate).caption, "Select modem model");
  EXPECT_EQ(TemplateOf(R::kIsdnModelPickerTemplate).caption, "Select ISDN model");
}

TEST(DialogTemplates, EachPageHasTheControlsItsProcedureAddressesWithTheirKinds) {
  for (const ExpectedControls& expected : PageControls()) {
    const DialogTemplate& dialog = TemplateOf(expected.page);
    for (const int id : expected.ids) {
      if (!HasControl(dialog, id)) {
        ADD_FAILURE() << "template " << expected.page << " lacks control " << id;
        continue;
      }
      EXPECT_EQ(ControlOf(dialog, id).kind, expected.kind)
          << "template " << expected.page << " control " << id << " has the wrong kind";
    }
  }
}

TEST(DialogTemplates, EveryPageThatSetsItselfUpHasTheHeaderAndOthersHaveNone) {
  for (const int id : kPageTable) {
    const DialogTemplate& page = TemplateOf(id);
    if (kPagesWithoutHeader.contains(id)) {
      EXPECT_FALSE(HasControl(page, 1027)) << "template " << id;
      continue;
    }
    ASSERT_TRUE(HasControl(page, 1027)) << "template " << id;
    const ControlTemplate& header = ControlOf(page, 1027);
    EXPECT_EQ(header.kind, ControlKind::kStaticText);
    EXPECT_TRUE(header.text.empty()) << "the header shows the product name only";
    // Across the top of the page.
    for (const ControlTemplate& control : page.controls) {
      if (control.id != 1027) {
        EXPECT_GE(control.rect.top, header.rect.bottom)
            << "template " << id << ": " << Describe(control) << " above the header's bottom";
      }
    }
  }
}

TEST(DialogTemplates, ArrowButtonsAreExactlyThePagesOwnWithTheirPictures) {
  const std::map<int, std::pair<int, int>> kPictures = {
      {R::kBackArrowId, {R::kBackArrowPicture, R::kBackArrowPressedPicture}},
      {R::kNextArrowId, {R::kNextArrowPicture, R::kNextArrowPressedPicture}},
      {R::kCancelArrowId, {R::kCancelArrowPicture, R::kCancelArrowPressedPicture}},
      {R::kOkArrowId, {R::kOkArrowPicture, R::kOkArrowPressedPicture}}};
  for (const auto& [id, arrows] : PageArrows()) {
    std::set<int> found;
    for (const ControlTemplate& control : TemplateOf(id).controls) {
      if (control.kind != ControlKind::kArrowButton) {
        continue;
      }
      found.insert(control.id);
      ASSERT_TRUE(kPictures.contains(control.id))
          << "template " << id << ": " << control.id << " is no arrow button id";
      EXPECT_EQ(control.picture, kPictures.at(control.id).first) << "template " << id;
      EXPECT_EQ(control.pressedPicture, kPictures.at(control.id).second) << "template " << id;
      // Tab reaches them and they report focus, so that a focused arrow
      // shows its pressed picture and Enter presses it.
      EXPECT_NE(control.style & style::kTabStop, 0U);
      EXPECT_NE(control.style & style::kNotify, 0U);
    }
    EXPECT_EQ(found, arrows) << "template " << id;
  }
}

TEST(DialogTemplates, ControlsStartHiddenExactlyWhereThePagesExpectIt) {
  std::map<int, std::set<int>> hiddenByPage(StartHidden().begin(), StartHidden().end());
  for (const auto& [id, dialog] : TemplatesById()) {
    std::set<int> expected;
    if (const auto found = hiddenByPage.find(id); found != hiddenByPage.end()) {
      expected = found->second;
    }
    const bool allBut1074 = expected.contains(kAllBut1074);
    for (const ControlTemplate& control : dialog.controls) {
      const bool hidden = (control.style & style::kHidden) != 0;
      const bool wanted = allBut1074 ? control.id != 1074 : expected.contains(control.id);
      EXPECT_EQ(hidden, wanted) << "template " << id << " control " << control.id;
    }
  }
}

// The radios of each group as the dialog manager finds them: from the
// nearest control at or before a radio that starts a group, up to the next
// control that starts one.
std::set<std::set<int>> RadioGroupsOf(const DialogTemplate& dialog) {
  std::set<std::set<int>> groups;
  const auto& controls = dialog.controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind != ControlKind::kRadio) {
      continue;
    }
    std::size_t first = i;
    while (first > 0 && (controls[first].style & style::kGroup) == 0) {
      --first;
    }
    std::set<int> group;
    for (std::size_t j = first; j < controls.size(); ++j) {
      if (j > first && (controls[j].style & style::kGroup) != 0) {
        break;
      }
      if (controls[j].kind == ControlKind::kRadio) {
        group.insert(controls[j].id);
      }
    }
    groups.insert(group);
  }
  return groups;
}

TEST(DialogTemplates, RadioButtonsFormTheGroupsThePagesUse) {
  std::map<int, std::set<std::set<int>>> expected(RadioGroups().begin(), RadioGroups().end());
  for (const auto& [id, dialog] : TemplatesById()) {
    const auto wanted = expected.contains(id) ? expected.at(id) : std::set<std::set<int>>{};
    EXPECT_EQ(RadioGroupsOf(dialog), wanted) << "template " << id;
  }
}

TEST(DialogTemplates, NumberFieldsTakeDigitsOnlyAndCodeFieldsTakeTheirSymbols) {
  const std::map<int, std::set<int>> kDigitsOnly = {
      {R::kMsnSettingTemplate, {1044, 1045, 1050}},
      {R::kTelephoneSettingTemplate, {1044, 1045, 1050, 1052}},
      {R::kKometMsnTemplate, {1044, 1045, 1050, 1052, 1046, 1048, 1053, 1055}},
      {R::kKometLocalTemplate, {1044, 1045, 1050, 1052, 1046, 1048}},
      {R::kProtocolsTemplate, {1133, 1132, 1136, 1131}},
      {R::kProviderServicesTemplate, {1140}},
  };
  for (const auto& [id, dialog] : TemplatesById()) {
    const std::set<int> wanted = kDigitsOnly.contains(id) ? kDigitsOnly.at(id) : std::set<int>{};
    for (const ControlTemplate& control : dialog.controls) {
      if (control.kind == ControlKind::kEdit) {
        EXPECT_EQ((control.style & style::kDigitsOnly) != 0, wanted.contains(control.id))
            << "template " << id << " edit " << control.id;
        EXPECT_NE(control.style & style::kBorder, 0U) << "template " << id;
      }
    }
  }
  // The provider services' code fields take "*", "#", R and W as well, which
  // the page's own filter allows; the number after the cancel code is shown
  // only, and the key digit of a line function is never typed.
  const DialogTemplate& services = TemplateOf(152);
  EXPECT_NE(ControlOf(services, 1162).style & style::kReadOnly, 0U);
  for (const int id : {1131, 1132, 1159}) {
    EXPECT_EQ(ControlOf(services, id).style & (style::kReadOnly | style::kDigitsOnly), 0U) << id;
  }
  EXPECT_NE(ControlOf(services, 1171).style & style::kDisabled, 0U);
  EXPECT_NE(ControlOf(services, 1170).style & style::kDisabled, 0U);
}

TEST(DialogTemplates, PrefixListsAndPortabilityCharactersUseTheFixedPitchFont) {
  const std::map<int, std::set<int>> kFixed = {
      {R::kKometLocalTemplate, {1116, 1117}},
      {R::kProviderServicesTemplate,
       {1155, 1157, 1156, 1158, 1160, 1161, 1193, 1194, 1196, 1198, 1199, 1201}},
  };
  for (const auto& [id, controls] : kFixed) {
    const DialogTemplate& dialog = TemplateOf(id);
    for (const int control : controls) {
      EXPECT_NE(ControlOf(dialog, control).style & style::kFixedFont, 0U)
          << "template " << id << " control " << control;
    }
  }
}

// Labels the pages never set carry their text; texts the pages set start
// empty, so that nothing stale shows before the page has filled them.
TEST(DialogTemplates, FixedLabelsCarryTheirTextAndPageTextsStartEmpty) {
  struct Fixed {
    int page;
    int control;
    const char* text;
  };
  const Fixed kFixedLabels[] = {
      {128, 1056, "MSN#1"},
      {128, 1055, "MSN#2"},
      {128, 1057, "MSN#3"},
      {129, 1064, "MSN#4"},
      {148, 1163, "Open extra channel if throughput is more than"},
      {148, 1164, "Close extra channel if throughput is less than"},
      {148, 1165, "Kbit/s in"},
      {148, 1166, "Kbit/s in"},
      {148, 1167, "Seconds"},
      {148, 1168, "Seconds"},
      {148, 1127, "1 Channel"},
      {148, 1126, "2 Channels"},
      {150, 1147, "PPP"},
      {150, 1129, "V.120 Multilink"},
      {150, 1151, "Auto Mode always"},
      {152, 1128, "Enable this service"},
      {152, 1172, "Tele"},
      {152, 1173, "Data"},
      {152, 1174, "Code:"},
      {152, 1135, "Enable calls inside group"},
      {152, 1138, "Enable calls outside group"},
      {152, 1177, "RING"},
      {152, 1178, "Caller ID"},
      {152, 1170, "R"},
      {152, 1192, "R"},
      {152, 1195, "ID"},
      {117, 2, "Cancel"},
      {122, 1, "OK"},
  };
  for (const Fixed& fixed : kFixedLabels) {
    EXPECT_EQ(ControlOf(TemplateOf(fixed.page), fixed.control).text, fixed.text)
        << "template " << fixed.page << " " << fixed.control;
  }
  for (const RuntimeTexts& runtime : ControlTexts()) {
    const DialogTemplate& dialog = TemplateOf(runtime.page);
    if (runtime.page == 117 || runtime.page == 122 || runtime.page == 148) {
      continue;  // pickers and the Protocols page carry their labels themselves
    }
    EXPECT_TRUE(ControlOf(dialog, runtime.control).text.empty())
        << "template " << runtime.page << " control " << runtime.control;
  }
}

}  // namespace
}  // namespace norix::resources::dialogs::testing
