// The program's own message numbers and the texts of the page frame. The
// page indexes and the controls every page shares are resource ids
// (resources/resource_ids.h).
#pragma once

#include "platform/window/messages.h"

namespace norix::shell {

using platform::window::UINT;
using platform::window::WM_APP;

// Page messages (WM_APP range).
inline constexpr UINT kPageReady = WM_APP + 0x0;    // posted by a page to itself after its set-up
inline constexpr UINT kPageRequest = WM_APP + 0x1;  // to the main thread; lParam the next index
inline constexpr UINT kNewPageUp =
    WM_APP + 0x2;  // to the main thread: close the old page; wParam the new
inline constexpr UINT kClosePage = WM_APP + 0x3;       // sent by the main thread: end the dialog
inline constexpr UINT kDisplayChanged = WM_APP + 0x4;  // to the main thread: restart the page
inline constexpr UINT kPageEnded = WM_APP + 0x5;  // to the main thread: a page thread has ended
inline constexpr UINT kLineTestProgress = WM_APP + 0x6;  // private to the line test
inline constexpr UINT kControlHover = WM_APP + 0x8;  // wParam the control's handle, lParam its id
// Upgrade worker messages to the progress page.
inline constexpr UINT kUpgradeFinished = WM_APP + 10;
inline constexpr UINT kUpgradeFinishedToNationality = WM_APP + 11;
inline constexpr UINT kUpgradePreparationFailed = WM_APP + 12;

// Texts of the frame.
inline constexpr int kPageCaptionText = 2003;     // "NORIX Configuration program"
inline constexpr int kMessageCaptionText = 2092;  // "NORIX message"
inline constexpr int kNoDriverText = 2086;

// Buffers the texts are loaded into, in characters with the terminator.
inline constexpr int kTextBufferChars = 1024;
inline constexpr int kMessageTextChars = 512;
inline constexpr int kMessageCaptionChars = 256;

}  // namespace norix::shell
