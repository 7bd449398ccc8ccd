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
#include "resources/resource_ids.h"

namespace norix::resources::dialogs::testing {

namespace R = norix::resources;

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
      {R::kProductListTemplate, K::kDropDownList, {1000}},
      {R::kProductListTemplate, K::kArrowButton, {1002}},
      {R::kProductListTemplate, K::kStaticText, {1055, 1074}},
      {R::kProductListTemplate, K::kProgressBar, {1073}},
      // Main menu.
      {R::kMainMenuTemplate, K::kArrowButton, {1014}},
      {R::kMainMenuTemplate, K::kStaticText, {1027, 1044, 1046, 1047, 1076, 1077}},
      {R::kMainMenuTemplate, K::kBigButton, {1004, 1045, 1001}},
      // AT command page.
      {R::kAtCommandTemplate, K::kStaticText, {1027, 1071, 1053, 1054, 1069}},
      {R::kAtCommandTemplate, K::kEdit, {1041}},
      {R::kAtCommandTemplate, K::kBigButton, {1005}},
      {R::kAtCommandTemplate, K::kArrowButton, {1014}},
      // Nationality.
      {R::kNationalityTemplate, K::kStaticText, {1027, 1072}},
      {R::kNationalityTemplate, K::kDropDownList, {1023}},
      {R::kNationalityTemplate, K::kPicture, {1025}},
      {R::kNationalityTemplate, K::kArrowButton, {1006, 1008}},
      // Settings menus.
      {R::kModemSettingsTemplate, K::kBigButton, {1021, 1068}},
      {R::kModemSettingsTemplate, K::kStaticText, {1027, 1056, 1057}},
      {R::kModemSettingsTemplate, K::kArrowButton, {1014}},
      {R::kSolanoSettingsTemplate, K::kBigButton, {1021, 1043, 1068}},
      {R::kSolanoSettingsTemplate, K::kStaticText, {1027, 1056, 1058, 1057}},
      {R::kSolanoSettingsTemplate, K::kArrowButton, {1014}},
      {R::kKometSettingsTemplate, K::kRadio, {1021, 1043, 1122, 1069, 1068, 1123}},
      {R::kKometSettingsTemplate, K::kStaticText, {1027, 1121, 1125}},
      {R::kKometSettingsTemplate, K::kArrowButton, {1002, 1014}},
      // MSN setting.
      {R::kMsnSettingTemplate, K::kStaticText, {1027, 1051, 1056, 1055, 1057, 1052}},
      {R::kMsnSettingTemplate, K::kEdit, {1044, 1045, 1050}},
      {R::kMsnSettingTemplate, K::kArrowButton, {1006, 1008}},
      // Telephone setting.
      {R::kTelephoneSettingTemplate,
       K::kStaticText,
       {1027, 1051, 1065, 1066, 1053, 1056, 1055, 1057, 1064}},
      {R::kTelephoneSettingTemplate, K::kEdit, {1044, 1045, 1050, 1052}},
      {R::kTelephoneSettingTemplate,
       K::kCheckBox,
       {1047, 1046, 1049, 1048, 1060, 1058, 1061, 1059}},
      {R::kTelephoneSettingTemplate, K::kArrowButton, {1006, 1008}},
      // KOMET II MSN page.
      {R::kKometMsnTemplate, K::kEdit, {1044, 1045, 1050, 1052, 1046, 1048, 1053, 1055}},
      {R::kKometMsnTemplate,
       K::kCheckBox,
       {1047, 1049, 1060, 1061, 1056, 1057, 1064, 1067}},  // Adapter
      {R::kKometMsnTemplate,
       K::kCheckBox,
       {1081, 1082, 1083, 1084, 1085, 1086, 1087, 1088}},  // TEL#1
      {R::kKometMsnTemplate,
       K::kCheckBox,
       {1054, 1062, 1063, 1066, 1058, 1068, 1069, 1070}},  // TEL#2
      {R::kKometMsnTemplate, K::kDropDownList, {1090, 1091, 1092, 1093, 1094, 1095, 1096, 1097}},
      {R::kKometMsnTemplate, K::kStaticText, {1027, 1051, 1065, 1079, 1080, 1089, 1117, 1074}},
      {R::kKometMsnTemplate, K::kArrowButton, {1006, 1008}},
      // KOMET II local setting page.
      {R::kKometLocalTemplate, K::kEdit, {1044, 1045, 1050, 1052, 1046, 1048}},
      {R::kKometLocalTemplate,
       K::kRadio,
       {1098, 1099, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109}},
      {R::kKometLocalTemplate, K::kDropDownList, {1090, 1091, 1092, 1093, 1094, 1095, 1116, 1117}},
      {R::kKometLocalTemplate, K::kStaticText, {1027, 1115, 1079, 1080, 1089, 1082, 1074}},
      {R::kKometLocalTemplate,
       K::kLine,
       {1184, 1185, 1186, 1187, 1188, 1189, 1190, 1191, 1192, 1193, 1194}},
      {R::kKometLocalTemplate, K::kArrowButton, {1006, 1008}},
      // Protocols.
      {R::kProtocolsTemplate, K::kRadio, {1127, 1126}},
      {R::kProtocolsTemplate, K::kCheckBox, {1128, 1129}},
      {R::kProtocolsTemplate, K::kEdit, {1133, 1132, 1136, 1131}},
      {R::kProtocolsTemplate, K::kStaticText, {1027, 1163, 1164, 1165, 1166, 1167, 1168, 1146}},
      {R::kProtocolsTemplate, K::kBigButton, {1143, 1148}},
      {R::kProtocolsTemplate, K::kArrowButton, {1006, 1008}},
      // Protocol choice.
      {R::kProtocolChoiceTemplate,
       K::kRadio,
       {1147, 1134, 1144, 1137, 1139, 1141, 1129, 1126, 1127, 1145, 1149, 1151}},
      {R::kProtocolChoiceTemplate, K::kStaticText, {1027, 1146}},
      {R::kProtocolChoiceTemplate, K::kArrowButton, {1006, 1008}},
      // Provider services.
      {R::kProviderServicesTemplate,
       K::kDropDownList,
       {1154, 1155, 1157, 1160, 1156, 1158, 1161, 1169}},
      {R::kProviderServicesTemplate, K::kCheckBox, {1128, 1129, 1177, 1178}},
      {R::kProviderServicesTemplate, K::kEdit, {1131, 1159, 1132, 1162, 1171, 1140}},
      {R::kProviderServicesTemplate, K::kRadio, {1126, 1127, 1135, 1138}},
      {R::kProviderServicesTemplate,
       K::kStaticText,
       {1027, 1170, 1172, 1173, 1174, 1192, 1193, 1194, 1195, 1196, 1197, 1198, 1199, 1200, 1201,
        1146, 1074}},
      {R::kProviderServicesTemplate, K::kGroupBox, {1179}},
      {R::kProviderServicesTemplate, K::kArrowButton, {1006, 1008}},
      // Product information.
      {R::kProductInformationTemplate,
       K::kStaticText,
       {1027, 1070, 1071, 1033, 1034, 1029, 1031, 1037, 1030, 1032, 1039, 1041, 1042, 1043, 1176}},
      {R::kProductInformationTemplate, K::kBigButton, {1036}},
      {R::kProductInformationTemplate, K::kArrowButton, {1014}},
      // Upgrade pages.
      {R::kUpgradeStartTemplate, K::kStaticText, {1027, 1049, 1050, 1074, 1028}},
      {R::kUpgradeStartTemplate, K::kArrowButton, {1002, 1014}},
      {R::kUpgradeChoosePartTemplate,
       K::kStaticText,
       {1027, 1049, 1050, 1051, 1073, 1029, 1074, 1075}},
      {R::kUpgradeChoosePartTemplate, K::kRadio, {1071, 1070}},
      {R::kUpgradeChoosePartTemplate, K::kArrowButton, {1002, 1014}},
      {R::kUpgradeOlderTemplate, K::kStaticText, {1027, 1061, 1062, 1063, 1074, 1028}},
      {R::kUpgradeOlderTemplate, K::kArrowButton, {1002, 1014, 1008}},
      {R::kUpgradeNewerTemplate, K::kStaticText, {1027, 1059, 1060, 1074, 1028}},
      {R::kUpgradeNewerTemplate, K::kArrowButton, {1002, 1008}},
      {R::kUpgradeSameTemplate, K::kStaticText, {1027, 1076, 1078, 1077, 1074, 1028}},
      {R::kUpgradeSameTemplate, K::kArrowButton, {1002, 1014, 1008}},
      {R::kUpgradeProgressTemplate, K::kStaticText, {1027, 1078, 1079, 1037, 1038, 1039}},
      {R::kUpgradeProgressTemplate, K::kProgressBar, {1036}},
      // Rows without a page: only their arrows are addressed.
      {R::kUnusedEntryTemplate, K::kArrowButton, {1006, 1008}},
      // Model pickers.
      {R::kModemModelPickerTemplate, K::kStaticText, {1030}},
      {R::kModemModelPickerTemplate, K::kDropDownList, {1027}},
      {R::kModemModelPickerTemplate, K::kPushButton, {1, 2}},
      {R::kIsdnModelPickerTemplate, K::kStaticText, {1035}},
      {R::kIsdnModelPickerTemplate, K::kDropDownList, {1036}},
      {R::kIsdnModelPickerTemplate, K::kPushButton, {1}},
  };
  return kControls;
}

