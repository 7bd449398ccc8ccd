// Modal dialogs from templates, run on the calling thread.
#pragma once

#include "platform/window/messages.h"

namespace norix::platform::window {

class Desktop;

// Makes the dialog of template `templateId` on `desktop` (through its
// renderer), calls `proc` with WM_INITDIALOG (wParam the first tab-stop
// control, lParam `initParam`; a non-zero result gives that control the
// focus), shows the dialog, and then runs the calling thread's window
// messages, each through its dialog's procedure, until EndDialog. Thread
// messages stay queued for the thread's own loop. While the dialog is open
// its owner (if any) is disabled. Blocks until the dialog ends and returns
// the EndDialog result; -1 at once when there is no such template or no
// procedure.
LRESULT DialogBox(Desktop& desktop, int templateId, HWND owner, DialogProc proc,
                  LPARAM initParam = 0);

// Ends the dialog's modal loop with `result` once the current message has
// been handled; from another thread the loop wakes for it. The first result
// counts. False when the dialog is already closed.
bool EndDialog(HWND dialog, LRESULT result);

}  // namespace norix::platform::window
