// The AT command and factory reset page.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace style = platform::window::ControlStyle;

// The explanation, the command entry and the reply beneath it, each with
// its label on the left, and "Default Setting" below.
DialogTemplate AtCommandTemplate() {
  DialogTemplate page = Page(kAtCommandTemplate);
  auto& c = page.controls;
  constexpr int kFieldLeft = 60;
  constexpr int kFieldWidth = kRight - kFieldLeft;
  c.push_back(Paragraph(1071, RectAt(kLeft, kContentTop, kContentWidth, 4 * kLineHeight)));
  c.push_back(Label(1053, RectAt(kLeft, 68, 50, kLineHeight)));
  c.push_back(Edit(1041, RectAt(kFieldLeft, 66, kFieldWidth, kFieldHeight)));
  c.push_back(Label(1054, RectAt(kLeft, 86, 50, kLineHeight)));
  // The reply sits in a sunken frame, so that it reads as the product's
  // answer rather than as a label.
  c.push_back(Label(1069, RectAt(kFieldLeft, 84, kFieldWidth, kFieldHeight), {}, style::kBorder));
  c.push_back(BigButton(1005, RectAt(kLeft, 110, kBigButtonWidth, kBigButtonHeight)));
  c.push_back(ArrowButton(Arrow::kBack));
  return page;
}

}  // namespace norix::resources::dialogs
