// The product list (kProductListPage): the first page when two or more
// devices of the maker are installed. It checks which of them can be
// opened now, offers those in a drop-down list and selects the one the user
// picks (continuing by itself when only one can be opened).
#pragma once

#include "device/selected_product.h"
#include "products/main_menu_page.h"
#include "shell/page_table.h"

namespace norix::products {

inline constexpr int kDeviceListControl = 1000;
inline constexpr int kListHelpControl = 1055;
inline constexpr int kListProgressControl = 1073;
inline constexpr int kListStatusControl = 1074;

inline constexpr int kListHelpText = 2125;  // "Select a NORIX product from the list above ..."

void RegisterProductListPage(shell::PageTable& table, device::SelectedProduct& product);

}  // namespace norix::products
