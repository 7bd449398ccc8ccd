// The one place where the page modules hand their page procedures to the
// page table.
#pragma once

namespace norix::shell {
class PageTable;
}

namespace norix::app {

// Registers every page module's procedures. Rows no module has registered
// keep the table's own procedures (a page with the frame only).
void RegisterPages(shell::PageTable& pages);

}  // namespace norix::app
