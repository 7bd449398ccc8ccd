// Operations on the controls of a dialog, addressed by dialog and control id:
// check boxes and radios, drop-down lists and list boxes, progress bars,
// trackbars, edits, fonts and pictures. Any thread may call them; none
// blocks. A missing dialog or control, or a control of another kind than
// the operation is for, gives the failure result named (false, CB_ERR or 0)
// and changes nothing. Changes made by the program post no notifications,
// as in the window system (except EN_CHANGE, see SetWindowText).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/window/dialog_template.h"
#include "platform/window/messages.h"

namespace norix::platform::window {

// --- Check boxes and radio buttons ----------------------------------------

// BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE (check boxes only).
bool CheckDlgButton(HWND dialog, int id, UINT check);
// The check state; BST_UNCHECKED for anything that is not a check box or radio.
[[nodiscard]] UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks radio `checkId` and clears every other radio whose id lies in
// [firstId, lastId]; other kinds of control in the range are left alone.
// False when `checkId` is not a radio in the range.
bool CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);

// --- Drop-down lists and list boxes ---------------------------------------

// Appends a line; returns its index, CB_ERR on failure.
int AddListItem(HWND dialog, int id, std::string_view text);
// Inserts a line before `index` (-1: at the end); returns its index.
int InsertListItem(HWND dialog, int id, int index, std::string_view text);
// Removes a line; returns the number of lines left, CB_ERR for a bad index.
int DeleteListItem(HWND dialog, int id, int index);
// Removes every line.
bool ResetList(HWND dialog, int id);
[[nodiscard]] int GetListCount(HWND dialog, int id);
// Selects a line and returns its index; -1 or an index out of range clears
// the selection and returns CB_ERR.
int SetListSelection(HWND dialog, int id, int index);
// The selected line's index, CB_ERR when none.
[[nodiscard]] int GetListSelection(HWND dialog, int id);
bool SetListItemData(HWND dialog, int id, int index, LPARAM data);
// CB_ERR for a bad index.
[[nodiscard]] LPARAM GetListItemData(HWND dialog, int id, int index);
[[nodiscard]] std::optional<std::string> GetListItemText(HWND dialog, int id, int index);
// The first line equal to `text` (without regard to the case of a-z),
// CB_ERR when none.
[[nodiscard]] int FindListItem(HWND dialog, int id, std::string_view text);

// A text carried by a control message, as the system sends texts: WM_SETTEXT
// (as SetWindowText: TRUE or FALSE), CB_ADDSTRING / LB_ADDSTRING (as
// AddListItem), CB_INSERTSTRING / LB_INSERTSTRING (wParam the index, as
// InsertListItem). Other messages: CB_ERR.
LRESULT SendDlgItemText(HWND dialog, int id, UINT message, WPARAM wParam, std::string_view text);

// --- Progress bars ----------------------------------------------------------

// Range [minimum, maximum], maximum >= minimum; the position is kept inside.
bool SetProgressRange(HWND dialog, int id, int minimum, int maximum);
bool SetProgressStep(HWND dialog, int id, int step);
// Adds the step; past the end of the range the bar starts again from the
// beginning, as the system's does.
bool StepProgress(HWND dialog, int id);
// Clamped to the range.
bool SetProgressPos(HWND dialog, int id, int position);
// 0 when there is no such progress bar.
[[nodiscard]] int GetProgressPos(HWND dialog, int id);

// --- Trackbars --------------------------------------------------------------

bool SetTrackbarRange(HWND dialog, int id, int minimum, int maximum);
bool SetTrackbarPos(HWND dialog, int id, int position);  // clamped to the range
[[nodiscard]] int GetTrackbarPos(HWND dialog, int id);

// --- Edits ----------------------------------------------------------------

// The most characters the user can type; 0 lifts the limit. Text already
// there (or set by the program) is not cut.
bool SetEditLimit(HWND dialog, int id, int limit);
// Only these characters can be typed (UTF-8); empty allows any again. Comes
// on top of the digits-only and upper-case styles.
bool SetEditCharFilter(HWND dialog, int id, std::string_view allowed);
// When the user presses Enter while the edit has the focus, `message` is
// posted to the dialog (wParam the edit's id, lParam its handle) instead of
// the Enter key's usual action; 0 restores the usual action.
bool SetEditEnterMessage(HWND dialog, int id, UINT message);

// --- Fonts and pictures ---------------------------------------------------

bool SetControlFont(HWND dialog, int id, const FontDescription& font);
// The picture resource of a picture control or button; `pressedPicture` for
// arrow buttons (0 keeps the normal picture while pressed).
bool SetControlPicture(HWND dialog, int id, int picture, int pressedPicture = 0);
// The hover help of a control: what the page shows about it while the
// pointer is on it, kept with the control so that a renderer can show it
// wherever it shows help (a status line, a tool tip).
bool SetControlHelp(HWND dialog, int id, std::string_view text);

}  // namespace norix::platform::window
