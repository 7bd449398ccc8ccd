// The model pickers of the upgrade of a product in rescue mode: small
// standard dialogs centred on their owner, in the page font, with the
// explanation on top, the models in a drop-down list and the buttons at the
// bottom right. They carry their English texts; the picker may replace them
// with texts of the user's language.

#include "platform/window/messages.h"
#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

namespace style = platform::window::ControlStyle;
using platform::window::IDCANCEL;
using platform::window::IDOK;

constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

DialogTemplate Picker(int id, int width, int height, int title) {
  DialogTemplate picker;
  picker.id = id;
  picker.width = width;
  picker.height = height;
  picker.caption = EnglishText(title);
  picker.font.face = "MS Sans Serif";
  picker.font.pointSize = 8;
  picker.centered = true;
  return picker;
}

}  // namespace

DialogTemplate ModemModelPickerTemplate() {
  DialogTemplate picker =
      Picker(kModemModelPickerTemplate, kModemPickerWidth, kModemPickerHeight, 2018);
  constexpr int kInner = kModemPickerWidth - 2 * kMargin;
  constexpr int kButtonTop = kModemPickerHeight - kMargin - kButtonHeight;
  constexpr int kCancelLeft = kModemPickerWidth - kMargin - kButtonWidth;
  auto& c = picker.controls;
  c.push_back(
      Paragraph(1030, RectAt(kMargin, kMargin, kInner, 4 * kLineHeight), EnglishText(2019)));
  c.push_back(DropDown(1027, RectAt(kMargin, 46, kInner, kFieldHeight)));
  c.push_back(PushButton(
      IDOK, RectAt(kCancelLeft - 4 - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight),
      EnglishText(2093), style::kDefault));
  c.push_back(PushButton(IDCANCEL, RectAt(kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight),
                         EnglishText(2008)));
  return picker;
}

DialogTemplate IsdnModelPickerTemplate() {
  DialogTemplate picker =
      Picker(kIsdnModelPickerTemplate, kIsdnPickerWidth, kIsdnPickerHeight, 2017);
  constexpr int kInner = kIsdnPickerWidth - 2 * kMargin;
  constexpr int kButtonTop = kIsdnPickerHeight - kMargin - kButtonHeight;
  auto& c = picker.controls;
  c.push_back(
      Paragraph(1035, RectAt(kMargin, kMargin, kInner, 5 * kLineHeight), EnglishText(2020)));
  c.push_back(DropDown(1036, RectAt(kMargin, 54, kInner, kFieldHeight)));
  c.push_back(PushButton(
      IDOK,
      RectAt(kIsdnPickerWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight),
      EnglishText(2093), style::kDefault));
  return picker;
}

}  // namespace norix::resources::dialogs
