// The MSN setting and the Telephone setting pages of the solano adapters.

#include <string>

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

namespace style = platform::window::ControlStyle;

// Row label "MSN#n" and its number field. The fields take digits only; they
// are wide enough for the longest number the pages accept.
constexpr int kRowLabelWidth = 30;
constexpr int kNumberLeft = kLeft + kRowLabelWidth + 3;  // 40
constexpr int kNumberWidth = 92;

void AddNumberRow(DialogTemplate& page, int number, int label, int field, int top) {
  page.controls.push_back(Label(label, RectAt(kLeft, top + 2, kRowLabelWidth, kLineHeight),
                                "MSN#" + std::to_string(number)));
  page.controls.push_back(
      Edit(field, RectAt(kNumberLeft, top, kNumberWidth, kFieldHeight), style::kDigitsOnly));
}

}  // namespace

// Three numbers of the adapter's data side, and the warning about blank
// fields.
DialogTemplate MsnSettingTemplate() {
  DialogTemplate page = Page(kMsnSettingTemplate);
  auto& c = page.controls;
  c.push_back(Label(1051, RectAt(kLeft, 28, kContentWidth, kLineHeight)));
  AddNumberRow(page, 1, 1056, 1044, 42);
  AddNumberRow(page, 2, 1055, 1045, 58);
  AddNumberRow(page, 3, 1057, 1050, 74);
  c.push_back(Paragraph(1052, RectAt(kLeft, 96, kContentWidth, 5 * kLineHeight)));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  return page;
}

// Four numbers, each ticked for the "Adapter" side, the "A/B port 1" side or
// both; a box column under each side's heading.
DialogTemplate TelephoneSettingTemplate() {
  DialogTemplate page = Page(kTelephoneSettingTemplate);
  auto& c = page.controls;
  constexpr int kColumnWidth = 50;
  constexpr int kAdapterColumn = 140;
  constexpr int kPortColumn = 196;
  constexpr int kBoxOffset = (kColumnWidth - kBoxOnlyWidth) / 2;
  struct Row {
    int label;
    int field;
    int adapterBox;
    int portBox;
  };
  constexpr Row kRows[] = {{1056, 1044, 1047, 1046},
                           {1055, 1045, 1049, 1048},
                           {1057, 1050, 1060, 1058},
                           {1064, 1052, 1061, 1059}};

  c.push_back(Label(1051, RectAt(kLeft, 28, kContentWidth, kLineHeight)));
  c.push_back(
      Label(1065, RectAt(kAdapterColumn, 40, kColumnWidth, kLineHeight), {}, style::kCentered));
  c.push_back(
      Label(1066, RectAt(kPortColumn, 40, kColumnWidth, kLineHeight), {}, style::kCentered));
  int top = 52;
  int number = 1;
  for (const Row& row : kRows) {
    AddNumberRow(page, number++, row.label, row.field, top);
    c.push_back(CheckBox(row.adapterBox,
                         RectAt(kAdapterColumn + kBoxOffset, top + 1, kBoxOnlyWidth, kBoxHeight)));
    c.push_back(CheckBox(row.portBox,
                         RectAt(kPortColumn + kBoxOffset, top + 1, kBoxOnlyWidth, kBoxHeight)));
    top += 16;
  }
  c.push_back(Paragraph(1053, RectAt(kLeft, 120, kContentWidth, 5 * kLineHeight)));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  return page;
}

}  // namespace norix::resources::dialogs
