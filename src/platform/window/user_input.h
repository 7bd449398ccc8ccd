// User input, reported by the renderer (on the GUI thread) or by the headless
// host's test driver. Each call checks and changes the model at once and
// posts what the window system would post to the dialog's queue; none
// blocks. Input is refused (false, nothing changes) when the dialog or
// control does not exist, the dialog is hidden or disabled (it owns an open
// modal dialog), or the control is hidden, disabled or of a kind that does
// not take that input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/window/geometry.h"
#include "platform/window/messages.h"

namespace norix::platform::window {

// A click on a control. Buttons, check boxes and radios take the focus and
// post BN_CLICKED; a check box toggles, a radio checks itself and clears the
// other radios of its group (from the control with ControlStyle::kGroup up
// to the next one). Edits, lists and trackbars only take the focus.
bool UserClick(HWND dialog, int id);

// Typing at the end of an edit: the edit takes the focus and keeps the
// characters its rules let through (edit_filter.h); EN_CHANGE when the text
// changed. Refused for read-only edits.
bool UserType(HWND dialog, int id, std::string_view typed);

// The user's edit replaced the whole text with `proposed` (a widget that
// edits in place reports it so). Returns the text the edit accepted, which
// the renderer shows instead; nullopt when refused.
std::optional<std::string> UserEditText(HWND dialog, int id, std::string_view proposed);

// Picking a line of a drop-down list or list box: the list takes the focus,
// selects the line and posts CBN_SELCHANGE / LBN_SELCHANGE.
bool UserSelectItem(HWND dialog, int id, int index);

// Moving a trackbar (clamped to its range): WM_HSCROLL (WM_VSCROLL for a
// vertical one) with TB_THUMBPOSITION and the position, then TB_ENDTRACK.
bool UserSetTrackbar(HWND dialog, int id, int position);

// Giving a control the focus (by mouse or keyboard), with the focus
// notifications of the control losing it and the one getting it.
bool UserFocus(HWND dialog, int id);

// Tab (forward) or Shift+Tab: the focus moves to the next visible, enabled
// tab-stop control, round the end.
bool UserTab(HWND dialog, bool forward);

// Enter: in an edit with an Enter message, that message (wParam the edit's
// id, lParam its handle); on a focused push, arrow or big button, a click of
// it; otherwise the default command IDOK, unless an IDOK button is there
// but hidden or disabled.
bool UserEnter(HWND dialog);

// Esc: the cancel command IDCANCEL (2), unless an IDCANCEL button is there
// but disabled.
bool UserEscape(HWND dialog);

// The pointer entered a visible control: posts the desktop's hover message
// (Desktop::SetHoverMessage) with wParam the control's handle and lParam its
// id. Refused when no hover message is set. Disabled controls are reported
// too; whether they react is the dialog's business.
bool UserHover(HWND dialog, int id);

// The window's close button: WM_CLOSE, which a dialog procedure that does
// not handle it turns into IDCANCEL.
bool UserClose(HWND dialog);

// The user dragged the window; the model follows without telling the
// renderer back.
bool UserMovedWindow(HWND dialog, Point topLeft);

}  // namespace norix::platform::window
