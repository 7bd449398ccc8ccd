// Message boxes and the open-file dialog as Qt dialogs. Both open without
// blocking the GUI thread and answer through the answer object when the user
// closes them; a box deleted without an answer answers 0 / cancelled.
#pragma once

#include <QWidget>

#include "platform/window/modal_request.h"

namespace norix::platform::qt {

// A message box with the style's icon, buttons and default button.
// Application-modal for a task-modal request, else modal to `owner` (which
// may be null).
QWidget* OpenMessageBox(const window::MessageBoxRequest& request, window::MessageBoxAnswer answer,
                        QWidget* owner);

// An open-file dialog with the request's title, filters, folder, proposed
// name and default extension; application-modal.
QWidget* OpenFileDialog(const window::OpenFileName& request, window::FileDialogAnswer answer,
                        QWidget* owner);

}  // namespace norix::platform::qt
