// The wizard's pages by index: each row a dialog template and the page
// procedure. The page modules register their procedures into the table
// before the navigator runs; it is only read while pages run.
#pragma once

#include <array>
#include <cstdint>

#include "platform/window/messages.h"
#include "resources/resource_ids.h"
#include "shell/page_messages.h"

namespace norix::shell {

struct PageRow {
  std::uint16_t templateId = 0;
  platform::window::DialogProc procedure;
};

class PageTable {
 public:
  // All 24 rows with their templates. Rows 2, 4 and 23 carry their own
  // procedures (pages that nobody asks for); every other row starts with
  // PlainPageProcedure until its page module registers the real one.
  PageTable();

  // Replaces the procedure of a row; false for an index outside 0-23 or an
  // empty procedure.
  bool Register(int index, platform::window::DialogProc procedure);

  // Null for an index outside 0-23.
  [[nodiscard]] const PageRow* Row(int index) const;

 private:
  std::array<PageRow, resources::kPageCount> rows_;
};

// Rows 2 and 4: handles no message at all.
platform::window::LRESULT IgnoreEveryMessage(platform::window::HWND page, UINT message,
                                             platform::window::WPARAM wParam,
                                             platform::window::LPARAM lParam);
// Row 23: reports every message as handled.
platform::window::LRESULT HandleEveryMessage(platform::window::HWND page, UINT message,
                                             platform::window::WPARAM wParam,
                                             platform::window::LPARAM lParam);
// A page with the frame only: the common handling, the common set-up
// without texts, page ready at the end of its set-up, and Esc quits.
platform::window::LRESULT PlainPageProcedure(platform::window::HWND page, UINT message,
                                             platform::window::WPARAM wParam,
                                             platform::window::LPARAM lParam);

}  // namespace norix::shell
