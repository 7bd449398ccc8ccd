#include "platform/window/dialog_box.h"

#include <memory>
#include <utility>

#include "platform/window/desktop.h"
#include "platform/window/thread_queue.h"
#include "platform/window/window.h"
#include "platform/window/window_api.h"
#include "platform/window/window_handles.h"

namespace norix::platform::window {

namespace {

// The control that gets the focus first: the first visible, enabled tab-stop
// control that can take it.
HWND FirstTabStop(const Window& window) {
  return window.Read([](const WindowState&, const std::vector<ControlState>& controls) {
    for (const ControlState& control : controls) {
      if ((control.style & ControlStyle::kTabStop) != 0 && control.visible && control.enabled &&
          CanTakeFocus(control.kind)) {
        return control.handle;
      }
    }
    return kNullHwnd;
  });
}

// Closes the dialog however its loop ends, exceptions included.
class OpenDialog {
 public:
  explicit OpenDialog(std::shared_ptr<Window> window) : window_(std::move(window)) {}
  OpenDialog(const OpenDialog&) = delete;
  OpenDialog& operator=(const OpenDialog&) = delete;
  OpenDialog(OpenDialog&&) = delete;
  OpenDialog& operator=(OpenDialog&&) = delete;
  ~OpenDialog() { window_->Destroy(); }

 private:
  std::shared_ptr<Window> window_;
};

}  // namespace

LRESULT DialogBox(Desktop& desktop, int templateId, HWND owner, DialogProc proc, LPARAM initParam) {
  auto dialog = desktop.Templates().Find(templateId);
  if (!dialog || !proc) {
    return -1;
  }
  const auto queue = CurrentThreadQueue();
  const auto window = Window::Create(desktop, std::move(dialog), owner, std::move(proc), queue);
  const HWND hwnd = window->Handle();
  const OpenDialog open(window);
  // Declared after `open`, so the owner takes input again before the dialog
  // is gone from the screen.
  const DisabledOwner disabledOwner(owner);

  const HWND first = FirstTabStop(*window);
  const LRESULT wantsFocus =
      CallWindowProcedure(window, WM_INITDIALOG, HwndToWParam(first), initParam);
  if (wantsFocus != 0 && first != kNullHwnd && GetFocus(hwnd) == kNullHwnd) {
    SetFocus(first);
  }
  if (!window->Ended()) {
    ShowWindow(hwnd, SW_SHOW);
    window->Edit([](Window::Access& access) {
      access.window.ready = true;
      access.WindowChanged(WindowChange::kReady);
    });
  }
  while (!window->Ended()) {
    Message message;
    if (queue->Take(message, MessageFilter::kWindowsOnly, true, std::nullopt) ==
        TakeResult::kMessage) {
      if (const auto target = LookupDialog(message.hwnd)) {
        CallWindowProcedure(target, message.message, message.wParam, message.lParam);
      }
    }
  }
  CallWindowProcedure(window, WM_DESTROY, 0, 0);
  return window->Result();
}

bool EndDialog(HWND dialog, LRESULT result) {
  const auto window = LookupDialog(dialog);
  return window && window->End(result);
}

}  // namespace norix::platform::window
