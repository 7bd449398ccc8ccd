// The table of window handles: which dialog (and which of its controls) a
// handle names. Process-wide like the window system's own handle table;
// handles are never reused, so a stale handle finds nothing.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/window/messages.h"

namespace norix::platform::window {

class Window;

struct HandleTarget {
  std::shared_ptr<Window> window;
  int index = -1;  // control index; -1 for the dialog itself
};

// A fresh handle value, not yet naming anything.
HWND NewHandle();
// Makes `hwnd` name the dialog (controlIndex -1) or one of its controls.
void PublishHandle(HWND hwnd, std::shared_ptr<Window> window, int controlIndex);
void UnregisterHandle(HWND hwnd);

[[nodiscard]] std::optional<HandleTarget> LookupHandle(HWND hwnd);

// The open dialog named by a dialog handle (not a control's), or null.
[[nodiscard]] std::shared_ptr<Window> LookupDialog(HWND hwnd);

// The open dialog and the index of its control `id`; nullopt when either is
// missing.
[[nodiscard]] std::optional<HandleTarget> LookupDialogItem(HWND dialog, int id);

// Every open dialog, oldest first.
[[nodiscard]] std::vector<std::shared_ptr<Window>> OpenDialogs();

}  // namespace norix::platform::window