// The page templates of the page table, by page index 0 to 23.
inline constexpr int kPageTable[24] = {
    R::kProductListTemplate,       R::kMainMenuTemplate,           R::kUnusedListsTemplate,
    R::kNationalityTemplate,       R::kUnusedSliderTemplate,       R::kAtCommandTemplate,
    R::kModemSettingsTemplate,     R::kSolanoSettingsTemplate,     R::kKometSettingsTemplate,
    R::kMsnSettingTemplate,        R::kTelephoneSettingTemplate,   R::kKometMsnTemplate,
    R::kKometLocalTemplate,        R::kProtocolsTemplate,          R::kProtocolChoiceTemplate,
    R::kProviderServicesTemplate,  R::kProductInformationTemplate, R::kUpgradeStartTemplate,
    R::kUpgradeChoosePartTemplate, R::kUpgradeOlderTemplate,       R::kUpgradeSameTemplate,
    R::kUpgradeNewerTemplate,      R::kUpgradeProgressTemplate,    R::kUnusedEntryTemplate};

struct Picker {
  int id;
  int width;
  int height;
};
inline constexpr Picker kPickers[] = {{R::kModemModelPickerTemplate, 192, 95},
                                      {R::kIsdnModelPickerTemplate, 192, 101}};

// Pages whose procedure never runs the common page set-up, so nothing
// fills a header.
inline const std::set<int> kPagesWithoutHeader = {R::kProductListTemplate, R::kUnusedListsTemplate,
                                                  R::kUnusedSliderTemplate,
                                                  R::kUnusedEntryTemplate};

