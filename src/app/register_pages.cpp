#include "app/register_pages.h"

#include "products/wizard_pages.h"
#include "shell/page_table.h"

namespace norix::app {

void RegisterPages(shell::PageTable& pages) {
  // Every page module registers through the wizard's pages; the rows of
  // pages not built yet keep the table's own procedure.
  products::RegisterWizardPages(pages);
}

}  // namespace norix::app
