// Dialogs and controls as windows, in the window system's terms: handles,
// texts, showing and enabling, position, focus, cursor, user data, posted and
// sent messages, timers. Every call may be made from any thread; none blocks
// except SendMessage. A handle that names no open window (closed, never made,
// or of the wrong sort) makes a call fail with the result given for it, and
// changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/control_state.h"
#include "platform/window/geometry.h"
#include "platform/window/messages.h"

namespace norix::platform::window {

class Desktop;

// --- Handles --------------------------------------------------------------

[[nodiscard]] bool IsWindow(HWND hwnd);
// The handle of control `id`, kNullHwnd when there is none.
[[nodiscard]] HWND GetDlgItem(HWND dialog, int id);
// The id of a control; 0 for a dialog or an invalid handle.
[[nodiscard]] int GetDlgCtrlID(HWND control);
// The dialog of a control; kNullHwnd for a dialog or an invalid handle.
[[nodiscard]] HWND GetParent(HWND control);
// The controls of a dialog in template order (EnumChildWindows).
[[nodiscard]] std::vector<HWND> GetChildWindows(HWND dialog);
// The template id of a dialog; 0 when invalid.
[[nodiscard]] int GetDialogTemplateId(HWND dialog);
// The thread whose queue takes the dialog's messages; 0 when invalid.
[[nodiscard]] ThreadId GetWindowThreadId(HWND hwnd);
// The desktop the dialog is on; null when invalid.
[[nodiscard]] Desktop* GetWindowDesktop(HWND hwnd);

// --- Texts ----------------------------------------------------------------

// The caption of a dialog, or the text of a control. An edit posts EN_CHANGE
// to its dialog every time its text is set. Drop-down lists and list boxes
// have no settable text (false).
bool SetWindowText(HWND hwnd, std::string_view text);
// A drop-down list's or list box's text is its selected line's. "" when
// invalid.
[[nodiscard]] std::string GetWindowText(HWND hwnd);
bool SetDlgItemText(HWND dialog, int id, std::string_view text);
[[nodiscard]] std::string GetDlgItemText(HWND dialog, int id);

// --- Showing and enabling ---------------------------------------------------

// SW_HIDE hides, any other command shows. Returns whether it was visible.
bool ShowWindow(HWND hwnd, int command);
[[nodiscard]] bool IsWindowVisible(HWND hwnd);
// Returns whether it was disabled. Input to a disabled dialog or control is
// refused (a dialog is disabled while it owns an open modal dialog).
bool EnableWindow(HWND hwnd, bool enable);
[[nodiscard]] bool IsWindowEnabled(HWND hwnd);

// --- Position -------------------------------------------------------------

// On the screen, in pixels; a dialog's rectangle includes frame and caption.
// An empty rectangle when invalid.
[[nodiscard]] Rect GetWindowRect(HWND hwnd);
// {0, 0, width, height} of the client area.
[[nodiscard]] Rect GetClientRect(HWND hwnd);
// Dialogs only: moves (and sizes) the whole window.
bool MoveWindow(HWND dialog, const Rect& rect);
// Dialogs only: moves the window, keeping its size.
bool SetWindowPosition(HWND dialog, Point topLeft);
// Asks the renderer to bring the dialog to the front.
bool SetForegroundWindow(HWND dialog);

// --- Focus and cursor -----------------------------------------------------

// Gives a control of a dialog the keyboard focus (posting the focus
// notifications of the control losing it and the one getting it); a dialog
// handle takes the focus away from its controls. Returns the control that
// had the focus, kNullHwnd when none or on failure (not a control that can
// take the focus).
HWND SetFocus(HWND hwnd);
// The control of the dialog that has the focus, kNullHwnd when none.
[[nodiscard]] HWND GetFocus(HWND dialog);
// The wait cursor over the dialog, or the arrow again.
bool SetWaitCursor(HWND dialog, bool wait);

// Sounds the warning beep for the dialog (the renderer decides how); false
// when it is no open dialog.
bool MessageBeep(HWND dialog);

// --- Per-dialog data ------------------------------------------------------

// A pointer the dialog's owner keeps with it (the program's state, say).
bool SetWindowUserData(HWND dialog, void* data);
[[nodiscard]] void* GetWindowUserData(HWND dialog);

// --- Messages and timers --------------------------------------------------

// Queues a message for the dialog's procedure; false when the dialog is
// gone. Does not wait.
bool PostMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Calls the dialog's procedure and returns its result. On the dialog's own
// thread the call is direct. From another thread the message is handed to
// the dialog's thread, which runs it before any posted message as soon as it
// takes messages or waits in this layer; the caller blocks until then,
// running messages sent to its own windows meanwhile. Returns 0 when the
// dialog is gone or closes, or its thread ends, before it runs the message.
LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Starts (or restarts) timer `id` of the dialog: WM_TIMER with wParam `id`
// comes every `elapseMs` milliseconds (at least 10) through the dialog's
// queue, at most one at a time however late the queue is read. False when
// the dialog is gone.
bool SetTimer(HWND dialog, WPARAM id, UINT elapseMs);
// False when there was no such timer.
bool KillTimer(HWND dialog, WPARAM id);

// --- Whole state ----------------------------------------------------------

// A copy of a control's whole state; nullopt when there is no such control.
[[nodiscard]] std::optional<ControlState> GetControlState(HWND dialog, int id);
// A copy of a dialog's state; nullopt when invalid.
[[nodiscard]] std::optional<WindowState> GetWindowState(HWND dialog);

}  // namespace norix::platform::window
