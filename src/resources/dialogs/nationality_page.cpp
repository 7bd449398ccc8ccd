// The nationality page.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

// The explanation, then the country list with the flag of the shown country
// beside it (no picture until the page knows the country).
DialogTemplate NationalityTemplate() {
  DialogTemplate page = Page(kNationalityTemplate);
  auto& c = page.controls;
  c.push_back(Paragraph(1072, RectAt(kLeft, kContentTop, kContentWidth, 2 * kLineHeight)));
  c.push_back(DropDown(1023, RectAt(kLeft, 52, 130, kFieldHeight)));
  // Centred on the list's field: 52 + 12 / 2 == 48 + 20 / 2.
  c.push_back(Picture(1025, RectAt(145, 48, 30, 20), 0));
  c.push_back(ArrowButton(Arrow::kCancel));
  c.push_back(ArrowButton(Arrow::kOk));
  return page;
}

}  // namespace norix::resources::dialogs
