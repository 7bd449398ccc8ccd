// The MSN page and the local setting page of the KOMET II. Both read the
// adapter before they show anything: every control but the "Please wait..."
// status starts hidden, and the page shows them all when it has read.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

namespace style = platform::window::ControlStyle;

// The side columns both pages share: TEL#1, TEL#2 and the ringing type.
constexpr int kTel1Column = 150;
constexpr int kTel2Column = 190;
constexpr int kSideColumnWidth = 36;
constexpr int kRingingColumn = 232;
constexpr int kRingingWidth = kRight - kRingingColumn;

constexpr int BoxIn(int column, int width) { return column + (width - kBoxOnlyWidth) / 2; }

void HideAllBut(DialogTemplate& page, int shown) {
  for (ControlTemplate& control : page.controls) {
    if (control.id != shown) {
      control.style |= style::kHidden;
    }
  }
}

void AddSideHeadings(DialogTemplate& page, int top) {
  page.controls.push_back(
      Label(1079, RectAt(kTel1Column, top, kSideColumnWidth, kLineHeight), {}, style::kCentered));
  page.controls.push_back(
      Label(1080, RectAt(kTel2Column, top, kSideColumnWidth, kLineHeight), {}, style::kCentered));
  page.controls.push_back(Label(1089, RectAt(kRingingColumn, top, kRingingWidth, kLineHeight)));
}

}  // namespace

// Eight numbers; for each the sides that answer it (check boxes) and the
// ringing type.
DialogTemplate KometMsnTemplate() {
  DialogTemplate page = Page(kKometMsnTemplate);
  auto& c = page.controls;
  constexpr int kNumberWidth = 92;
  constexpr int kAdapterColumn = 106;
  constexpr int kAdapterWidth = 40;
  struct Row {
    int field;
    int adapterBox;
    int tel1Box;
    int tel2Box;
    int ringing;
  };
  constexpr Row kRows[] = {{1044, 1047, 1081, 1054, 1090}, {1045, 1049, 1082, 1062, 1091},
                           {1050, 1060, 1083, 1063, 1092}, {1052, 1061, 1084, 1066, 1093},
                           {1046, 1056, 1085, 1058, 1094}, {1048, 1057, 1086, 1068, 1095},
                           {1053, 1064, 1087, 1069, 1096}, {1055, 1067, 1088, 1070, 1097}};

  // The number column's heading takes two lines; the side headings stand
  // on its second line.
  c.push_back(Paragraph(1051, RectAt(kLeft, 26, kNumberWidth, 2 * kLineHeight)));
  c.push_back(
      Label(1065, RectAt(kAdapterColumn, 34, kAdapterWidth, kLineHeight), {}, style::kCentered));
  AddSideHeadings(page, 34);
  int top = 46;
  for (const Row& row : kRows) {
    c.push_back(
        Edit(row.field, RectAt(kLeft, top, kNumberWidth, kFieldHeight), style::kDigitsOnly));
    c.push_back(CheckBox(row.adapterBox, RectAt(BoxIn(kAdapterColumn, kAdapterWidth), top + 1,
                                                kBoxOnlyWidth, kBoxHeight)));
    c.push_back(CheckBox(row.tel1Box, RectAt(BoxIn(kTel1Column, kSideColumnWidth), top + 1,
                                             kBoxOnlyWidth, kBoxHeight)));
    c.push_back(CheckBox(row.tel2Box, RectAt(BoxIn(kTel2Column, kSideColumnWidth), top + 1,
                                             kBoxOnlyWidth, kBoxHeight)));
    c.push_back(DropDown(row.ringing, RectAt(kRingingColumn, top, kRingingWidth, kFieldHeight)));
    top += 14;
  }
  c.push_back(Label(1117, RectAt(kLeft, 160, kContentWidth, kLineHeight)));
  c.push_back(Label(1074, kStatusLine1));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  HideAllBut(page, 1074);
  return page;
}

