// The nationality page (kNationalityPage): reads the countries the
// product supports and its current one, offers them in a list with the
// shown country's flag, and writes the chosen country to the product.
#pragma once

#include "device/selected_product.h"
#include "shell/page_table.h"

namespace norix::utilities {

// Control ids of the nationality template.
inline constexpr int kNationalityTextId = 1072;
inline constexpr int kCountryListId = 1023;
inline constexpr int kFlagPictureId = 1025;

// OK and 'X' go back to the settings menu of the product kind
// (SettingsPageFor); OK after a modem upgrade to the main menu.
void RegisterNationalityPage(shell::PageTable& pages, device::SelectedProduct& product);

}  // namespace norix::utilities
