// The three settings menus, one per product kind: analogue modems
// (kModemSettingsPage), solano adapters (kSolanoSettingsPage) and the KOMET
// II (kKometSettingsPage). Each only branches to the pages that configure the
// product; the KOMET II menu remembers the item last taken for the run.
#pragma once

#include <array>

#include "device/selected_product.h"
#include "resources/resource_ids.h"
#include "shell/page_table.h"
#include "utilities/settings_menus_state.h"

namespace norix::utilities {

// No page: a menu button that leads nowhere for this product.
inline constexpr int kNoPage = -2;

// Controls.
inline constexpr int kCountryButton = 1021;
inline constexpr int kMsnButton = 1043;
inline constexpr int kDefaultSettingButton = 1068;
inline constexpr int kCountryDescription = 1056;
inline constexpr int kDefaultSettingDescription = 1057;
inline constexpr int kMsnDescription = 1058;
inline constexpr int kLocalRadio = 1122;
inline constexpr int kServicesRadio = 1069;
inline constexpr int kProtocolsRadio = 1123;
inline constexpr int kKometDescription = 1121;
inline constexpr int kKometContinueText = 1125;

// One item of the KOMET II menu, by position.
struct KometMenuItem {
  int radio;
  int label;        // text id of the radio
  int description;  // text id shown in 1121
  int page;         // where '>' leads
};

inline constexpr std::array<KometMenuItem, 6> kKometMenu{{
    {kCountryButton, 2022, 2126, resources::kNationalityPage},
    {kMsnButton, 2075, 2076, resources::kKometMsnPage},
    {kLocalRadio, 2210, 2209, resources::kKometLocalPage},
    {kServicesRadio, 2244, 2245, resources::kProviderServicesPage},
    {kDefaultSettingButton, 2026, 2127, resources::kAtCommandPage},
    {kProtocolsRadio, 2226, 2227, resources::kProtocolsPage},
}};

// Where "MSN Setting" of the solano menu leads: the Telephone setting page
// for an adapter with an analogue port, the MSN setting page for one with an
// internal modem or without internal hardware, kNoPage otherwise.
[[nodiscard]] int SolanoMsnPageFor(const device::AdapterFeatures& features);

void RegisterSettingsMenus(shell::PageTable& table, device::SelectedProduct& product,
                           UtilityPagesState& state);

}  // namespace norix::utilities
