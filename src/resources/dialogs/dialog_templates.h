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

namespace norix::resources::dialogs {

// Page templates, by page.
inline constexpr int kMainMenuTemplate = 101;
inline constexpr int kProductListTemplate = 102;
inline constexpr int kAtCommandTemplate = 103;
inline constexpr int kUnusedListsTemplate = 105;   // page index 2: no page leads to it
inline constexpr int kUnusedSliderTemplate = 106;  // page index 4: no page leads to it
inline constexpr int kNationalityTemplate = 108;
inline constexpr int kModemSettingsTemplate = 109;
inline constexpr int kProductInformationTemplate = 111;
inline constexpr int kUpgradeStartTemplate = 112;
inline constexpr int kUpgradeOlderTemplate = 113;
inline constexpr int kUpgradeNewerTemplate = 114;
inline constexpr int kUpgradeSameTemplate = 115;
inline constexpr int kUpgradeProgressTemplate = 116;
inline constexpr int kSolanoSettingsTemplate = 126;
inline constexpr int kMsnSettingTemplate = 128;
inline constexpr int kTelephoneSettingTemplate = 129;
inline constexpr int kUpgradeChoosePartTemplate = 131;
inline constexpr int kKometMsnTemplate = 143;
inline constexpr int kKometLocalTemplate = 144;
inline constexpr int kKometSettingsTemplate = 147;
inline constexpr int kProtocolsTemplate = 148;
inline constexpr int kProtocolChoiceTemplate = 150;
inline constexpr int kUnusedEntryTemplate = 151;  // page index 23: no page leads to it
inline constexpr int kProviderServicesTemplate = 152;

// The model pickers of the upgrade: standard dialogs centred on their owner.
inline constexpr int kModemModelPickerTemplate = 117;
inline constexpr int kIsdnModelPickerTemplate = 122;

inline constexpr int kPageWidth = 302;  // dialog units
inline constexpr int kPageHeight = 201;
inline constexpr int kModemPickerWidth = 192;
inline constexpr int kModemPickerHeight = 95;
inline constexpr int kIsdnPickerWidth = 192;
inline constexpr int kIsdnPickerHeight = 101;

// Controls every page shares.
inline constexpr int kHeaderControl = 1027;  // product name in the header font
inline constexpr int kBackButton = 1014;     // '<'
inline constexpr int kNextButton = 1002;     // '>'
inline constexpr int kCancelButton = 1008;   // 'X'
inline constexpr int kOkButton = 1006;       // 'V'

// Pictures the templates name.
inline constexpr int kPagePicture = 120;
inline constexpr int kBackPicture = 123;
inline constexpr int kBackPressedPicture = 124;
inline constexpr int kNextPicture = 126;
inline constexpr int kNextPressedPicture = 128;
inline constexpr int kCancelPicture = 129;
inline constexpr int kCancelPressedPicture = 130;
inline constexpr int kOkPicture = 138;
inline constexpr int kOkPressedPicture = 139;

// Every template of the program, pages first, then the pickers.
[[nodiscard]] std::vector<platform::window::DialogTemplate> DialogTemplates();

// Adds every template to the registry. The templates are fixed data that the
// tests check with CheckTemplate, so none is refused.
void RegisterDialogTemplates(platform::window::TemplateRegistry& registry);

}  // namespace norix::resources::dialogs
