// The wizard's pages as the tests draw them: the template of each page
// index and the texts each page's set-up puts on it.
#pragma once

#include <array>

namespace norix::platform::qt::testing {

// The dialog template of each page index.
inline constexpr std::array<int, 24> kPageTemplates = {102, 101, 105, 108, 106, 103, 109, 126,
                                                       147, 128, 129, 143, 144, 148, 150, 152,
                                                       111, 112, 131, 113, 115, 114, 116, 151};

// The texts each page's set-up puts on its template, by page index:
// {control, string number} pairs of the program's own string table. Pages
// whose procedure is not built yet show the same texts as the built ones.
struct PageTextRow {
  int page;
  int control;
  int text;
};

// clang-format off
inline constexpr PageTextRow kPageTexts[] = {
    // product list: help below the list
    {0, 1055, 2125},
    // main menu: big buttons and their descriptions
    {1, 1004, 2006}, {1, 1045, 2007}, {1, 1001, 2004},
    {1, 1044, 2056}, {1, 1046, 2156}, {1, 1047, 2033},
    // nationality
    {3, 1072, 2023},
    // AT console
    {5, 1071, 2114}, {5, 1053, 2109}, {5, 1054, 2115}, {5, 1005, 2026},
    // modem settings
    {6, 1021, 2022}, {6, 1068, 2026}, {6, 1056, 2126}, {6, 1057, 2127},
    // solano settings
    {7, 1021, 2022}, {7, 1043, 2075}, {7, 1068, 2026},
    {7, 1056, 2126}, {7, 1058, 2076}, {7, 1057, 2127},
    // KOMET II settings: six radios, the description of the first, '>' help
    {8, 1123, 2226}, {8, 1122, 2210}, {8, 1043, 2075}, {8, 1068, 2026},
    {8, 1021, 2022}, {8, 1069, 2244}, {8, 1121, 2227}, {8, 1125, 2122},
    // MSN
    {9, 1051, 2074}, {9, 1052, 2078},
    // telephone
    {10, 1051, 2074}, {10, 1065, 2073}, {10, 1066, 2071}, {10, 1053, 2080},
    // KOMET II numbers
    {11, 1051, 2074}, {11, 1065, 2073}, {11, 1079, 2204}, {11, 1080, 2205},
    {11, 1089, 2206}, {11, 1117, 2222},
    // KOMET II local numbers, two-digit mode
    {12, 1115, 2328}, {12, 1082, 2213}, {12, 1079, 2204}, {12, 1080, 2205},
    {12, 1089, 2206},
    // protocols
    {13, 1127, 2237}, {13, 1126, 2236}, {13, 1128, 2234}, {13, 1129, 2235},
    // provider services
    {15, 1172, 2305}, {15, 1173, 2306}, {15, 1174, 2304}, {15, 1135, 2302},
    {15, 1138, 2303}, {15, 1126, 2302}, {15, 1127, 2303}, {15, 1128, 2490},
    {15, 1177, 2491}, {15, 1178, 2492}, {15, 1074, 2102},
    // product information
    {16, 1033, 2030}, {16, 1029, 2032},
    {16, 1030, 2028}, {16, 1041, 2029}, {16, 1036, 2031},
    // upgrade start
    {17, 1049, 2143}, {17, 1050, 2144}, {17, 1074, 2069},
    // choice of the part to upgrade
    {18, 1049, 2143}, {18, 1050, 2144}, {18, 1051, 2142},
    {18, 1073, 2051}, {18, 1074, 2070}, {18, 1071, 2049}, {18, 1070, 2064},
    // older version
    {19, 1061, 2147}, {19, 1062, 2148}, {19, 1063, 2146}, {19, 1074, 2069},
    // same version
    {20, 1076, 2154}, {20, 1078, 2203}, {20, 1077, 2155}, {20, 1074, 2069},
    // newer version
    {21, 1059, 2145}, {21, 1060, 2146}, {21, 1074, 2069},
    // progress
    {22, 1078, 2149}, {22, 1079, 2150},
};
// clang-format on

}  // namespace norix::platform::qt::testing
