#include "app/register_pages.h"

#include <filesystem>
#include <system_error>

#include "app/program.h"
#include "isdn/komet_local_page.h"
#include "isdn/komet_msn_page.h"
#include "isdn/msn_setting_page.h"
#include "isdn/protocol_choice_page.h"
#include "isdn/protocols_page.h"
#include "isdn/telephone_setting_page.h"
#include "products/main_menu_page.h"
#include "products/parse_identification.h"
#include "products/product_catalogue.h"
#include "products/product_list_page.h"
#include "services/provider_services_page.h"
#include "upgrade/isdn_worker.h"
#include "upgrade/upgrade_pages.h"
#include "utilities/at_console.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"
#include "utilities/settings_menus.h"

namespace norix::app {

namespace {

// The folder of the running program: where the upgrade file dialog opens the
// first time.
std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path(error).string() : self.parent_path().string();
}

// What the upgrade needs of the product subsystem.
void ConnectUpgrade(Program& program) {
  upgrade::UpgradeHooks& hooks = program.upgradeHooks;
  hooks.lookupUpgradeKind = [](std::string_view name) { return products::LookupUpgradeKind(name); };
  hooks.parseIdentification = [](std::string_view ident, link::ModemContext& context) {
    products::ParseIdentification(ident, context);
  };
  hooks.isdnWorker = [](const upgrade::IsdnWorkerJob& job, upgrade::UpgradeView& view,
                        upgrade::TransferClock& clock) {
    return upgrade::RunIsdnWorker(job, view, clock);
  };
  if (program.upgrade.programFolder.empty()) {
    program.upgrade.programFolder = ProgramFolder();
  }
  program.product.upgradeStart = [&program](platform::window::HWND page) {
    return upgrade::StartUpgradeOnPage(program.frame, page, program.product, program.upgrade,
                                       program.upgradeHooks);
  };
}

}  // namespace

void RegisterPages(Program& program) {
  ConnectUpgrade(program);
  shell::PageTable& pages = program.frame.pages;
  products::RegisterProductListPage(pages, program.product);
  products::RegisterMainMenuPage(pages, program.product);
  utilities::RegisterSettingsMenus(pages, program.product, program.utilityPages);
  utilities::RegisterAtConsolePage(pages, program.product, program.utilityPages);
  utilities::RegisterNationalityPage(pages, program.product);
  utilities::RegisterProductInfoPage(pages, program.product, program.productInfo,
                                     program.utilityPages.lineTestClock);
  services::RegisterProviderServicesPage(pages, program.providerServices);
  isdn::RegisterProtocolsPage(pages, program.product, program.protocolSettings,
                              program.initStringStore);
  isdn::RegisterProtocolChoicePage(pages, program.product, program.protocolSettings);
  isdn::RegisterMsnSettingPage(pages);
  isdn::RegisterTelephoneSettingPage(pages);
  isdn::RegisterKometMsnPage(pages);
  isdn::RegisterKometLocalPage(pages);
  upgrade::RegisterUpgradePages(pages, program.product, program.upgrade, program.upgradeHooks);
}

}  // namespace norix::app
