// The nationality page (page index 3, dialog 108): reads the countries the
// product supports and its current one, offers them in a list with the
// shown country's flag, and writes the chosen country to the product.
#pragma once

#include "products/adapter_features.h"
#include "shell/page_table.h"

namespace norix::utilities {

inline constexpr int kNationalityPage = 3;

// Control ids of dialog 108.
inline constexpr int kNationalityTextId = 1072;
inline constexpr int kCountryListId = 1023;
inline constexpr int kFlagPictureId = 1025;

// The settings menu of the product kind: 6 for analogue modems, 8 for a
// KOMET II, 7 for the other ISDN adapters.
[[nodiscard]] int SettingsMenuPageOf(const products::AdapterFeatures& features);

// Registers the page's procedure in row 3.
void RegisterNationalityPage(shell::PageTable& pages);

}  // namespace norix::utilities
