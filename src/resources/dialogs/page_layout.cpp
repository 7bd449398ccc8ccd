#include "resources/dialogs/page_layout.h"

#include <algorithm>
#include <utility>

#include "resources/strings/builtin_texts.h"

namespace norix::resources::dialogs::layout {

namespace {

namespace style = platform::window::ControlStyle;
using platform::window::ControlKind;

// Window title of every page.
constexpr int kTitleText = 2003;

// Focusable controls other than radios each start a group, so that a radio
// group ends at the first control after its last radio.
constexpr std::uint32_t kFocusable = style::kTabStop | style::kGroup;

ControlTemplate Make(int id, ControlKind kind, Rect rect, std::string text, std::uint32_t bits) {
  ControlTemplate control;
  control.id = id;
  control.kind = kind;
  control.text = std::move(text);
  control.rect = rect;
  control.style = bits;
  return control;
}

}  // namespace

std::string EnglishText(int id) {
  const auto texts = strings::BuiltinTexts();
  const auto found = std::lower_bound(
      texts.begin(), texts.end(), id,
      [](const strings::BuiltinText& entry, int wanted) { return entry.id < wanted; });
  if (found == texts.end() || found->id != id) {
    return {};
  }
  return std::string(found->text);
}

DialogTemplate Page(int id, bool withHeader) {
  DialogTemplate page;
  page.id = id;
  page.width = kPageWidth;
  page.height = kPageHeight;
  page.caption = EnglishText(kTitleText);
  page.font.face = "MS Sans Serif";
  page.font.pointSize = 8;
  page.backgroundPicture = kPagePicture;
  if (withHeader) {
    page.controls.push_back(Label(kHeaderId, kHeaderRect));
  }
  return page;
}

ControlTemplate ArrowButton(Arrow arrow) {
  // The arrow's slot on the row is its place in kArrowButtons, 0 the leftmost.
  const int slot = static_cast<int>(arrow);
  const ArrowButtonIds& ids = kArrowButtons[static_cast<std::size_t>(slot)];
  const int left = kRight - (4 - slot) * kArrowWidth - (3 - slot) * kArrowGap;
  ControlTemplate button =
      Make(ids.control, ControlKind::kArrowButton,
           RectAt(left, kArrowTop, kArrowWidth, kArrowHeight), {}, kFocusable | style::kNotify);
  button.picture = ids.picture;
  button.pressedPicture = ids.pressedPicture;
  return button;
}

ControlTemplate Label(int id, Rect rect, std::string text, std::uint32_t bits) {
  return Make(id, ControlKind::kStaticText, rect, std::move(text), bits);
}

ControlTemplate Paragraph(int id, Rect rect, std::string text) {
  return Make(id, ControlKind::kStaticText, rect, std::move(text), style::kMultiLine);
}

ControlTemplate BigButton(int id, Rect rect, std::string text) {
  return Make(id, ControlKind::kBigButton, rect, std::move(text), kFocusable);
}

ControlTemplate PushButton(int id, Rect rect, std::string text, std::uint32_t bits) {
  return Make(id, ControlKind::kPushButton, rect, std::move(text), kFocusable | bits);
}

ControlTemplate Edit(int id, Rect rect, std::uint32_t bits) {
  return Make(id, ControlKind::kEdit, rect, {}, kFocusable | style::kBorder | bits);
}

ControlTemplate DropDown(int id, Rect rect, std::uint32_t bits) {
  return Make(id, ControlKind::kDropDownList, rect, {}, kFocusable | bits);
}

ControlTemplate CheckBox(int id, Rect rect, std::string text) {
  return Make(id, ControlKind::kCheckBox, rect, std::move(text), kFocusable);
}

ControlTemplate Radio(int id, Rect rect, std::string text, bool first) {
  return Make(id, ControlKind::kRadio, rect, std::move(text),
              style::kTabStop | (first ? style::kGroup : 0U));
}

ControlTemplate Picture(int id, Rect rect, int picture) {
  ControlTemplate control = Make(id, ControlKind::kPicture, rect, {}, 0);
  control.picture = picture;
  return control;
}

ControlTemplate GroupBox(int id, Rect rect, std::string text) {
  return Make(id, ControlKind::kGroupBox, rect, std::move(text), 0);
}

ControlTemplate ProgressBar(int id, Rect rect) {
  return Make(id, ControlKind::kProgressBar, rect, {}, style::kBorder);
}

ControlTemplate Trackbar(int id, Rect rect) {
  return Make(id, ControlKind::kTrackbar, rect, {}, kFocusable);
}

ControlTemplate HorizontalLine(int id, int x, int y, int length) {
  return Make(id, ControlKind::kLine, RectAt(x, y, length, 1), {}, 0);
}

ControlTemplate VerticalLine(int id, int x, int y, int length) {
  return Make(id, ControlKind::kLine, RectAt(x, y, 1, length), {}, style::kVertical);
}

ControlTemplate With(ControlTemplate control, std::uint32_t bits) {
  control.style |= bits;
  return control;
}

ControlTemplate Hidden(ControlTemplate control) { return With(std::move(control), style::kHidden); }

}  // namespace norix::resources::dialogs::layout
