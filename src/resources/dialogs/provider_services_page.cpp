// The provider services page of the KOMET II.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

namespace style = platform::window::ControlStyle;

// Inside the frame that holds the controls of the service group on display.
// Only one group shows at a time, so the groups share the frame's area.
constexpr Rect kFrame = RectAt(kLeft, 42, kContentWidth, 70);
constexpr int kInside = kLeft + 7;
constexpr int kFirstLine = 54;
constexpr int kSecondLine = 70;
constexpr int kThirdLine = 88;

constexpr int kSymbolWidth = 24;   // a "*"/"#" drop-down list
constexpr int kDigitsWidth = 32;   // four characters
constexpr int kNumberWidth = 100;  // twenty characters

// One code line of a supplementary service: prefix, digits, suffix, then the
// number and its suffix.
void AddCodeLine(DialogTemplate& page, int top, int prefix, int digits, int suffix, int number,
                 int numberSuffix, std::uint32_t numberStyle) {
  int x = kInside;
  page.controls.push_back(
      Hidden(DropDown(prefix, RectAt(x, top, kSymbolWidth, kFieldHeight), style::kFixedFont)));
  x += kSymbolWidth + 2;
  page.controls.push_back(Hidden(Edit(digits, RectAt(x, top, kDigitsWidth, kFieldHeight))));
  x += kDigitsWidth + 2;
  page.controls.push_back(
      Hidden(DropDown(suffix, RectAt(x, top, kSymbolWidth, kFieldHeight), style::kFixedFont)));
  x += kSymbolWidth + 6;
  page.controls.push_back(
      Hidden(Edit(number, RectAt(x, top, kNumberWidth, kFieldHeight), numberStyle)));
  x += kNumberWidth + 2;
  page.controls.push_back(Hidden(
      DropDown(numberSuffix, RectAt(x, top, kSymbolWidth, kFieldHeight), style::kFixedFont)));
}

// One key sequence of terminal portability: "R", the portability character
// twice, "ID", the portability character. The characters are written in the
// fixed-pitch font when the page has read them.
void AddKeySequence(DialogTemplate& page, int first, int top) {
  constexpr int kCell = 8;
  const std::uint32_t kFixed = style::kFixedFont | style::kCentered;
  page.controls.push_back(Hidden(Label(first, RectAt(kInside, top, kCell, kLineHeight), "R")));
  page.controls.push_back(
      Hidden(Label(first + 1, RectAt(kInside + 10, top, kCell, kLineHeight), {}, kFixed)));
  page.controls.push_back(
      Hidden(Label(first + 2, RectAt(kInside + 20, top, kCell, kLineHeight), {}, kFixed)));
  page.controls.push_back(
      Hidden(Label(first + 3, RectAt(kInside + 30, top, 12, kLineHeight), "ID")));
  page.controls.push_back(
      Hidden(Label(first + 4, RectAt(kInside + 44, top, kCell, kLineHeight), {}, kFixed)));
}

}  // namespace

// The service list and "Enable this service" on top, the frame with the
// chosen entry's controls beneath, the help text under the frame and the
// status in the band. Until the page has read the adapter only the status,
// the help text and 'X' show.
DialogTemplate ProviderServicesTemplate() {
  DialogTemplate page = Page(kProviderServicesTemplate);
  auto& c = page.controls;
  c.push_back(Hidden(DropDown(1154, RectAt(kLeft, kContentTop, 170, kFieldHeight))));
  c.push_back(Hidden(CheckBox(1128, RectAt(185, 27, 110, kBoxHeight), "Enable this service")));
  c.push_back(Hidden(GroupBox(1179, kFrame)));

  // Supplementary services: activation line, cancel line, extra setting.
  AddCodeLine(page, kFirstLine, 1155, 1131, 1157, 1159, 1160, 0);
  AddCodeLine(page, kSecondLine, 1156, 1132, 1158, 1162, 1161, style::kReadOnly);
  c.push_back(Hidden(CheckBox(1129, RectAt(kInside, kThirdLine, 200, kBoxHeight))));

  // Multiple lines: the line function and its key sequence "R" digit, which
  // is shown but never typed into.
  c.push_back(Hidden(DropDown(1169, RectAt(kInside, kFirstLine, 170, kFieldHeight))));
  c.push_back(Hidden(
      Label(1170, RectAt(kInside + 178, kFirstLine + 2, 8, kLineHeight), "R", style::kDisabled)));
  c.push_back(
      Hidden(Edit(1171, RectAt(kInside + 188, kFirstLine, 14, kFieldHeight), style::kDisabled)));

  // Closed user group: a row of inside / outside radios for telephone calls
  // and one for data, then the group's code.
  constexpr int kRowLabelWidth = 30;
  constexpr int kInsideRadio = kInside + kRowLabelWidth + 2;
  constexpr int kInsideWidth = 118;
  constexpr int kOutsideRadio = kInsideRadio + kInsideWidth + 4;
  constexpr int kOutsideWidth = kFrame.right - 7 - kOutsideRadio;
  c.push_back(Hidden(Label(1172, RectAt(kInside, kFirstLine + 1, kRowLabelWidth, kLineHeight),
                           EnglishText(2305))));
  c.push_back(Hidden(Radio(1126, RectAt(kInsideRadio, kFirstLine, kInsideWidth, kBoxHeight),
                           EnglishText(2302), true)));
  c.push_back(Hidden(Radio(1127, RectAt(kOutsideRadio, kFirstLine, kOutsideWidth, kBoxHeight),
                           EnglishText(2303), false)));
  c.push_back(Hidden(Label(1173, RectAt(kInside, kSecondLine + 1, kRowLabelWidth, kLineHeight),
                           EnglishText(2306))));
  c.push_back(Hidden(Radio(1135, RectAt(kInsideRadio, kSecondLine, kInsideWidth, kBoxHeight),
                           EnglishText(2302), true)));
  c.push_back(Hidden(Radio(1138, RectAt(kOutsideRadio, kSecondLine, kOutsideWidth, kBoxHeight),
                           EnglishText(2303), false)));
  c.push_back(Hidden(Label(1174, RectAt(kInside, kThirdLine + 2, kRowLabelWidth, kLineHeight),
                           EnglishText(2304))));
  c.push_back(
      Hidden(Edit(1140, RectAt(kInsideRadio, kThirdLine, 20, kFieldHeight), style::kDigitsOnly)));

  // Data port.
  c.push_back(Hidden(CheckBox(1177, RectAt(kInside, kFirstLine, 80, kBoxHeight), "RING")));
  c.push_back(Hidden(CheckBox(1178, RectAt(kInside, kSecondLine, 80, kBoxHeight), "Caller ID")));

  // Terminal portability.
  AddKeySequence(page, 1192, kFirstLine + 1);
  AddKeySequence(page, 1197, kSecondLine + 1);

  c.push_back(Paragraph(1146, RectAt(kLeft, 118, kContentWidth, kContentBottom - 118)));
  c.push_back(Paragraph(1074, kStatusBand));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(Hidden(ArrowButton(Arrow::kOk)));
  return page;
}

}  // namespace norix::resources::dialogs
