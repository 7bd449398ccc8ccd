// The builders of the single templates, one per page or picker, gathered by
// DialogTemplates().
#pragma once

#include "platform/window/dialog_template.h"

namespace norix::resources::dialogs {

using platform::window::DialogTemplate;

// product_pages.cpp
[[nodiscard]] DialogTemplate ProductListTemplate();
[[nodiscard]] DialogTemplate MainMenuTemplate();

// settings_menus.cpp
[[nodiscard]] DialogTemplate ModemSettingsTemplate();
[[nodiscard]] DialogTemplate SolanoSettingsTemplate();
[[nodiscard]] DialogTemplate KometSettingsTemplate();

// unused_pages.cpp
[[nodiscard]] DialogTemplate UnusedListsTemplate();
[[nodiscard]] DialogTemplate UnusedSliderTemplate();
[[nodiscard]] DialogTemplate UnusedEntryTemplate();

// nationality_page.cpp
[[nodiscard]] DialogTemplate NationalityTemplate();

// at_command_page.cpp
[[nodiscard]] DialogTemplate AtCommandTemplate();

// product_information_page.cpp
[[nodiscard]] DialogTemplate ProductInformationTemplate();

// upgrade_pages.cpp
[[nodiscard]] DialogTemplate UpgradeStartTemplate();
[[nodiscard]] DialogTemplate UpgradeChoosePartTemplate();
[[nodiscard]] DialogTemplate UpgradeOlderTemplate();
[[nodiscard]] DialogTemplate UpgradeSameTemplate();
[[nodiscard]] DialogTemplate UpgradeNewerTemplate();
[[nodiscard]] DialogTemplate UpgradeProgressTemplate();

// model_pickers.cpp
[[nodiscard]] DialogTemplate ModemModelPickerTemplate();
[[nodiscard]] DialogTemplate IsdnModelPickerTemplate();

// msn_pages.cpp
[[nodiscard]] DialogTemplate MsnSettingTemplate();
[[nodiscard]] DialogTemplate TelephoneSettingTemplate();

// komet_number_pages.cpp
[[nodiscard]] DialogTemplate KometMsnTemplate();
[[nodiscard]] DialogTemplate KometLocalTemplate();

// protocol_pages.cpp
[[nodiscard]] DialogTemplate ProtocolsTemplate();
[[nodiscard]] DialogTemplate ProtocolChoiceTemplate();

// provider_services_page.cpp
[[nodiscard]] DialogTemplate ProviderServicesTemplate();

}  // namespace norix::resources::dialogs
