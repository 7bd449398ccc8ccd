// The pages, controls and product names the tours of the program work
// with, named once for all of them. A namespace of their own, so that the
// tour machinery's inline code reads the same in every test that uses it.
#pragma once

#include <string>

#include "products/main_menu_page.h"
#include "products/product_list_page.h"
#include "resources/resource_ids.h"
#include "utilities/at_console.h"
#include "utilities/nationality_page.h"
#include "utilities/product_info_page.h"
#include "utilities/settings_menus.h"

namespace norix::app::tour_ids {

using namespace norix::resources;
using products::kDeviceListControl;
using products::kProductInformationButton;
using products::kSettingsButton;
using products::kUpgradeButton;
using utilities::kCommandEntry;
using utilities::kCountryButton;
using utilities::kCountryListId;
using utilities::kDefaultSettingButton;
using utilities::kKometDescription;
using utilities::kLocalRadio;
using utilities::kMsnButton;
using utilities::kReplyText;
using utilities::kTestLineId;

// The simulated modem of the tours, as the main menu names it and as it
// identifies itself.
inline const std::string kModemName = "NORIX Netrunner 56000 Voice ";
inline const std::string kModemIdentification = "NORIX Netrunner 56000 Voice V1.10";

}  // namespace norix::app::tour_ids