// Every arrow button of a page; a page has no others.
inline const std::vector<std::pair<int, std::set<int>>>& PageArrows() {
  static const std::vector<std::pair<int, std::set<int>>> kArrows = {
      {R::kProductListTemplate, {R::kNextArrowId}},
      {R::kMainMenuTemplate, {R::kBackArrowId}},
      {R::kUnusedListsTemplate, {}},
      {R::kNationalityTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kUnusedSliderTemplate, {}},
      {R::kAtCommandTemplate, {R::kBackArrowId}},
      {R::kModemSettingsTemplate, {R::kBackArrowId}},
      {R::kSolanoSettingsTemplate, {R::kBackArrowId}},
      {R::kKometSettingsTemplate, {R::kNextArrowId, R::kBackArrowId}},
      {R::kMsnSettingTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kTelephoneSettingTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kKometMsnTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kKometLocalTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kProtocolsTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kProtocolChoiceTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kProviderServicesTemplate, {R::kOkArrowId, R::kCancelArrowId}},
      {R::kProductInformationTemplate, {R::kBackArrowId}},
      {R::kUpgradeStartTemplate, {R::kNextArrowId, R::kBackArrowId}},
      {R::kUpgradeChoosePartTemplate, {R::kNextArrowId, R::kBackArrowId}},
      {R::kUpgradeOlderTemplate, {R::kNextArrowId, R::kBackArrowId, R::kCancelArrowId}},
      {R::kUpgradeSameTemplate, {R::kNextArrowId, R::kBackArrowId, R::kCancelArrowId}},
      {R::kUpgradeNewerTemplate, {R::kNextArrowId, R::kCancelArrowId}},
      {R::kUpgradeProgressTemplate, {}},
      {R::kUnusedEntryTemplate, {R::kOkArrowId, R::kCancelArrowId}},
  };
  return kArrows;
}

