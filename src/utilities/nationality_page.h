// The nationality page (page index 3, dialog 108): reads the countries the
// product supports and its current one, offers them in a list with the
// shown country's flag, and writes the chosen country to the product.
#pragma once

#include "shell/page_table.h"
#include "utilities/settings_menus.h"

namespace norix::utilities {

// Control ids of dialog 108.
inline constexpr int kNationalityTextId = 1072;
inline constexpr int kCountryListId = 1023;
inline constexpr int kFlagPictureId = 1025;

// Registers the page's procedure in row kNationalityPage (3). OK and 'X' go
// back to the settings menu of the product kind (SettingsPageFor).
void RegisterNationalityPage(shell::PageTable& pages);

}  // namespace norix::utilities
