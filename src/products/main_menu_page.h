// The main menu (kMainMenuPage): Settings, Upgrade and Product
// information for the selected product. With a single device it is the
// first page and identifies that device itself the first time it shows.
#pragma once

#include "device/selected_product.h"
#include "shell/page_table.h"

namespace norix::products {

inline constexpr int kSettingsButton = 1004;
inline constexpr int kUpgradeButton = 1045;
inline constexpr int kProductInformationButton = 1001;
inline constexpr int kSettingsDescription = 1044;
inline constexpr int kUpgradeDescription = 1046;
inline constexpr int kProductInformationDescription = 1047;
inline constexpr int kMenuStatusLine1 = 1076;
inline constexpr int kMenuStatusLine2 = 1077;

inline constexpr int kLookingForProductsText = 2015;  // "Looking for NORIX products"
inline constexpr int kPleaseWaitText = 2102;          // "Please wait..."

void RegisterMainMenuPage(shell::PageTable& table, device::SelectedProduct& product);

}  // namespace norix::products
