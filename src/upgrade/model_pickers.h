// The model pickers of a rescue: small modal dialogs a page (or worker)
// opens over itself when a product in rescue mode cannot say which model it
// is. Each blocks the calling thread until the user answers.
#pragma once

#include "platform/window/messages.h"
#include "shell/frame.h"

namespace norix::upgrade {

// Controls of the modem model picker (dialog 117) and the ISDN model picker
// (dialog 122).
inline constexpr int kModemPickerTextId = 1030;
inline constexpr int kModemPickerListId = 1027;
inline constexpr int kIsdnPickerTextId = 1035;
inline constexpr int kIsdnPickerListId = 1036;

// The line chosen in the modem model picker (0 "Corvid", 1 "Netrunner",
// 2 "marlin", 3 "560V int.", the rescue model table's indices), -1 when
// cancelled or when the dialog could not be shown.
[[nodiscard]] int PickModemModel(shell::Frame& frame, platform::window::HWND owner);

// The line chosen in the ISDN model picker (0 "solano 1280i a/b",
// 1 "solano 1280i", 2 "solano 1280mi"); it has only an OK button. -1 when
// the dialog could not be shown.
[[nodiscard]] int PickIsdnModel(shell::Frame& frame, platform::window::HWND owner);

}  // namespace norix::upgrade
