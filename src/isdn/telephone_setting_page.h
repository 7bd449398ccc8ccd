// The Telephone setting page (kTelephoneSettingPage) of a solano adapter
// with an analogue telephone port: up to four subscriber numbers, each
// ticked for the adapter's data side, its telephone port or both. Read when
// the page opens, written on OK (telephone_setting_plan.h says how rows
// become slots).
#pragma once

#include <array>

#include "shell/page_table.h"

namespace norix::isdn {

// Controls of the Telephone setting template, by row.
struct TelephoneRowIds {
  int label;
  int field;
  int adapterBox;
  int portBox;
};
inline constexpr std::array<TelephoneRowIds, 4> kTelephoneRowIds{{
    {1056, 1044, 1047, 1046},
    {1055, 1045, 1049, 1048},
    {1057, 1050, 1060, 1058},
    {1064, 1052, 1061, 1059},
}};
inline constexpr int kTelephoneAvailableTextId = 1051;
inline constexpr int kAdapterHeadingId = 1065;
inline constexpr int kPortHeadingId = 1066;
inline constexpr int kTelephoneWarningTextId = 1053;

// Each side carries at most this many numbers: the unticked boxes of a side
// are disabled while this many of its boxes are ticked.
inline constexpr int kSideLimit = 3;

void RegisterTelephoneSettingPage(shell::PageTable& pages);

}  // namespace norix::isdn
