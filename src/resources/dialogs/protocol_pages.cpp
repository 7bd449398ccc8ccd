// The Protocols page and the protocol choice page of the KOMET II.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

namespace style = platform::window::ControlStyle;

// Help texts under the pointer, across the page above the band.
constexpr Rect kDescriptionArea = RectAt(kLeft, 126, kContentWidth, kContentBottom - 126);

}  // namespace

// One or two channels; with two, BOD and call bumping indented beneath, and
// the four BOD numbers, each threshold sentence on its own line with its
// two fields and units on the next:
//
//   Open extra channel if throughput is more than
//   [48] Kbit/s in [  5] Seconds
//
// "Other" and "Save as" stand at the top right; the help text runs across
// the page beneath.
DialogTemplate ProtocolsTemplate() {
  DialogTemplate page = Page(kProtocolsTemplate);
  auto& c = page.controls;
  constexpr int kIndent = kLeft + 12;
  constexpr int kTwoDigits = 20;
  constexpr int kThreeDigits = 24;
  constexpr int kSentenceWidth = 184;
  constexpr int kUnitWidth = 40;
  constexpr int kButtonsLeft = kRight - kBigButtonWidth;

  const auto numberLine = [&c](int threshold, int kbits, int delay, int seconds, int top) {
    int x = kIndent;
    c.push_back(Edit(threshold, RectAt(x, top, kTwoDigits, kFieldHeight), style::kDigitsOnly));
    x += kTwoDigits + 4;
    c.push_back(Label(kbits, RectAt(x, top + 2, kUnitWidth, kLineHeight), "Kbit/s in"));
    x += kUnitWidth + 2;
    c.push_back(Edit(delay, RectAt(x, top, kThreeDigits, kFieldHeight), style::kDigitsOnly));
    x += kThreeDigits + 4;
    c.push_back(Label(seconds, RectAt(x, top + 2, kUnitWidth, kLineHeight), "Seconds"));
  };

  c.push_back(Radio(1127, RectAt(kLeft, 28, 80, kBoxHeight), EnglishText(2237), true));
  c.push_back(Radio(1126, RectAt(kLeft, 42, 80, kBoxHeight), EnglishText(2236), false));
  c.push_back(CheckBox(1128, RectAt(kIndent, 56, 60, kBoxHeight), EnglishText(2234)));
  c.push_back(CheckBox(1129, RectAt(kIndent + 66, 56, 80, kBoxHeight), EnglishText(2235)));
  c.push_back(Label(1163, RectAt(kIndent, 72, kSentenceWidth, kLineHeight),
                    "Open extra channel if throughput is more than"));
  numberLine(1133, 1166, 1132, 1167, 82);
  c.push_back(Label(1164, RectAt(kIndent, 100, kSentenceWidth, kLineHeight),
                    "Close extra channel if throughput is less than"));
  numberLine(1136, 1165, 1131, 1168, 110);
  c.push_back(Hidden(BigButton(1143, RectAt(kButtonsLeft, 28, kBigButtonWidth, kBigButtonHeight),
                               EnglishText(2238))));
  c.push_back(Hidden(BigButton(1148, RectAt(kButtonsLeft, 56, kBigButtonWidth, kBigButtonHeight),
                               EnglishText(2241))));
  c.push_back(Paragraph(1146, kDescriptionArea));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  return page;
}

// Twelve protocols, one radio group, in two columns: the single-channel
// protocols on the left, the multilink and auto modes on the right; the
// description of the protocol under the pointer beneath them.
DialogTemplate ProtocolChoiceTemplate() {
  DialogTemplate page = Page(kProtocolChoiceTemplate);
  struct Choice {
    int id;
    const char* text;
  };
  constexpr Choice kLeftColumn[] = {{1147, "PPP"},  {1134, "V.120"}, {1144, "V.110"},
                                    {1137, "X.75"}, {1139, "X.25"},  {1141, "HDLC"}};
  constexpr Choice kRightColumn[] = {
      {1129, "V.120 Multilink"},          {1126, "X.75 Multilink"},
      {1127, "X.25 Multilink"},           {1145, "Auto Mode incoming calls"},
      {1149, "Auto Mode outgoing calls"}, {1151, "Auto Mode always"}};
  constexpr int kRightLeft = 150;
  bool first = true;
  int top = 28;
  for (const Choice& choice : kLeftColumn) {
    page.controls.push_back(
        Radio(choice.id, RectAt(kLeft, top, 100, kBoxHeight), choice.text, first));
    first = false;
    top += 14;
  }
  top = 28;
  for (const Choice& choice : kRightColumn) {
    page.controls.push_back(Radio(
        choice.id, RectAt(kRightLeft, top, kRight - kRightLeft, kBoxHeight), choice.text, false));
    top += 14;
  }
  page.controls.push_back(Paragraph(1146, kDescriptionArea));
  page.controls.push_back(ArrowButton(Arrow::kCancel));
  page.controls.push_back(ArrowButton(Arrow::kOk));
  return page;
}

}  // namespace norix::resources::dialogs
