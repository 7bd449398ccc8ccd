// The local setting page of the KOMET II (kKometLocalPage): six local
// telephone numbers by which the telephones reach each other, for each the
// port it rings and the ringing type, and the dial prefix of local calls,
// whose form on the adapter decides whether local numbers have two digits or
// one. The page reads the adapter before it shows its controls and writes
// back on OK.
#pragma once

#include <array>

#include "shell/page_table.h"

namespace norix::isdn {

// Controls of the local setting template, by row (slot). The two port
// choices of a row are a radio pair.
struct LocalRowIds {
  int field;
  int tel1;
  int tel2;
  int ringing;
};
inline constexpr std::array<LocalRowIds, 6> kLocalRowIds{{
    {1044, 1098, 1099, 1090},
    {1045, 1100, 1101, 1091},
    {1050, 1102, 1103, 1092},
    {1052, 1104, 1105, 1093},
    {1046, 1106, 1107, 1094},
    {1048, 1108, 1109, 1095},
}};
inline constexpr int kFirstPrefixId = 1116;
inline constexpr int kSecondPrefixId = 1117;  // one-digit mode only
inline constexpr int kLocalHeadingId = 1115;
inline constexpr int kLocalWaitTextId = 1074;
// Connector lines from the prefix boxes to the numbers, per mode.
inline constexpr int kFirstTwoDigitLine = 1188;
inline constexpr int kLastTwoDigitLine = 1194;
inline constexpr int kFirstOneDigitLine = 1184;
inline constexpr int kLastOneDigitLine = 1187;

void RegisterKometLocalPage(shell::PageTable& pages);

}  // namespace norix::isdn
