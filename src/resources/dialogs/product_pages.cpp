// The product list and the main menu.

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

// The devices that could be opened, in a drop-down list. While the page
// checks them, a status line and a progress bar run in the status band;
// afterwards they are hidden and the help text and '>' appear. The page
// has no header: no product has been identified yet.
DialogTemplate ProductListTemplate() {
  DialogTemplate page = Page(kProductListTemplate, false);
  auto& c = page.controls;
  c.push_back(DropDown(1000, RectAt(kLeft, kContentTop, 200, kFieldHeight)));
  c.push_back(Hidden(Paragraph(1055, RectAt(kLeft, 44, kContentWidth, 2 * kLineHeight))));
  c.push_back(Label(1074, RectAt(kLeft, 172, 176, kLineHeight)));
  c.push_back(ProgressBar(1073, RectAt(kLeft, 184, 176, 10)));
  c.push_back(Hidden(ArrowButton(Arrow::kNext)));
  return page;
}

// Three tasks as big buttons in a column, each with its description beside
// it. The two status lines show while the single device is identified.
DialogTemplate MainMenuTemplate() {
  DialogTemplate page = Page(kMainMenuTemplate);
  auto& c = page.controls;
  constexpr int kButtons[] = {1004, 1045, 1001};       // Settings, Upgrade, Product information
  constexpr int kDescriptions[] = {1044, 1046, 1047};  // beside each
  for (int row = 0; row < 3; ++row) {
    const int top = 30 + row * 42;
    c.push_back(BigButton(kButtons[row], RectAt(kLeft, top, kBigButtonWidth, kBigButtonHeight)));
    c.push_back(Paragraph(kDescriptions[row], RectAt(kBesideBigButton, top + 1,
                                                     kBesideBigButtonWidth, 4 * kLineHeight)));
  }
  c.push_back(Label(1076, kStatusLine1));
  c.push_back(Label(1077, kStatusLine2));
  c.push_back(ArrowButton(Arrow::kBack));
  return page;
}

}  // namespace norix::resources::dialogs
