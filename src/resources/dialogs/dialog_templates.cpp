#include "resources/dialogs/dialog_templates.h"

#include <utility>

#include "resources/dialogs/page_templates.h"

namespace norix::resources::dialogs {

std::vector<platform::window::DialogTemplate> DialogTemplates() {
  std::vector<platform::window::DialogTemplate> templates;
  templates.reserve(26);
  templates.push_back(ProductListTemplate());
  templates.push_back(MainMenuTemplate());
  templates.push_back(UnusedListsTemplate());
  templates.push_back(NationalityTemplate());
  templates.push_back(UnusedSliderTemplate());
  templates.push_back(AtCommandTemplate());
  templates.push_back(ModemSettingsTemplate());
  templates.push_back(SolanoSettingsTemplate());
  templates.push_back(KometSettingsTemplate());
  templates.push_back(MsnSettingTemplate());
  templates.push_back(TelephoneSettingTemplate());
  templates.push_back(KometMsnTemplate());
  templates.push_back(KometLocalTemplate());
  templates.push_back(ProtocolsTemplate());
  templates.push_back(ProtocolChoiceTemplate());
  templates.push_back(ProviderServicesTemplate());
  templates.push_back(ProductInformationTemplate());
  templates.push_back(UpgradeStartTemplate());
  templates.push_back(UpgradeChoosePartTemplate());
  templates.push_back(UpgradeOlderTemplate());
  templates.push_back(UpgradeSameTemplate());
  templates.push_back(UpgradeNewerTemplate());
  templates.push_back(UpgradeProgressTemplate());
  templates.push_back(UnusedEntryTemplate());
  templates.push_back(ModemModelPickerTemplate());
  templates.push_back(IsdnModelPickerTemplate());
  return templates;
}

void RegisterDialogTemplates(platform::window::TemplateRegistry& registry) {
  for (platform::window::DialogTemplate& dialog : DialogTemplates()) {
    // Fixed data, checked by the tests: Add refuses nothing here.
    static_cast<void>(registry.Add(std::move(dialog)));
  }
}

}  // namespace norix::resources::dialogs
