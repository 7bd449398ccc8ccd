// The AT command page (kAtCommandPage): one command line typed
// by the user is sent to the product as it is and the product's first reply
// line shown; "Default Setting" restores and stores the factory settings.
#pragma once

#include <string>
#include <string_view>

#include "device/selected_product.h"
#include "link/at_exchange.h"
#include "platform/comm/port.h"
#include "shell/page_table.h"
#include "utilities/settings_menus_state.h"

namespace norix::utilities {

inline constexpr int kConsoleIntroText = 1071;
inline constexpr int kCommandLabel = 1053;
inline constexpr int kCommandEntry = 1041;
inline constexpr int kReplyLabel = 1054;
inline constexpr int kReplyText = 1069;
inline constexpr int kFactoryResetButton = 1005;

inline constexpr int kResetDoneText = 2111;   // "Your NORIX equipment was successfully reset ..."
inline constexpr int kRetryResetText = 2110;  // "Your modem is not responding properly. ..."
inline constexpr int kNoCommunicationText = 2112;  // "Cannot communicate with NORIX product."

// The read constant around a typed command: the user may type anything,
// including commands the product is slow to answer.
inline constexpr std::uint32_t kConsoleReadConstant = 7000;

inline constexpr std::string_view kFactoryResetCommand = "AT&F&W";

// Sends one typed command line as it is (SendAtCommand adds the CR) with a
// read constant of kConsoleReadConstant, restored afterwards, with the
// product's input discarded before and after. `reply` gets the first reply
// line that is not the echo, cut at its last CR; it is left as it was for an
// empty command. Blocks up to about 7 s when the product is silent.
void SendConsoleCommand(platform::comm::Port* port, std::string_view command, std::string& reply);

// '<' leads to the settings menu of the product kind.
void RegisterAtConsolePage(shell::PageTable& table, device::SelectedProduct& product,
                           UtilityPagesState& state);

}  // namespace norix::utilities
