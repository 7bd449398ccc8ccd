#include "app/register_pages.h"

#include "shell/page_table.h"

namespace norix::app {

void RegisterPages(shell::PageTable& pages) {
  // PAGE MODULES REGISTER HERE, one call each, e.g.
  //   products::RegisterWizardPages(pages);   // src/products/wizard_pages.h
  // No page module exists in this build yet: every row keeps the table's
  // own procedure.
  static_cast<void>(pages);
}

}  // namespace norix::app
