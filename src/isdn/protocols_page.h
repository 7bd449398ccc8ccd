// The Protocols page of the KOMET II (kProtocolsPage): PPP over one or two
// ISDN channels, bandwidth on demand with its four numbers, call bumping,
// and "Other" for the protocol choice page. Nothing is sent to the adapter:
// OK turns the choice into the protocol init string and keeps it with the
// driver init store, from where the dialler sends it.
#pragma once

#include "device/selected_product.h"
#include "isdn/driver_init_store.h"
#include "isdn/protocol_settings.h"
#include "shell/page_table.h"

namespace norix::isdn {

// Controls of the Protocols template (the four number fields are in
// init_string.h).
inline constexpr int kOneChannelRadio = 1127;
inline constexpr int kTwoChannelsRadio = 1126;
inline constexpr int kBodCheck = 1128;
inline constexpr int kCallBumpingCheck = 1129;
inline constexpr int kOtherButton = 1143;
inline constexpr int kSaveAsButton = 1148;
inline constexpr int kProtocolDescription = 1146;
inline constexpr int kFirstBodLabel = 1163;
inline constexpr int kLastBodLabel = 1168;

// Texts of our own: the store could not be written, the device has no
// driver settings to keep the string in, a number field holds more than
// digits.
inline constexpr int kInitStoreFailedText = 2475;
inline constexpr int kNoDriverSettingsText = 2476;
inline constexpr int kBodDigitsOnlyText = 2477;

void RegisterProtocolsPage(shell::PageTable& pages, device::SelectedProduct& product,
                           ProtocolSettings& settings, InitStringStore& store);

}  // namespace norix::isdn
