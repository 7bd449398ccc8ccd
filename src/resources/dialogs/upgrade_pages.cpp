// The upgrade pages: start, choice of the part of a two-component adapter,
// older / same / newer version, and progress.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

// "The current version of ... is:" and the version, on the first content
// line of the start and version pages.
constexpr int kVersionLabelWidth = 190;
constexpr int kVersionValueLeft = 200;

void AddCurrentVersion(DialogTemplate& page) {
  page.controls.push_back(Label(1074, RectAt(kLeft, 28, kVersionLabelWidth, kLineHeight)));
  page.controls.push_back(
      Label(1028, RectAt(kVersionValueLeft, 28, kRight - kVersionValueLeft, kLineHeight)));
}

ControlTemplate TextBlock(int id, int top, int lines) {
  return Paragraph(id, RectAt(kLeft, top, kContentWidth, lines * kLineHeight));
}

}  // namespace

DialogTemplate UpgradeStartTemplate() {
  DialogTemplate page = Page(kUpgradeStartTemplate);
  AddCurrentVersion(page);
  page.controls.push_back(TextBlock(1049, 46, 3));  // '>' asks for the upgrade file
  page.controls.push_back(TextBlock(1050, 78, 2));  // consult the manual
  page.controls.push_back(ArrowButton(Arrow::kBack));
  page.controls.push_back(ArrowButton(Arrow::kNext));
  return page;
}

// The two parts as radio buttons, each with its current version beside it.
DialogTemplate UpgradeChoosePartTemplate() {
  DialogTemplate page = Page(kUpgradeChoosePartTemplate);
  auto& c = page.controls;
  constexpr int kRadioWidth = 50;
  constexpr int kVersionLabel = kLeft + kRadioWidth + 5;
  constexpr int kVersionLabelWidthHere = 188;
  constexpr int kVersionValue = kVersionLabel + kVersionLabelWidthHere + 4;
  constexpr int kVersionValueWidth = kRight - kVersionValue;
  c.push_back(Label(1051, RectAt(kLeft, 28, kContentWidth, kLineHeight)));
  c.push_back(Radio(1071, RectAt(kLeft, 41, kRadioWidth, kBoxHeight), {}, true));  // ISDN
  c.push_back(Label(1073, RectAt(kVersionLabel, 42, kVersionLabelWidthHere, kLineHeight)));
  c.push_back(Label(1029, RectAt(kVersionValue, 42, kVersionValueWidth, kLineHeight)));
  c.push_back(Radio(1070, RectAt(kLeft, 55, kRadioWidth, kBoxHeight), {}, false));  // Modem
  c.push_back(Label(1074, RectAt(kVersionLabel, 56, kVersionLabelWidthHere, kLineHeight)));
  c.push_back(Label(1075, RectAt(kVersionValue, 56, kVersionValueWidth, kLineHeight)));
  c.push_back(TextBlock(1049, 76, 3));
  c.push_back(TextBlock(1050, 104, 2));
  c.push_back(ArrowButton(Arrow::kBack));
  c.push_back(ArrowButton(Arrow::kNext));
  return page;
}

DialogTemplate UpgradeOlderTemplate() {
  DialogTemplate page = Page(kUpgradeOlderTemplate);
  AddCurrentVersion(page);
  page.controls.push_back(TextBlock(1061, 46, 5));   // older than installed, not recommended
  page.controls.push_back(TextBlock(1062, 92, 2));   // '<' selects another version
  page.controls.push_back(TextBlock(1063, 112, 2));  // consult the manual
  page.controls.push_back(ArrowButton(Arrow::kBack));
  page.controls.push_back(ArrowButton(Arrow::kNext));
  page.controls.push_back(ArrowButton(Arrow::kCancel));
  return page;
}

DialogTemplate UpgradeSameTemplate() {
  DialogTemplate page = Page(kUpgradeSameTemplate);
  AddCurrentVersion(page);
  page.controls.push_back(TextBlock(1076, 46, 5));   // same version, or the refusal
  page.controls.push_back(TextBlock(1078, 92, 2));   // '<' or '>'
  page.controls.push_back(TextBlock(1077, 112, 2));  // consult the manual
  page.controls.push_back(ArrowButton(Arrow::kBack));
  page.controls.push_back(ArrowButton(Arrow::kNext));
  page.controls.push_back(ArrowButton(Arrow::kCancel));
  return page;
}

DialogTemplate UpgradeNewerTemplate() {
  DialogTemplate page = Page(kUpgradeNewerTemplate);
  AddCurrentVersion(page);
  page.controls.push_back(TextBlock(1059, 46, 4));  // newer: '>' starts the upgrade
  page.controls.push_back(TextBlock(1060, 84, 2));  // consult the manual
  page.controls.push_back(ArrowButton(Arrow::kNext));
  page.controls.push_back(ArrowButton(Arrow::kCancel));
  return page;
}

// No buttons: the page leaves by itself when the worker has finished.
DialogTemplate UpgradeProgressTemplate() {
  DialogTemplate page = Page(kUpgradeProgressTemplate);
  auto& c = page.controls;
  c.push_back(Label(1078, RectAt(kLeft, 28, kContentWidth, kLineHeight)));  // Upgrading...
  c.push_back(TextBlock(1079, 42, 5));                                      // warning
  c.push_back(TextBlock(1037, 88, 2));                                      // status
  c.push_back(ProgressBar(1036, RectAt(kLeft, 108, kContentWidth, 10)));
  c.push_back(Label(1038, RectAt(kLeft, 124, 120, kLineHeight)));  // "Estimated time remaining:"
  c.push_back(Label(1039, RectAt(130, 124, 40, kLineHeight)));     // mm:ss
  return page;
}

}  // namespace norix::resources::dialogs
