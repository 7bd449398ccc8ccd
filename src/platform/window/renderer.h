// The renderer shows the dialogs of the model: a widget front end draws them,
// the headless host only records them. The model calls it from whichever
// thread changed a dialog (the dialog's own thread, a worker, or the GUI
// thread after user input); user input goes back through user_input.h.
//
// Rules for implementations:
// - The notifications (WindowCreated ... WindowDestroyed) are called with the
//   window's model lock held, so their order matches the order of the
//   changes. They must return quickly, must not block, and must not call back
//   into this layer: copy what is needed and apply it on the GUI thread.
// - ShowMessageBox and ShowOpenFileDialog are called on the asking thread with
//   no lock held. They return at once; the renderer shows the box (modal in
//   the way the request asks) and replies later, from any thread, through the
//   answer object.
// - A renderer outlives every Desktop made with it (and so every dialog).
#pragma once

#include "platform/window/control_state.h"
#include "platform/window/geometry.h"
#include "platform/window/modal_request.h"

namespace norix::platform::window {

class Renderer {
 public:
  Renderer() = default;
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;
  Renderer(Renderer&&) = delete;
  Renderer& operator=(Renderer&&) = delete;
  virtual ~Renderer() = default;

  // The screen as it is now. Called when a Desktop is made (on that thread).
  [[nodiscard]] virtual ScreenMetrics Metrics() = 0;

  // A dialog was made from its template, not yet visible; a WindowChanged
  // with WindowChange::kVisible shows it. Called on the dialog's thread.
  virtual void WindowCreated(const WindowSnapshot& snapshot) = 0;

  // The dialog's own state changed; `changes` holds WindowChange bits.
  virtual void WindowChanged(const WindowState& window, unsigned changes) = 0;

  // A control changed; `changes` holds ControlChange bits. `control` is the
  // whole state after the change.
  virtual void ControlChanged(HWND window, const ControlState& control, unsigned changes) = 0;

  // The dialog ended; its handles are no longer valid.
  virtual void WindowDestroyed(HWND window) = 0;

  virtual void ShowMessageBox(const MessageBoxRequest& request, MessageBoxAnswer answer) = 0;
  virtual void ShowOpenFileDialog(const FileDialogRequest& request, FileDialogAnswer answer) = 0;
};

}  // namespace norix::platform::window
