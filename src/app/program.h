// The records of one run of the program, created by whoever runs it (the
// program's main, a test) and handed to the pages when they are registered:
// what every page shares through the shell, the selected product, and each
// subsystem's own records. Nothing of it is a global, so tests build as many
// independent programs as they like.
#pragma once

#include "device/selected_product.h"
#include "isdn/driver_init_store.h"
#include "isdn/protocol_settings.h"
#include "services/provider_service_records.h"
#include "shell/frame.h"
#include "upgrade/upgrade_state.h"
#include "utilities/product_info_record.h"
#include "utilities/settings_menus_state.h"

namespace norix::app {

// Later subsystems add their run-long records (upgrade state, provider
// service records, protocol flags, ...) as members.
struct Program {
  shell::Frame frame;
  device::SelectedProduct product;
  utilities::UtilityPagesState utilityPages;
  utilities::ProductInformation productInfo;
  services::ProviderServices providerServices;
  isdn::ProtocolSettings protocolSettings;
  isdn::InitStringStore initStringStore;
  upgrade::UpgradeState upgrade;
  upgrade::UpgradeHooks upgradeHooks;
};

}  // namespace norix::app
