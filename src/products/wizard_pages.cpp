#include "products/wizard_pages.h"

namespace norix::products {

void RegisterWizardPages(shell::PageTable& table) {
  // Each page module adds its registration call here.
  static_cast<void>(table);
}

}  // namespace norix::products
