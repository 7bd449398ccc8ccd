#include "platform/window/window.h"

#include <algorithm>
#include <utility>

#include "platform/window/window_handles.h"

namespace norix::platform::window {

namespace {

// Focus notifications of a control kind: {set focus, kill focus}, or {0, 0}
// for a control that reports none.
std::pair<UINT, UINT> FocusCodes(const ControlState& control) {
  switch (control.kind) {
    case ControlKind::kEdit:
      return {EN_SETFOCUS, EN_KILLFOCUS};
    case ControlKind::kDropDownList:
      return {CBN_SETFOCUS, CBN_KILLFOCUS};
    case ControlKind::kListBox:
      return {LBN_SETFOCUS, LBN_KILLFOCUS};
    case ControlKind::kArrowButton:
      return {BN_SETFOCUS, BN_KILLFOCUS};
    case ControlKind::kPushButton:
    case ControlKind::kBigButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadio:
      if ((control.style & ControlStyle::kNotify) != 0) {
        return {BN_SETFOCUS, BN_KILLFOCUS};
      }
      return {0, 0};
    default:
      return {0, 0};
  }
}

ControlState InitialControlState(const ControlTemplate& control, HWND handle,
                                 const ScreenMetrics& metrics) {
  ControlState state;
  state.id = control.id;
  state.handle = handle;
  state.kind = control.kind;
  state.style = control.style;
  state.rectUnits = control.rect;
  state.rect = MapDialogRect(control.rect, metrics);
  if (control.kind != ControlKind::kDropDownList && control.kind != ControlKind::kListBox) {
    state.text = control.text;
  }
  state.visible = (control.style & ControlStyle::kHidden) == 0;
  state.enabled = (control.style & ControlStyle::kDisabled) == 0;
  state.picture = control.picture;
  state.pressedPicture = control.pressedPicture;
  return state;
}

// Where a new dialog goes: centred on its owner (or the screen) when the
// template asks for it, else at the template's position.
Point InitialPosition(const DialogTemplate& dialog, Size outer, HWND owner,
                      const ScreenMetrics& metrics) {
  if (!dialog.centered) {
    const Rect offset = MapDialogRect(
        {dialog.position.x, dialog.position.y, dialog.position.x, dialog.position.y}, metrics);
    return {metrics.screen.left + offset.left, metrics.screen.top + offset.top};
  }
  Rect around = metrics.screen;
  if (const auto ownerWindow = LookupDialog(owner)) {
    around = ownerWindow->Read([](const WindowState& w, const auto&) { return w.rect; });
  }
  return {around.left + (around.Width() - outer.width) / 2,
          around.top + (around.Height() - outer.height) / 2};
}

}  // namespace

bool CanTakeFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::kPushButton:
    case ControlKind::kArrowButton:
    case ControlKind::kBigButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadio:
    case ControlKind::kEdit:
    case ControlKind::kDropDownList:
    case ControlKind::kListBox:
    case ControlKind::kTrackbar:
      return true;
    default:
      return false;
  }
}

void Window::Access::ControlChanged(int index, unsigned changes) {
  controlChanges_.at(static_cast<std::size_t>(index)) |= changes;
}

void Window::Access::Notify(int index, UINT code) {
  const ControlState& control = controls.at(static_cast<std::size_t>(index));
  posts_.push_back({window.handle, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(control.id), code),
                    HwndToLParam(control.handle)});
}

void Window::Access::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  posts_.push_back({window.handle, message, wParam, lParam});
}

int Window::Access::IndexOf(int id) const {
  if (id == 0) {
    return -1;
  }
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [id](const ControlState& c) { return c.id == id; });
  return found == controls.end() ? -1 : static_cast<int>(found - controls.begin());
}

int Window::Access::FocusIndex() const { return IndexOf(window.focusId); }

void Window::Access::MoveFocus(int index) {
  const int previous = FocusIndex();
  if (previous == index) {
    return;
  }
  if (previous >= 0) {
    const UINT kill = FocusCodes(controls[static_cast<std::size_t>(previous)]).second;
    if (kill != 0) {
      Notify(previous, kill);
    }
  }
  window.focusId = index >= 0 ? controls.at(static_cast<std::size_t>(index)).id : 0;
  WindowChanged(WindowChange::kFocus);
  if (index >= 0) {
    const UINT set = FocusCodes(controls[static_cast<std::size_t>(index)]).first;
    if (set != 0) {
      Notify(index, set);
    }
  }
}

Window::Window(Desktop& desktop, std::shared_ptr<const DialogTemplate> dialog, HWND owner,
               DialogProc proc, std::shared_ptr<ThreadQueue> queue)
    : desktop_(desktop),
      template_(std::move(dialog)),
      owner_(owner),
      proc_(std::move(proc)),
      queue_(std::move(queue)),
      handle_(NewHandle()) {
  const ScreenMetrics metrics = desktop_.Metrics();
  const Rect client = MapDialogRect({0, 0, template_->width, template_->height}, metrics);
  const Size outer{client.right + 2 * metrics.frameX,
                   client.bottom + 2 * metrics.frameY + metrics.captionHeight};
  const Point position = InitialPosition(*template_, outer, owner_, metrics);

  state_.handle = handle_;
  state_.owner = owner_;
  state_.templateId = template_->id;
  state_.thread = queue_->Id();
  state_.caption = template_->caption;
  state_.rect = RectAt(position.x, position.y, outer.width, outer.height);
  state_.clientSize = {client.right, client.bottom};
  state_.centered = template_->centered;
  state_.backgroundPicture = template_->backgroundPicture;
  state_.font = template_->font;

  handles_.reserve(template_->controls.size());
  controls_.reserve(template_->controls.size());
  for (const ControlTemplate& control : template_->controls) {
    handles_.push_back(NewHandle());
    controls_.push_back(InitialControlState(control, handles_.back(), metrics));
  }
}

