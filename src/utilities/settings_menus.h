// The three settings menus, one per product kind: analogue modems (page
// index 6, template 109), solano adapters (7, template 126) and the KOMET II
// (8, template 147). Each only branches to the pages that configure the
// product; the KOMET II menu remembers the item last taken for the run.
#pragma once

#include <array>

#include "platform/window/messages.h"
#include "products/adapter_features.h"
#include "shell/page_chrome.h"
#include "shell/page_table.h"

namespace norix::utilities {

inline constexpr int kModemSettingsPage = 6;
inline constexpr int kSolanoSettingsPage = 7;
inline constexpr int kKometSettingsPage = 8;

// No page: a menu button that leads nowhere for this product.
inline constexpr int kNoPage = -2;

// Pages the menus lead to.
inline constexpr int kNationalityPage = 3;
inline constexpr int kAtCommandPage = 5;
inline constexpr int kMsnSettingPage = 9;
inline constexpr int kTelephoneSettingPage = 10;
inline constexpr int kKometMsnPage = 11;
inline constexpr int kKometLocalPage = 12;
inline constexpr int kProtocolsPage = 13;
inline constexpr int kProviderServicesPage = 15;

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
    {kCountryButton, 2022, 2126, kNationalityPage},
    {kMsnButton, 2075, 2076, kKometMsnPage},
    {kLocalRadio, 2210, 2209, kKometLocalPage},
    {kServicesRadio, 2244, 2245, kProviderServicesPage},
    {kDefaultSettingButton, 2026, 2127, kAtCommandPage},
    {kProtocolsRadio, 2226, 2227, kProtocolsPage},
}};

// The settings menu of the product kind: 8 for a KOMET II, 7 for another
// ISDN adapter, 6 for an analogue modem.
[[nodiscard]] int SettingsPageFor(const products::AdapterFeatures& features);

// Where "MSN Setting" of the solano menu leads: the Telephone setting page
// for an adapter with an analogue port, the MSN setting page for one with an
// internal modem or without internal hardware, kNoPage otherwise.
[[nodiscard]] int SolanoMsnPageFor(const products::AdapterFeatures& features);

platform::window::LRESULT ModemSettingsMenu(platform::window::HWND page,
                                            platform::window::UINT message,
                                            platform::window::WPARAM wParam,
                                            platform::window::LPARAM lParam);
platform::window::LRESULT SolanoSettingsMenu(platform::window::HWND page,
                                             platform::window::UINT message,
                                             platform::window::WPARAM wParam,
                                             platform::window::LPARAM lParam);
platform::window::LRESULT KometSettingsMenu(platform::window::HWND page,
                                            platform::window::UINT message,
                                            platform::window::WPARAM wParam,
                                            platform::window::LPARAM lParam);

void RegisterSettingsMenus(shell::PageTable& table);

}  // namespace norix::utilities
