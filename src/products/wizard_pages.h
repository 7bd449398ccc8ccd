// The wizard's pages: every page module registers its page procedures into
// the program's page table here, before the navigator runs.
#pragma once

#include "shell/page_table.h"

namespace norix::products {

// Registers the procedure of every page that is built; the other rows keep
// the page table's plain page.
void RegisterWizardPages(shell::PageTable& table);

}  // namespace norix::products
