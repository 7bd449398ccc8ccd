// The product information page.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

// A table: labels on the left, then two value columns (ISDN part and modem
// part of an adapter with internal modem; other products use the first
// alone). Product name and driver span both columns. "Test line" below,
// the program's name and version in the band by the arrows.
DialogTemplate ProductInformationTemplate() {
  DialogTemplate page = Page(kProductInformationTemplate);
  auto& c = page.controls;
  constexpr int kLabelWidth = 72;
  constexpr int kColumn1 = 84;
  constexpr int kColumn1Width = 100;
  constexpr int kColumn2 = 190;
  constexpr int kColumn2Width = kRight - kColumn2;
  constexpr int kBothColumnsWidth = kRight - kColumn1;

  const auto label = [](int id, int top) {
    return Label(id, RectAt(kLeft, top, kLabelWidth, kLineHeight));
  };
  const auto column1 = [](int id, int top) {
    return Label(id, RectAt(kColumn1, top, kColumn1Width, kLineHeight));
  };
  const auto column2 = [](int id, int top) {
    return Label(id, RectAt(kColumn2, top, kColumn2Width, kLineHeight));
  };
  const auto bothColumns = [](int id, int top) {
    return Label(id, RectAt(kColumn1, top, kBothColumnsWidth, kLineHeight));
  };

  c.push_back(column1(1070, 28));  // "ISDN component"
  c.push_back(column2(1071, 28));  // "Modem component"
  c.push_back(label(1033, 42));    // Product name
  c.push_back(bothColumns(1034, 42));
  c.push_back(label(1029, 56));  // Product release
  c.push_back(column1(1031, 56));
  c.push_back(column2(1037, 56));
  c.push_back(label(1030, 70));  // Date
  c.push_back(column1(1032, 70));
  c.push_back(column2(1039, 70));
  c.push_back(label(1041, 84));  // Driver: file, and its date beneath
  c.push_back(bothColumns(1042, 84));
  c.push_back(bothColumns(1043, 96));
  c.push_back(BigButton(1036, RectAt(kLeft, 120, kBigButtonWidth, kBigButtonHeight)));
  c.push_back(Label(1176, kBandLine));
  c.push_back(ArrowButton(Arrow::kBack));
  return page;
}

}  // namespace norix::resources::dialogs
