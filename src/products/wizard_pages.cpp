#include "products/wizard_pages.h"

#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"

namespace norix::products {

void RegisterWizardPages(shell::PageTable& table) {
  // Each page module adds its registration call here.
  utilities::RegisterNationalityPage(table);
  utilities::RegisterProductInfoPage(table);
}

}  // namespace norix::products
