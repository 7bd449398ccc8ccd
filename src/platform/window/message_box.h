// Message boxes and the open-file dialog. Both block the calling thread (a
// dialog's thread or a worker) until the renderer's answer comes; while
// waiting, the thread runs messages that other threads send to its windows,
// but its posted messages wait. How modal the box is on screen (the owner
// only, or the whole program for MB_TASKMODAL) is the renderer's business.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/messages.h"
#include "platform/window/modal_request.h"

namespace norix::platform::window {

class Desktop;

// The buttons of a message box style, in the order shown (MB_YESNO: IDYES,
// IDNO); empty for a style with an unknown button type.
[[nodiscard]] std::vector<int> MessageBoxButtons(UINT style);
// The button that MB_DEFBUTTONn selects; the first button when n is beyond
// the buttons; 0 for an unknown button type.
[[nodiscard]] int MessageBoxDefaultButton(UINT style);

// Shows the box and waits for the answer: the button pressed (IDOK, IDYES,
// ...). Returns 0 without showing anything when the style's button type is
// unknown, and 0 when the renderer gave up the box without an answer.
int MessageBox(Desktop& desktop, HWND owner, std::string_view text, std::string_view caption,
               UINT style);
// The same on the owner's desktop; 0 when the owner is not an open dialog.
int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

// Shows the open-file dialog and waits: the chosen path, with the default
// extension added when the chosen file name has none; nullopt when the user
// cancelled (or the renderer gave up the dialog).
std::optional<std::string> GetOpenFileName(Desktop& desktop, const OpenFileName& request);
// The same on the owner's desktop; nullopt when the owner is not an open dialog.
std::optional<std::string> GetOpenFileName(const OpenFileName& request);

// `path` with "." and `extension` added when its file name has no extension.
[[nodiscard]] std::string AddDefaultExtension(std::string path, std::string_view extension);

}  // namespace norix::platform::window