std::shared_ptr<Window> Window::Create(Desktop& desktop,
                                       std::shared_ptr<const DialogTemplate> dialog, HWND owner,
                                       DialogProc proc, std::shared_ptr<ThreadQueue> queue) {
  auto window = std::make_shared<Window>(desktop, std::move(dialog), owner, std::move(proc),
                                         std::move(queue));
  PublishHandle(window->handle_, window, -1);
  for (std::size_t i = 0; i < window->handles_.size(); ++i) {
    PublishHandle(window->handles_[i], window, static_cast<int>(i));
  }
  const std::lock_guard lock(window->mutex_);
  desktop.GetRenderer().WindowCreated({window->state_, window->controls_});
  return window;
}

int Window::IndexOf(int id) const {
  if (id == 0) {
    return -1;
  }
  const auto& controls = template_->controls;
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [id](const ControlTemplate& c) { return c.id == id; });
  return found == controls.end() ? -1 : static_cast<int>(found - controls.begin());
}

int Window::ControlId(int index) const {
  return template_->controls.at(static_cast<std::size_t>(index)).id;
}

ControlKind Window::Kind(int index) const {
  return template_->controls.at(static_cast<std::size_t>(index)).kind;
}

void Window::Flush(Access& access) {
  if (destroyed_) {
    return;  // the renderer has forgotten the dialog; nobody takes its messages
  }
  Renderer& renderer = desktop_.GetRenderer();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (access.controlChanges_[i] != 0) {
      renderer.ControlChanged(handle_, controls_[i], access.controlChanges_[i]);
    }
  }
  if (access.windowChanges_ != 0) {
    renderer.WindowChanged(state_, access.windowChanges_);
  }
  for (const Message& message : access.posts_) {
    queue_->Post(message);
  }
}

WindowSnapshot Window::Snapshot() const {
  const std::lock_guard lock(mutex_);
  return {state_, controls_};
}

void Window::SetUserData(void* data) {
  const std::lock_guard lock(mutex_);
  userData_ = data;
}

void* Window::UserData() const {
  const std::lock_guard lock(mutex_);
  return userData_;
}

bool Window::End(LRESULT result) {
  {
    const std::lock_guard lock(mutex_);
    if (destroyed_) {
      return false;
    }
    if (!ended_) {
      ended_ = true;
      result_ = result;
    }
  }
  // Wakes the modal loop when EndDialog comes from another thread.
  queue_->Post({handle_, WM_NULL, 0, 0});
  return true;
}

bool Window::Ended() const {
  const std::lock_guard lock(mutex_);
  return ended_;
}

LRESULT Window::Result() const {
  const std::lock_guard lock(mutex_);
  return result_;
}

void Window::Destroy() {
  {
    const std::lock_guard lock(mutex_);
    if (destroyed_) {
      return;
    }
    destroyed_ = true;
    state_.visible = false;
    desktop_.GetRenderer().WindowDestroyed(handle_);
  }
  UnregisterHandle(handle_);
  for (const HWND control : handles_) {
    UnregisterHandle(control);
  }
  queue_->ForgetWindow(handle_);
}

bool Window::Destroyed() const {
  const std::lock_guard lock(mutex_);
  return destroyed_;
}

DisabledOwner::DisabledOwner(HWND owner) : owner_(owner) {
  const auto window = LookupDialog(owner_);
  if (window) {
    disabled_ = window->Edit([](Window::Access& access) {
      if (!access.window.enabled) {
        return false;
      }
      access.window.enabled = false;
      access.WindowChanged(WindowChange::kEnabled);
      return true;
    });
  }
}

DisabledOwner::~DisabledOwner() {
  if (!disabled_) {
    return;
  }
  if (const auto window = LookupDialog(owner_)) {
    window->Edit([](Window::Access& access) {
      if (!access.window.enabled) {
        access.window.enabled = true;
        access.WindowChanged(WindowChange::kEnabled);
      }
    });
  }
}

LRESULT CallWindowProcedure(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (!window || window->Destroyed() || !window->Proc()) {
    return 0;
  }
  const LRESULT result = window->Proc()(window->Handle(), message, wParam, lParam);
  if (result == 0 && message == WM_CLOSE) {
    // Closing the window is the cancel command, unless a disabled Cancel
    // button says that cancelling is not possible now.
    const int cancel = window->IndexOf(IDCANCEL);
    const bool refused =
        cancel >= 0 && window->Read([cancel](const WindowState&, const auto& controls) {
          return !controls[static_cast<std::size_t>(cancel)].enabled;
        });
    if (!refused && !window->Destroyed()) {
      window->Proc()(window->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     cancel >= 0 ? HwndToLParam(window->ControlHandle(cancel)) : 0);
    }
  }
  return result;
}

}  // namespace norix::platform::window