// Six local numbers; for each the telephone port it rings (a radio pair per
// row) and the ringing type. The dial prefix stands left of the numbers,
// joined to them by connector lines: in two-digit mode one prefix box and a
// bracket with a stub to every number; in one-digit mode two prefix boxes
// joined to a bar along the number column. The page shows the lines of the
// mode it finds and the second prefix box in one-digit mode only.
DialogTemplate KometLocalTemplate() {
  DialogTemplate page = Page(kKometLocalTemplate);
  auto& c = page.controls;
  constexpr int kRowTop = 58;
  constexpr int kRowPitch = 16;
  constexpr int kRows = 6;
  constexpr int kNumberLeft = 110;
  constexpr int kNumberWidth = 24;
  constexpr int kPrefixLeft = 60;
  constexpr int kPrefixWidth = 30;
  constexpr int kJoin = kPrefixLeft + kPrefixWidth;  // 90: where the prefix boxes end
  constexpr int kFirstCentre = kRowTop + kFieldHeight / 2;
  constexpr int kLastCentre = kFirstCentre + (kRows - 1) * kRowPitch;
  // Between the third and the fourth number.
  constexpr int kMiddle = kRowTop + 3 * kRowPitch - (kRowPitch - kFieldHeight) / 2;
  struct Row {
    int field;
    int tel1;
    int tel2;
    int ringing;
  };
  constexpr Row kRowIds[kRows] = {{1044, 1098, 1099, 1090}, {1045, 1100, 1101, 1091},
                                  {1050, 1102, 1103, 1092}, {1052, 1104, 1105, 1093},
                                  {1046, 1106, 1107, 1094}, {1048, 1108, 1109, 1095}};

  c.push_back(Paragraph(1082, RectAt(kLeft, kContentTop, kContentWidth, 2 * kLineHeight)));
  c.push_back(Label(1115, RectAt(kLeft, 46, 140, kLineHeight)));
  AddSideHeadings(page, 46);

  // Prefix boxes: the first centred on the number column, the second (one-
  // digit mode) below it.
  const int firstPrefixTop = kMiddle - kFieldHeight / 2;
  const int secondPrefixTop = firstPrefixTop + kRowPitch;
  c.push_back(DropDown(1116, RectAt(kPrefixLeft, firstPrefixTop, kPrefixWidth, kFieldHeight),
                       style::kFixedFont));
  c.push_back(DropDown(1117, RectAt(kPrefixLeft, secondPrefixTop, kPrefixWidth, kFieldHeight),
                       style::kFixedFont));

  int top = kRowTop;
  for (const Row& row : kRowIds) {
    c.push_back(
        Edit(row.field, RectAt(kNumberLeft, top, kNumberWidth, kFieldHeight), style::kDigitsOnly));
    c.push_back(Radio(
        row.tel1, RectAt(BoxIn(kTel1Column, kSideColumnWidth), top + 1, kBoxOnlyWidth, kBoxHeight),
        {}, true));
    c.push_back(Radio(
        row.tel2, RectAt(BoxIn(kTel2Column, kSideColumnWidth), top + 1, kBoxOnlyWidth, kBoxHeight),
        {}, false));
    c.push_back(DropDown(row.ringing, RectAt(kRingingColumn, top, kRingingWidth, kFieldHeight)));
    top += kRowPitch;
  }

  // Two-digit mode: the first prefix box meets a bar from the first to the
  // last number, with a stub to each.
  c.push_back(VerticalLine(1188, kJoin, kFirstCentre, kLastCentre - kFirstCentre + 1));
  for (int row = 0; row < kRows; ++row) {
    c.push_back(HorizontalLine(1189 + row, kJoin + 1, kFirstCentre + row * kRowPitch,
                               kNumberLeft - kJoin - 1));
  }
  // One-digit mode: the two prefix boxes joined, and from their join a line
  // to a bar that runs along the left edge of the number column.
  const int firstPrefixCentre = firstPrefixTop + kFieldHeight / 2;
  const int secondPrefixCentre = secondPrefixTop + kFieldHeight / 2;
  const int joinCentre = (firstPrefixCentre + secondPrefixCentre) / 2;
  constexpr int kBar = kNumberLeft - 1;
  c.push_back(
      VerticalLine(1184, kJoin, firstPrefixCentre, secondPrefixCentre - firstPrefixCentre + 1));
  c.push_back(HorizontalLine(1185, kJoin + 1, joinCentre, kBar - kJoin - 1));
  c.push_back(VerticalLine(1186, kBar, kRowTop, joinCentre - kRowTop));
  c.push_back(VerticalLine(1187, kBar, joinCentre,
                           kRowTop + (kRows - 1) * kRowPitch + kFieldHeight - joinCentre));

  c.push_back(Label(1074, kStatusLine1));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  HideAllBut(page, 1074);
  return page;
}

}  // namespace norix::resources::dialogs
