// What the page procedures rely on in each template: the controls they
// address and their kinds, the arrow buttons, what starts hidden, the radio
// groups, the controls that never show together, and the texts each control
// is given at run time. Written down from the pages' descriptions, not from
// the templates, so that a template that drifts from them fails.
#pragma once

#include <initializer_list>
#include <set>
#include <vector>

#include "platform/window/dialog_template.h"

namespace norix::resources::dialogs::testing {

using platform::window::ControlKind;

struct ExpectedControls {
  int page;
  ControlKind kind;
  std::vector<int> ids;
};

inline const std::vector<ExpectedControls>& PageControls() {
  using K = ControlKind;
  static const std::vector<ExpectedControls> kControls = {
      // Product list.
      {102, K::kDropDownList, {1000}},
      {102, K::kArrowButton, {1002}},
      {102, K::kStaticText, {1055, 1074}},
      {102, K::kProgressBar, {1073}},
      // Main menu.
      {101, K::kArrowButton, {1014}},
      {101, K::kStaticText, {1027, 1044, 1046, 1047, 1076, 1077}},
      {101, K::kBigButton, {1004, 1045, 1001}},
      // AT command page.
      {103, K::kStaticText, {1027, 1071, 1053, 1054, 1069}},
      {103, K::kEdit, {1041}},
      {103, K::kBigButton, {1005}},
      {103, K::kArrowButton, {1014}},
      // Nationality.
      {108, K::kStaticText, {1027, 1072}},
      {108, K::kDropDownList, {1023}},
      {108, K::kPicture, {1025}},
      {108, K::kArrowButton, {1006, 1008}},
      // Settings menus.
      {109, K::kBigButton, {1021, 1068}},
      {109, K::kStaticText, {1027, 1056, 1057}},
      {109, K::kArrowButton, {1014}},
      {126, K::kBigButton, {1021, 1043, 1068}},
      {126, K::kStaticText, {1027, 1056, 1058, 1057}},
      {126, K::kArrowButton, {1014}},
      {147, K::kRadio, {1021, 1043, 1122, 1069, 1068, 1123}},
      {147, K::kStaticText, {1027, 1121, 1125}},
      {147, K::kArrowButton, {1002, 1014}},
      // MSN setting.
      {128, K::kStaticText, {1027, 1051, 1056, 1055, 1057, 1052}},
      {128, K::kEdit, {1044, 1045, 1050}},
      {128, K::kArrowButton, {1006, 1008}},
      // Telephone setting.
      {129, K::kStaticText, {1027, 1051, 1065, 1066, 1053, 1056, 1055, 1057, 1064}},
      {129, K::kEdit, {1044, 1045, 1050, 1052}},
      {129, K::kCheckBox, {1047, 1046, 1049, 1048, 1060, 1058, 1061, 1059}},
      {129, K::kArrowButton, {1006, 1008}},
      // KOMET II MSN page.
      {143, K::kEdit, {1044, 1045, 1050, 1052, 1046, 1048, 1053, 1055}},
      {143, K::kCheckBox, {1047, 1049, 1060, 1061, 1056, 1057, 1064, 1067}},  // Adapter
      {143, K::kCheckBox, {1081, 1082, 1083, 1084, 1085, 1086, 1087, 1088}},  // TEL#1
      {143, K::kCheckBox, {1054, 1062, 1063, 1066, 1058, 1068, 1069, 1070}},  // TEL#2
      {143, K::kDropDownList, {1090, 1091, 1092, 1093, 1094, 1095, 1096, 1097}},
      {143, K::kStaticText, {1027, 1051, 1065, 1079, 1080, 1089, 1117, 1074}},
      {143, K::kArrowButton, {1006, 1008}},
      // KOMET II local setting page.
      {144, K::kEdit, {1044, 1045, 1050, 1052, 1046, 1048}},
      {144, K::kRadio, {1098, 1099, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109}},
      {144, K::kDropDownList, {1090, 1091, 1092, 1093, 1094, 1095, 1116, 1117}},
      {144, K::kStaticText, {1027, 1115, 1079, 1080, 1089, 1082, 1074}},
      {144, K::kLine, {1184, 1185, 1186, 1187, 1188, 1189, 1190, 1191, 1192, 1193, 1194}},
      {144, K::kArrowButton, {1006, 1008}},
      // Protocols.
      {148, K::kRadio, {1127, 1126}},
      {148, K::kCheckBox, {1128, 1129}},
      {148, K::kEdit, {1133, 1132, 1136, 1131}},
      {148, K::kStaticText, {1027, 1163, 1164, 1165, 1166, 1167, 1168, 1146}},
      {148, K::kBigButton, {1143, 1148}},
      {148, K::kArrowButton, {1006, 1008}},
      // Protocol choice.
      {150, K::kRadio, {1147, 1134, 1144, 1137, 1139, 1141, 1129, 1126, 1127, 1145, 1149, 1151}},
      {150, K::kStaticText, {1027, 1146}},
      {150, K::kArrowButton, {1006, 1008}},
      // Provider services.
      {152, K::kDropDownList, {1154, 1155, 1157, 1160, 1156, 1158, 1161, 1169}},
      {152, K::kCheckBox, {1128, 1129, 1177, 1178}},
      {152, K::kEdit, {1131, 1159, 1132, 1162, 1171, 1140}},
      {152, K::kRadio, {1126, 1127, 1135, 1138}},
      {152,
       K::kStaticText,
       {1027, 1170, 1172, 1173, 1174, 1192, 1193, 1194, 1195, 1196, 1197, 1198, 1199, 1200, 1201,
        1146, 1074}},
      {152, K::kGroupBox, {1179}},
      {152, K::kArrowButton, {1006, 1008}},
      // Product information.
      {111,
       K::kStaticText,
       {1027, 1070, 1071, 1033, 1034, 1029, 1031, 1037, 1030, 1032, 1039, 1041, 1042, 1043, 1176}},
      {111, K::kBigButton, {1036}},
      {111, K::kArrowButton, {1014}},
      // Upgrade pages.
      {112, K::kStaticText, {1027, 1049, 1050, 1074, 1028}},
      {112, K::kArrowButton, {1002, 1014}},
      {131, K::kStaticText, {1027, 1049, 1050, 1051, 1073, 1029, 1074, 1075}},
      {131, K::kRadio, {1071, 1070}},
      {131, K::kArrowButton, {1002, 1014}},
      {113, K::kStaticText, {1027, 1061, 1062, 1063, 1074, 1028}},
      {113, K::kArrowButton, {1002, 1014, 1008}},
      {114, K::kStaticText, {1027, 1059, 1060, 1074, 1028}},
      {114, K::kArrowButton, {1002, 1008}},
      {115, K::kStaticText, {1027, 1076, 1078, 1077, 1074, 1028}},
      {115, K::kArrowButton, {1002, 1014, 1008}},
      {116, K::kStaticText, {1027, 1078, 1079, 1037, 1038, 1039}},
      {116, K::kProgressBar, {1036}},
      // Rows without a page: only their arrows are addressed.
      {151, K::kArrowButton, {1006, 1008}},
      // Model pickers.
      {117, K::kStaticText, {1030}},
      {117, K::kDropDownList, {1027}},
      {117, K::kPushButton, {1, 2}},
      {122, K::kStaticText, {1035}},
      {122, K::kDropDownList, {1036}},
      {122, K::kPushButton, {1}},
  };
  return kControls;
}

// The page templates of the page table, by page index 0 to 23.
inline constexpr int kPageTable[24] = {102, 101, 105, 108, 106, 103, 109, 126, 147, 128, 129, 143,
                                       144, 148, 150, 152, 111, 112, 131, 113, 115, 114, 116, 151};

struct Picker {
  int id;
  int width;
  int height;
};
inline constexpr Picker kPickers[] = {{117, 192, 95}, {122, 192, 101}};

// Pages whose procedure never runs the common page set-up, so nothing
// fills a header.
inline const std::set<int> kPagesWithoutHeader = {102, 105, 106, 151};

// Every arrow button of a page; a page has no others.
inline const std::vector<std::pair<int, std::set<int>>>& PageArrows() {
  static const std::vector<std::pair<int, std::set<int>>> kArrows = {
      {102, {1002}},
      {101, {1014}},
      {105, {}},
      {108, {1006, 1008}},
      {106, {}},
      {103, {1014}},
      {109, {1014}},
      {126, {1014}},
      {147, {1002, 1014}},
      {128, {1006, 1008}},
      {129, {1006, 1008}},
      {143, {1006, 1008}},
      {144, {1006, 1008}},
      {148, {1006, 1008}},
      {150, {1006, 1008}},
      {152, {1006, 1008}},
      {111, {1014}},
      {112, {1002, 1014}},
      {131, {1002, 1014}},
      {113, {1002, 1014, 1008}},
      {115, {1002, 1014, 1008}},
      {114, {1002, 1008}},
      {116, {}},
      {151, {1006, 1008}},
  };
  return kArrows;
}

// The controls that start hidden on pages that hide some before the page
// procedure runs; on every other page nothing starts hidden. The KOMET II
// number pages hide all but their status text (kAllBut1074).
inline constexpr int kAllBut1074 = -1;
inline const std::vector<std::pair<int, std::set<int>>>& StartHidden() {
  static const std::vector<std::pair<int, std::set<int>>> kHidden = {
      {102, {1055, 1002}},
      {143, {kAllBut1074}},
      {144, {kAllBut1074}},
      {148, {1143, 1148}},
      {152,
       {1154, 1128, 1179, 1006,
        // the controls of the five service groups
        1129, 1159, 1162, 1155, 1157, 1158, 1131, 1132, 1160, 1161, 1156, 1169, 1170, 1171, 1173,
        1172, 1126, 1135, 1127, 1138, 1140, 1174, 1177, 1178, 1192, 1193, 1194, 1195, 1196, 1197,
        1198, 1199, 1200, 1201}},
  };
  return kHidden;
}

// Sets of controls of one page that are never shown at the same time, so
// that they may share the page's area: the service groups of the provider
// services page, and the connector lines (with the second prefix box) of
// the two number lengths of the local setting page.
struct Alternatives {
  int page;
  std::vector<std::set<int>> sets;
};
inline const std::vector<Alternatives>& PageAlternatives() {
  static const std::vector<Alternatives> kAlternatives = {
      {152,
       {{1129, 1159, 1162, 1155, 1157, 1158, 1131, 1132, 1160, 1161, 1156},
        {1169, 1170, 1171},
        {1173, 1172, 1126, 1135, 1127, 1138, 1140, 1174},
        {1177, 1178},
        {1192, 1193, 1194, 1195, 1196, 1197, 1198, 1199, 1200, 1201}}},
      {144, {{1188, 1189, 1190, 1191, 1192, 1193, 1194}, {1184, 1185, 1186, 1187, 1117}}},
  };
  return kAlternatives;
}

// Radio groups: each page's radios, grouped as the pages use them.
inline const std::vector<std::pair<int, std::set<std::set<int>>>>& RadioGroups() {
  static const std::vector<std::pair<int, std::set<std::set<int>>>> kGroups = {
      {147, {{1123, 1122, 1043, 1068, 1021, 1069}}},
      {131, {{1071, 1070}}},
      {144, {{1098, 1099}, {1100, 1101}, {1102, 1103}, {1104, 1105}, {1106, 1107}, {1108, 1109}}},
      {148, {{1127, 1126}}},
      {150, {{1147, 1134, 1144, 1137, 1139, 1141, 1129, 1126, 1127, 1145, 1149, 1151}}},
      {152, {{1126, 1127}, {1135, 1138}}},
  };
  return kGroups;
}

// Texts a control is given at run time (string numbers), which must fit it.
struct RuntimeTexts {
  int page;
  int control;
  std::vector<int> texts;
};
inline const std::vector<RuntimeTexts>& ControlTexts() {
  static const std::vector<RuntimeTexts> kTexts = {
      {101, 1044, {2056}},
      {101, 1046, {2156}},
      {101, 1047, {2033}},
      {101, 1004, {2006}},
      {101, 1045, {2007}},
      {101, 1001, {2004}},
      {101, 1076, {2015}},
      {101, 1077, {2102}},
      {102, 1055, {2125}},
      {102, 1074, {2102}},
      {103, 1071, {2114}},
      {103, 1053, {2109}},
      {103, 1054, {2115}},
      {103, 1005, {2026}},
      {108, 1072, {2023}},
      {109, 1021, {2022}},
      {109, 1056, {2126}},
      {109, 1068, {2026}},
      {109, 1057, {2127}},
      {126, 1021, {2022}},
      {126, 1056, {2126}},
      {126, 1043, {2075}},
      {126, 1058, {2076}},
      {126, 1068, {2026}},
      {126, 1057, {2127}},
      {147, 1021, {2022}},
      {147, 1043, {2075}},
      {147, 1122, {2210}},
      {147, 1069, {2244}},
      {147, 1068, {2026}},
      {147, 1123, {2226}},
      {147, 1121, {2126, 2076, 2209, 2245, 2127, 2227}},
      {147, 1125, {2122}},
      {128, 1051, {2074}},
      {128, 1052, {2078}},
      {129, 1051, {2074}},
      {129, 1065, {2073}},
      {129, 1066, {2071}},
      {129, 1053, {2080}},
      {143, 1051, {2074}},
      {143, 1065, {2073}},
      {143, 1079, {2204}},
      {143, 1080, {2205}},
      {143, 1089, {2206}},
      {143, 1117, {2222}},
      {143, 1074, {2102}},
      {144, 1115, {2328, 2211}},
      {144, 1079, {2204}},
      {144, 1080, {2205}},
      {144, 1089, {2206}},
      {144, 1082, {2213}},
      {144, 1074, {2102}},
      {148, 1146, {2233, 2230, 2231, 2232, 2239, 2240, 2246, 2247, 2248, 2249}},
      {148, 1127, {2237}},
      {148, 1126, {2236}},
      {148, 1128, {2234}},
      {148, 1129, {2235}},
      {148, 1143, {2238}},
      {148, 1148, {2241}},
      {150, 1146, {2258, 2250, 2251, 2252, 2253, 2254, 2255, 2256, 2269}},
      {152, 1146, {2260, 2261, 2263, 2264, 2266, 2267, 2271, 2272, 2274, 2275, 2277, 2278,
                   2280, 2281, 2283, 2284, 2286, 2287, 2289, 2290, 2312, 2313, 2314, 2315,
                   2316, 2317, 2318, 2319, 2320, 2321, 2322, 2323, 2324, 2326, 2327}},
      {152, 1074, {2102, 2325}},
      {152, 1129, {2307, 2268}},
      {111, 1070, {2050}},
      {111, 1071, {2067}},
      {111, 1033, {2030}},
      {111, 1029, {2032}},
      {111, 1030, {2028}},
      {111, 1041, {2029}},
      {111, 1036, {2031}},
      {111, 1176, {2003}},
      {112, 1049, {2143}},
      {112, 1050, {2144}},
      {112, 1074, {2051, 2069}},
      {131, 1049, {2143}},
      {131, 1050, {2144}},
      {131, 1051, {2142}},
      {131, 1073, {2051}},
      {131, 1074, {2070}},
      {131, 1071, {2049}},
      {131, 1070, {2064}},
      {113, 1061, {2147}},
      {113, 1062, {2148}},
      {113, 1063, {2146}},
      {113, 1074, {2051, 2069}},
      {114, 1059, {2145}},
      {114, 1060, {2146}},
      {114, 1074, {2051, 2069}},
      {115, 1076, {2154, 2042}},
      {115, 1078, {2203}},
      {115, 1077, {2155}},
      {115, 1074, {2051, 2069}},
      {116, 1078, {2149}},
      {116, 1079, {2150}},
      {116, 1037, {2094, 2082, 2107, 2133, 2157, 2158, 2132, 2131, 2160, 2159, 2035, 2113}},
      {116, 1038, {2038}},
      {117, 1030, {2019}},
      {117, 1, {2093}},
      {117, 2, {2008}},
      {122, 1035, {2020}},
      {122, 1, {2093}},
  };
  return kTexts;
}

}  // namespace norix::resources::dialogs::testing
