#include "app/register_pages.h"

#include "products/wizard_pages.h"
#include "shell/page_table.h"

namespace norix::app {

void RegisterPages(shell::PageTable& pages) { products::RegisterWizardPages(pages); }

}  // namespace norix::app
