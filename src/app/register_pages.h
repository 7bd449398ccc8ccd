// The one place where the page modules hand their pages to the page table,
// each with the records of the program it works on.
#pragma once

namespace norix::app {

struct Program;

// Registers every page that is built into the program's page table. Rows no
// module has registered keep the table's own procedures (a page with the
// frame only).
void RegisterPages(Program& program);

}  // namespace norix::app
