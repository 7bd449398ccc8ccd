// The provider services page of the KOMET II (page index 15): reads the
// adapter's provider service settings when it is up, lists what the adapter
// offers, shows and edits the chosen entry, and on 'V' writes everything back
// and returns to the KOMET II settings menu. A write the adapter refuses is
// named in a message and the page stays with the user's input. Reading and
// writing block the page's thread for the AT dialogue.
#pragma once

#include "services/provider_service_records.h"
#include "shell/page_table.h"

namespace norix::services {

// Controls of the page.
inline constexpr int kServiceList = 1154;
inline constexpr int kEnableBox = 1128;
inline constexpr int kActivationPrefix = 1155;
inline constexpr int kActivationDigits = 1131;
inline constexpr int kActivationSuffix = 1157;
inline constexpr int kNumberEdit = 1159;
inline constexpr int kNumberSuffix = 1160;
inline constexpr int kCancelPrefix = 1156;
inline constexpr int kCancelDigits = 1132;
inline constexpr int kCancelSuffix = 1158;
inline constexpr int kCancelNumber = 1162;  // the same number, read-only
inline constexpr int kCancelNumberSuffix = 1161;
inline constexpr int kExtraSettingBox = 1129;
inline constexpr int kLineFunctionList = 1169;
inline constexpr int kKeyLabel = 1170;
inline constexpr int kKeyDigit = 1171;
inline constexpr int kTeleLabel = 1172;
inline constexpr int kDataLabel = 1173;
inline constexpr int kCodeLabel = 1174;
inline constexpr int kTeleInsideRadio = 1126;
inline constexpr int kTeleOutsideRadio = 1127;
inline constexpr int kDataInsideRadio = 1135;
inline constexpr int kDataOutsideRadio = 1138;
inline constexpr int kCugCodeEdit = 1140;
inline constexpr int kRingBox = 1177;
inline constexpr int kCallerIdBox = 1178;
inline constexpr int kFirstPortKey = 1192;     // 1192 to 1196: "R", key, key, "ID", key
inline constexpr int kFirstCollectKey = 1197;  // 1197 to 1201: the same for collecting
inline constexpr int kHelpText = 1146;
inline constexpr int kStatusText = 1074;
inline constexpr int kGroupFrame = 1179;

// Texts of the page's own.
inline constexpr int kEnableServiceText = 2490;  // "Enable this service"
inline constexpr int kRingText = 2491;           // "RING"
inline constexpr int kCallerIdText = 2492;       // "Caller ID"
inline constexpr int kNotStoredText = 2493;      // the names of what was not stored, for %s
// Texts of the system's.
inline constexpr int kPleaseWaitText = 2102;
inline constexpr int kNoServicesText = 2325;
inline constexpr int kClosedUserGroupHelp = 2316;
inline constexpr int kDataPortHelp = 2322;
inline constexpr int kPortHelp = 2326;
inline constexpr int kCollectHelp = 2327;

void RegisterProviderServicesPage(shell::PageTable& pages, ProviderServices& records);

}  // namespace norix::services
