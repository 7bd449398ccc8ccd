// The MSN setting page (kMsnSettingPage) of a solano adapter without an
// analogue telephone port: up to three subscriber numbers of the adapter's
// data side, read when the page opens and written on OK.
#pragma once

#include <array>

#include "shell/page_table.h"

namespace norix::isdn {

// Firmware from V1.40 on reads its slots back and has three of them; older
// firmware has MSN#1 alone and reads nothing back.
inline constexpr int kMsnReadBackVersion = 140;

// Controls of the MSN setting template, by row: label and number field.
inline constexpr std::array<int, 3> kMsnLabelIds{1056, 1055, 1057};
inline constexpr std::array<int, 3> kMsnFieldIds{1044, 1045, 1050};
inline constexpr int kMsnAvailableTextId = 1051;
inline constexpr int kMsnWarningTextId = 1052;

// OK writes every number the page may write and goes back to the solano
// settings menu; 'X' goes back without writing.
void RegisterMsnSettingPage(shell::PageTable& pages);

}  // namespace norix::isdn
