// Three pages that the page table holds but no page leads to. Their
// procedures give them no behaviour, so nothing addresses their controls;
// the controls' ids are our own and only need to be distinct.

#include "platform/window/messages.h"
#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

// Three drop-down lists, a check box, and OK, Cancel and Exit buttons.
DialogTemplate UnusedListsTemplate() {
  DialogTemplate page = Page(kUnusedListsTemplate, false);
  auto& c = page.controls;
  for (int row = 0; row < 3; ++row) {
    c.push_back(DropDown(1301 + row, RectAt(kLeft, kContentTop + row * 18, 150, kFieldHeight)));
  }
  c.push_back(CheckBox(1304, RectAt(kLeft, 84, 150, kBoxHeight)));
  const int top = kPageHeight - kMargin - 14;
  c.push_back(PushButton(platform::window::IDOK, RectAt(127, top, 50, 14), "OK",
                         platform::window::ControlStyle::kDefault));
  c.push_back(PushButton(platform::window::IDCANCEL, RectAt(186, top, 50, 14), "Cancel"));
  c.push_back(PushButton(1305, RectAt(245, top, 50, 14), "Exit"));
  return page;
}

// A slider with its value text and a "Try Setting" button.
DialogTemplate UnusedSliderTemplate() {
  DialogTemplate page = Page(kUnusedSliderTemplate, false);
  auto& c = page.controls;
  c.push_back(Trackbar(1311, RectAt(kLeft, kContentTop, 200, 20)));
  c.push_back(Label(1312, RectAt(215, kContentTop + 6, 20, kLineHeight), "12"));
  c.push_back(PushButton(1313, RectAt(kLeft, 56, 60, 14), "Try Setting"));
  return page;
}

// An explanation text and one edit field, with V and X.
DialogTemplate UnusedEntryTemplate() {
  DialogTemplate page = Page(kUnusedEntryTemplate, false);
  auto& c = page.controls;
  c.push_back(Paragraph(1321, RectAt(kLeft, kContentTop, kContentWidth, 4 * kLineHeight)));
  c.push_back(Edit(1322, RectAt(kLeft, 64, 150, kFieldHeight)));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  return page;
}

}  // namespace norix::resources::dialogs
