#include "products/wizard_pages.h"

#include "products/main_menu_page.h"
#include "products/product_list_page.h"
#include "utilities/at_console.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"
#include "utilities/settings_menus.h"

namespace norix::products {

void RegisterWizardPages(shell::PageTable& table) {
  RegisterProductListPage(table);
  RegisterMainMenuPage(table);
  utilities::RegisterSettingsMenus(table);
  utilities::RegisterAtConsolePage(table);
  utilities::RegisterNationalityPage(table);
  utilities::RegisterProductInfoPage(table);
}

}  // namespace norix::products
