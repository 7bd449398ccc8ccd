// The dialog templates of the program: the wizard pages (302 x 201 dialog
// units, page picture 120 behind them) and the two model pickers of the
// upgrade. Controls carry the numeric ids the page procedures address.
//
// Texts: a control whose text its page sets (through the text and button
// tables of the common page set-up, or at run time) is empty here; fixed
// labels that no page sets carry their English text, taken from the
// program's own string table where the text has a number there.
#pragma once

#include <vector>

#include "platform/window/dialog_template.h"
#include "platform/window/template_registry.h"
#include "resources/resource_ids.h"

namespace norix::resources::dialogs {

inline constexpr int kPageWidth = 302;  // dialog units
inline constexpr int kPageHeight = 201;
inline constexpr int kModemPickerWidth = 192;
inline constexpr int kModemPickerHeight = 95;
inline constexpr int kIsdnPickerWidth = 192;
inline constexpr int kIsdnPickerHeight = 101;

// Every template of the program, pages first, then the pickers.
[[nodiscard]] std::vector<platform::window::DialogTemplate> DialogTemplates();

// Adds every template to the registry. The templates are fixed data that the
// tests check with CheckTemplate, so none is refused.
void RegisterDialogTemplates(platform::window::TemplateRegistry& registry);

}  // namespace norix::resources::dialogs
