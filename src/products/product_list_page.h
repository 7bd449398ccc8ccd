// The product list (page index 0, template 102): the first page when two or
// more devices of the maker are installed. It checks which of them can be
// opened now, offers those in a drop-down list and selects the one the user
// picks (continuing by itself when only one can be opened).
#pragma once

#include "platform/window/messages.h"
#include "products/main_menu_page.h"
#include "shell/page_table.h"

namespace norix::products {

inline constexpr int kDeviceListControl = 1000;
inline constexpr int kListHelpControl = 1055;
inline constexpr int kListProgressControl = 1073;
inline constexpr int kListStatusControl = 1074;

inline constexpr int kListHelpText = 2125;  // "Select a NORIX product from the list above ..."

platform::window::LRESULT ProductListPage(platform::window::HWND page,
                                          platform::window::UINT message,
                                          platform::window::WPARAM wParam,
                                          platform::window::LPARAM lParam);

void RegisterProductListPage(shell::PageTable& table);

}  // namespace norix::products
