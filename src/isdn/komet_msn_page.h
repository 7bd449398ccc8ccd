// The MSN page of the KOMET II (kKometMsnPage): eight subscriber numbers,
// for each the sides that answer it (the data side "Adapter", the telephone
// ports TEL#1 and TEL#2) and the ringing type. The page reads the adapter
// before it shows its controls and writes back on OK.
#pragma once

#include <array>

#include "shell/page_table.h"

namespace norix::isdn {

// Controls of the KOMET II MSN template, by row (slot).
struct KometMsnRowIds {
  int field;
  int adapterBox;
  int tel1Box;
  int tel2Box;
  int ringing;
};
inline constexpr std::array<KometMsnRowIds, 8> kKometMsnRowIds{{
    {1044, 1047, 1081, 1054, 1090},
    {1045, 1049, 1082, 1062, 1091},
    {1050, 1060, 1083, 1063, 1092},
    {1052, 1061, 1084, 1066, 1093},
    {1046, 1056, 1085, 1058, 1094},
    {1048, 1057, 1086, 1068, 1095},
    {1053, 1064, 1087, 1069, 1096},
    {1055, 1067, 1088, 1070, 1097},
}};
// "Please wait..." while the page reads; the only control shown until then.
inline constexpr int kKometWaitTextId = 1074;

// The most digits the user can type into a number field.
inline constexpr int kKometNumberLimit = 20;

void RegisterKometMsnPage(shell::PageTable& pages);

}  // namespace norix::isdn
