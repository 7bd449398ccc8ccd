#include "app/register_pages.h"

#include "app/program.h"
#include "isdn/komet_local_page.h"
#include "isdn/komet_msn_page.h"
#include "isdn/msn_setting_page.h"
#include "isdn/telephone_setting_page.h"
#include "products/main_menu_page.h"
#include "products/product_list_page.h"
#include "utilities/at_console.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"
#include "utilities/settings_menus.h"

namespace norix::app {

void RegisterPages(Program& program) {
  shell::PageTable& pages = program.frame.pages;
  products::RegisterProductListPage(pages, program.product);
  products::RegisterMainMenuPage(pages, program.product);
  utilities::RegisterSettingsMenus(pages, program.product, program.utilityPages);
  utilities::RegisterAtConsolePage(pages, program.product, program.utilityPages);
  utilities::RegisterNationalityPage(pages, program.product);
  utilities::RegisterProductInfoPage(pages, program.product, program.productInfo);
  isdn::RegisterMsnSettingPage(pages);
  isdn::RegisterTelephoneSettingPage(pages);
  isdn::RegisterKometMsnPage(pages);
  isdn::RegisterKometLocalPage(pages);
}

}  // namespace norix::app