// The controls that start hidden on pages that hide some before the page
// procedure runs; on every other page nothing starts hidden. The KOMET II
// number pages hide all but their status text (kAllBut1074).
inline constexpr int kAllBut1074 = -1;
inline const std::vector<std::pair<int, std::set<int>>>& StartHidden() {
  static const std::vector<std::pair<int, std::set<int>>> kHidden = {
      {R::kProductListTemplate, {1055, 1002}},
      {R::kKometMsnTemplate, {kAllBut1074}},
      {R::kKometLocalTemplate, {kAllBut1074}},
      {R::kProtocolsTemplate, {1143, 1148}},
      {R::kProviderServicesTemplate,
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
      {R::kProviderServicesTemplate,
       {{1129, 1159, 1162, 1155, 1157, 1158, 1131, 1132, 1160, 1161, 1156},
        {1169, 1170, 1171},
        {1173, 1172, 1126, 1135, 1127, 1138, 1140, 1174},
        {1177, 1178},
        {1192, 1193, 1194, 1195, 1196, 1197, 1198, 1199, 1200, 1201}}},
      {R::kKometLocalTemplate,
       {{1188, 1189, 1190, 1191, 1192, 1193, 1194}, {1184, 1185, 1186, 1187, 1117}}},
  };
  return kAlternatives;
}

// Radio groups: each page's radios, grouped as the pages use them.
inline const std::vector<std::pair<int, std::set<std::set<int>>>>& RadioGroups() {
  static const std::vector<std::pair<int, std::set<std::set<int>>>> kGroups = {
      {R::kKometSettingsTemplate, {{1123, 1122, 1043, 1068, 1021, 1069}}},
      {R::kUpgradeChoosePartTemplate, {{1071, 1070}}},
      {R::kKometLocalTemplate,
       {{1098, 1099}, {1100, 1101}, {1102, 1103}, {1104, 1105}, {1106, 1107}, {1108, 1109}}},
      {R::kProtocolsTemplate, {{1127, 1126}}},
      {R::kProtocolChoiceTemplate,
       {{1147, 1134, 1144, 1137, 1139, 1141, 1129, 1126, 1127, 1145, 1149, 1151}}},
      {R::kProviderServicesTemplate, {{1126, 1127}, {1135, 1138}}},
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
      {R::kMainMenuTemplate, 1044, {2056}},
      {R::kMainMenuTemplate, 1046, {2156}},
      {R::kMainMenuTemplate, 1047, {2033}},
      {R::kMainMenuTemplate, 1004, {2006}},
      {R::kMainMenuTemplate, 1045, {2007}},
      {R::kMainMenuTemplate, 1001, {2004}},
      {R::kMainMenuTemplate, 1076, {2015}},
      {R::kMainMenuTemplate, 1077, {2102}},
      {R::kProductListTemplate, 1055, {2125}},
      {R::kProductListTemplate, 1074, {2102}},
      {R::kAtCommandTemplate, 1071, {2114}},
      {R::kAtCommandTemplate, 1053, {2109}},
      {R::kAtCommandTemplate, 1054, {2115}},
      {R::kAtCommandTemplate, 1005, {2026}},
      {R::kNationalityTemplate, 1072, {2023}},
      {R::kModemSettingsTemplate, 1021, {2022}},
      {R::kModemSettingsTemplate, 1056, {2126}},
      {R::kModemSettingsTemplate, 1068, {2026}},
      {R::kModemSettingsTemplate, 1057, {2127}},
      {R::kSolanoSettingsTemplate, 1021, {2022}},
      {R::kSolanoSettingsTemplate, 1056, {2126}},
      {R::kSolanoSettingsTemplate, 1043, {2075}},
      {R::kSolanoSettingsTemplate, 1058, {2076}},
      {R::kSolanoSettingsTemplate, 1068, {2026}},
      {R::kSolanoSettingsTemplate, 1057, {2127}},
      {R::kKometSettingsTemplate, 1021, {2022}},
      {R::kKometSettingsTemplate, 1043, {2075}},
      {R::kKometSettingsTemplate, 1122, {2210}},
      {R::kKometSettingsTemplate, 1069, {2244}},
      {R::kKometSettingsTemplate, 1068, {2026}},
      {R::kKometSettingsTemplate, 1123, {2226}},
      {R::kKometSettingsTemplate, 1121, {2126, 2076, 2209, 2245, 2127, 2227}},
      {R::kKometSettingsTemplate, 1125, {2122}},
      {R::kMsnSettingTemplate, 1051, {2074}},
      {R::kMsnSettingTemplate, 1052, {2078}},
      {R::kTelephoneSettingTemplate, 1051, {2074}},
      {R::kTelephoneSettingTemplate, 1065, {2073}},
      {R::kTelephoneSettingTemplate, 1066, {2071}},
      {R::kTelephoneSettingTemplate, 1053, {2080}},
      {R::kKometMsnTemplate, 1051, {2074}},
      {R::kKometMsnTemplate, 1065, {2073}},
      {R::kKometMsnTemplate, 1079, {2204}},
      {R::kKometMsnTemplate, 1080, {2205}},
      {R::kKometMsnTemplate, 1089, {2206}},
      {R::kKometMsnTemplate, 1117, {2222}},
      {R::kKometMsnTemplate, 1074, {2102}},
      {R::kKometLocalTemplate, 1115, {2328, 2211}},
      {R::kKometLocalTemplate, 1079, {2204}},
      {R::kKometLocalTemplate, 1080, {2205}},
      {R::kKometLocalTemplate, 1089, {2206}},
      {R::kKometLocalTemplate, 1082, {2213}},
      {R::kKometLocalTemplate, 1074, {2102}},
      {R::kProtocolsTemplate, 1146, {2233, 2230, 2231, 2232, 2239, 2240, 2246, 2247, 2248, 2249}},
      {R::kProtocolsTemplate, 1127, {2237}},
      {R::kProtocolsTemplate, 1126, {2236}},
      {R::kProtocolsTemplate, 1128, {2234}},
      {R::kProtocolsTemplate, 1129, {2235}},
      {R::kProtocolsTemplate, 1143, {2238}},
      {R::kProtocolsTemplate, 1148, {2241}},
      {R::kProtocolChoiceTemplate, 1146, {2258, 2250, 2251, 2252, 2253, 2254, 2255, 2256, 2269}},
      {R::kProviderServicesTemplate, 1146, {2260, 2261, 2263, 2264, 2266, 2267, 2271, 2272, 2274,
                                            2275, 2277, 2278, 2280, 2281, 2283, 2284, 2286, 2287,
                                            2289, 2290, 2312, 2313, 2314, 2315, 2316, 2317, 2318,
                                            2319, 2320, 2321, 2322, 2323, 2324, 2326, 2327}},
      {R::kProviderServicesTemplate, 1074, {2102, 2325}},
      {R::kProviderServicesTemplate, 1129, {2307, 2268}},
      {R::kProductInformationTemplate, 1070, {2050}},
      {R::kProductInformationTemplate, 1071, {2067}},
      {R::kProductInformationTemplate, 1033, {2030}},
      {R::kProductInformationTemplate, 1029, {2032}},
      {R::kProductInformationTemplate, 1030, {2028}},
      {R::kProductInformationTemplate, 1041, {2029}},
      {R::kProductInformationTemplate, 1036, {2031}},
      {R::kProductInformationTemplate, 1176, {2003}},
      {R::kUpgradeStartTemplate, 1049, {2143}},
      {R::kUpgradeStartTemplate, 1050, {2144}},
      {R::kUpgradeStartTemplate, 1074, {2051, 2069}},
      {R::kUpgradeChoosePartTemplate, 1049, {2143}},
      {R::kUpgradeChoosePartTemplate, 1050, {2144}},
      {R::kUpgradeChoosePartTemplate, 1051, {2142}},
      {R::kUpgradeChoosePartTemplate, 1073, {2051}},
      {R::kUpgradeChoosePartTemplate, 1074, {2070}},
      {R::kUpgradeChoosePartTemplate, 1071, {2049}},
      {R::kUpgradeChoosePartTemplate, 1070, {2064}},
      {R::kUpgradeOlderTemplate, 1061, {2147}},
      {R::kUpgradeOlderTemplate, 1062, {2148}},
      {R::kUpgradeOlderTemplate, 1063, {2146}},
      {R::kUpgradeOlderTemplate, 1074, {2051, 2069}},
      {R::kUpgradeNewerTemplate, 1059, {2145}},
      {R::kUpgradeNewerTemplate, 1060, {2146}},
      {R::kUpgradeNewerTemplate, 1074, {2051, 2069}},
      {R::kUpgradeSameTemplate, 1076, {2154, 2042}},
      {R::kUpgradeSameTemplate, 1078, {2203}},
      {R::kUpgradeSameTemplate, 1077, {2155}},
      {R::kUpgradeSameTemplate, 1074, {2051, 2069}},
      {R::kUpgradeProgressTemplate, 1078, {2149}},
      {R::kUpgradeProgressTemplate, 1079, {2150}},
      {R::kUpgradeProgressTemplate,
       1037,
       {2094, 2082, 2107, 2133, 2157, 2158, 2132, 2131, 2160, 2159, 2035, 2113}},
      {R::kUpgradeProgressTemplate, 1038, {2038}},
      {R::kModemModelPickerTemplate, 1030, {2019}},
      {R::kModemModelPickerTemplate, 1, {2093}},
      {R::kModemModelPickerTemplate, 2, {2008}},
      {R::kIsdnModelPickerTemplate, 1035, {2020}},
      {R::kIsdnModelPickerTemplate, 1, {2093}},
  };
  return kTexts;
}

}  // namespace norix::resources::dialogs::testing
