// The settings menus of the three product kinds.

#include <span>

#include "resources/dialogs/page_layout.h"
#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

using namespace layout;

namespace {

struct MenuEntry {
  int button;
  int description;
};

// A column of big buttons with their descriptions beside them, and '<'.
DialogTemplate ButtonMenu(int id, std::span<const MenuEntry> entries) {
  DialogTemplate page = Page(id);
  int top = 30;
  for (const MenuEntry& entry : entries) {
    page.controls.push_back(
        BigButton(entry.button, RectAt(kLeft, top, kBigButtonWidth, kBigButtonHeight)));
    page.controls.push_back(
        Paragraph(entry.description,
                  RectAt(kBesideBigButton, top + 1, kBesideBigButtonWidth, 4 * kLineHeight)));
    top += 42;
  }
  page.controls.push_back(ArrowButton(Arrow::kBack));
  return page;
}

}  // namespace

// Country and Default Setting.
DialogTemplate ModemSettingsTemplate() {
  constexpr MenuEntry kEntries[] = {{1021, 1056}, {1068, 1057}};
  return ButtonMenu(kModemSettingsTemplate, kEntries);
}

// Country, MSN Setting and Default Setting.
DialogTemplate SolanoSettingsTemplate() {
  constexpr MenuEntry kEntries[] = {{1021, 1056}, {1043, 1058}, {1068, 1057}};
  return ButtonMenu(kSolanoSettingsTemplate, kEntries);
}

// Six radio buttons, one group, top to bottom Protocols, Local Setting, MSN
// Setting, Default Setting, Country, Provider services; the description of
// the item under the pointer (or the chosen one) beside them; '>' goes on.
DialogTemplate KometSettingsTemplate() {
  DialogTemplate page = Page(kKometSettingsTemplate);
  auto& c = page.controls;
  constexpr int kRadios[] = {1123, 1122, 1043, 1068, 1021, 1069};
  int top = 30;
  for (const int radio : kRadios) {
    c.push_back(Radio(radio, RectAt(kLeft, top, 110, kBoxHeight), {}, radio == kRadios[0]));
    top += 14;
  }
  c.push_back(Paragraph(1121, RectAt(125, 30, kRight - 125, 80)));
  c.push_back(Label(1125, kBandLine));
  c.push_back(ArrowButton(Arrow::kBack));
  c.push_back(ArrowButton(Arrow::kNext));
  return page;
}

}  // namespace norix::resources::dialogs
