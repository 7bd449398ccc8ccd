#include "platform/window/window_api.h"

#include <algorithm>
#include <memory>

#include "platform/window/desktop.h"
#include "platform/window/thread_queue.h"
#include "platform/window/window.h"
#include "platform/window/window_handles.h"

namespace norix::platform::window {

namespace {

bool HasListText(ControlKind kind) {
  return kind == ControlKind::kDropDownList || kind == ControlKind::kListBox;
}

// Screen position of a dialog's client area.
Point ClientOrigin(const Window& window, const WindowState& state) {
  const ScreenMetrics metrics = window.GetDesktop().Metrics();
  return {state.rect.left + metrics.frameX,
          state.rect.top + metrics.frameY + metrics.captionHeight};
}

}  // namespace

bool IsWindow(HWND hwnd) { return LookupHandle(hwnd).has_value(); }

HWND GetDlgItem(HWND dialog, int id) {
  const auto target = LookupDialogItem(dialog, id);
  return target ? target->window->ControlHandle(target->index) : kNullHwnd;
}

int GetDlgCtrlID(HWND control) {
  const auto target = LookupHandle(control);
  return target && target->index >= 0 ? target->window->ControlId(target->index) : 0;
}

HWND GetParent(HWND control) {
  const auto target = LookupHandle(control);
  return target && target->index >= 0 ? target->window->Handle() : kNullHwnd;
}

std::vector<HWND> GetChildWindows(HWND dialog) {
  std::vector<HWND> children;
  if (const auto window = LookupDialog(dialog)) {
    for (int i = 0; i < window->ControlCount(); ++i) {
      children.push_back(window->ControlHandle(i));
    }
  }
  return children;
}

int GetDialogTemplateId(HWND dialog) {
  const auto window = LookupDialog(dialog);
  return window ? window->TemplateId() : 0;
}

ThreadId GetWindowThreadId(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  return target ? target->window->Queue().Id() : 0;
}

Desktop* GetWindowDesktop(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  return target ? &target->window->GetDesktop() : nullptr;
}

bool SetWindowText(HWND hwnd, std::string_view text) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return false;
  }
  const int index = target->index;
  return target->window->Edit([&](Window::Access& access) {
    if (index < 0) {
      if (access.window.caption != text) {
        access.window.caption = text;
        access.WindowChanged(WindowChange::kCaption);
      }
      return true;
    }
    ControlState& control = access.controls[static_cast<std::size_t>(index)];
    if (HasListText(control.kind)) {
      return false;
    }
    if (control.text != text) {
      control.text = text;
      access.ControlChanged(index, ControlChange::kText);
    }
    if (control.kind == ControlKind::kEdit) {
      access.Notify(index, EN_CHANGE);
    }
    return true;
  });
}

std::string GetWindowText(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return {};
  }
  const int index = target->index;
  return target->window->Read([index](const WindowState& window, const auto& controls) {
    return index < 0 ? window.caption : controls[static_cast<std::size_t>(index)].text;
  });
}

bool SetDlgItemText(HWND dialog, int id, std::string_view text) {
  const HWND control = GetDlgItem(dialog, id);
  return control != kNullHwnd && SetWindowText(control, text);
}

std::string GetDlgItemText(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  return control != kNullHwnd ? GetWindowText(control) : std::string{};
}

bool ShowWindow(HWND hwnd, int command) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return false;
  }
  const bool show = command != SW_HIDE;
  const int index = target->index;
  return target->window->Edit([&](Window::Access& access) {
    if (index < 0) {
      const bool was = access.window.visible;
      if (was != show) {
        access.window.visible = show;
        access.WindowChanged(WindowChange::kVisible);
      }
      return was;
    }
    ControlState& control = access.controls[static_cast<std::size_t>(index)];
    const bool was = control.visible;
    if (was != show) {
      control.visible = show;
      access.ControlChanged(index, ControlChange::kVisible);
    }
    return was;
  });
}

bool IsWindowVisible(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return false;
  }
  const int index = target->index;
  return target->window->Read([index](const WindowState& window, const auto& controls) {
    return index < 0 ? window.visible : controls[static_cast<std::size_t>(index)].visible;
  });
}

bool EnableWindow(HWND hwnd, bool enable) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return false;
  }
  const int index = target->index;
  return target->window->Edit([&](Window::Access& access) {
    if (index < 0) {
      const bool wasDisabled = !access.window.enabled;
      if (access.window.enabled != enable) {
        access.window.enabled = enable;
        access.WindowChanged(WindowChange::kEnabled);
      }
      return wasDisabled;
    }
    ControlState& control = access.controls[static_cast<std::size_t>(index)];
    const bool wasDisabled = !control.enabled;
    if (control.enabled != enable) {
      control.enabled = enable;
      access.ControlChanged(index, ControlChange::kEnabled);
    }
    return wasDisabled;
  });
}

bool IsWindowEnabled(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return false;
  }
  const int index = target->index;
  return target->window->Read([index](const WindowState& window, const auto& controls) {
    return index < 0 ? window.enabled : controls[static_cast<std::size_t>(index)].enabled;
  });
}

Rect GetWindowRect(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return {};
  }
  const WindowState state =
      target->window->Read([](const WindowState& window, const auto&) { return window; });
  if (target->index < 0) {
    return state.rect;
  }
  const Rect control = target->window->Read([&](const WindowState&, const auto& controls) {
    return controls[static_cast<std::size_t>(target->index)].rect;
  });
  const Point origin = ClientOrigin(*target->window, state);
  return RectAt(origin.x + control.left, origin.y + control.top, control.Width(), control.Height());
}

Rect GetClientRect(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return {};
  }
  const int index = target->index;
  return target->window->Read([index](const WindowState& window, const auto& controls) {
    if (index < 0) {
      return Rect{0, 0, window.clientSize.width, window.clientSize.height};
    }
    const Rect& r = controls[static_cast<std::size_t>(index)].rect;
    return Rect{0, 0, r.Width(), r.Height()};
  });
}

bool MoveWindow(HWND dialog, const Rect& rect) {
  const auto window = LookupDialog(dialog);
  if (!window || rect.Width() < 0 || rect.Height() < 0) {
    return false;
  }
  const ScreenMetrics metrics = window->GetDesktop().Metrics();
  window->Edit([&](Window::Access& access) {
    if (access.window.rect != rect) {
      access.window.rect = rect;
      access.window.clientSize = {
          std::max(0, rect.Width() - 2 * metrics.frameX),
          std::max(0, rect.Height() - 2 * metrics.frameY - metrics.captionHeight)};
      access.WindowChanged(WindowChange::kRect);
    }
  });
  return true;
}

bool SetWindowPosition(HWND dialog, Point topLeft) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  window->Edit([&](Window::Access& access) {
    const Rect moved =
        RectAt(topLeft.x, topLeft.y, access.window.rect.Width(), access.window.rect.Height());
    if (access.window.rect != moved) {
      access.window.rect = moved;
      access.WindowChanged(WindowChange::kRect);
    }
  });
  return true;
}

bool SetForegroundWindow(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  window->Edit([](Window::Access& access) { access.WindowChanged(WindowChange::kRaise); });
  return true;
}

HWND SetFocus(HWND hwnd) {
  const auto target = LookupHandle(hwnd);
  if (!target) {
    return kNullHwnd;
  }
  const int index = target->index;
  if (index >= 0 && !CanTakeFocus(target->window->Kind(index))) {
    return kNullHwnd;
  }
  return target->window->Edit([index](Window::Access& access) {
    const int previous = access.FocusIndex();
    access.MoveFocus(index);
    return previous >= 0 ? access.controls[static_cast<std::size_t>(previous)].handle : kNullHwnd;
  });
}

HWND GetFocus(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return kNullHwnd;
  }
  const int focusId =
      window->Read([](const WindowState& state, const auto&) { return state.focusId; });
  const int index = window->IndexOf(focusId);
  return index >= 0 ? window->ControlHandle(index) : kNullHwnd;
}

bool SetWaitCursor(HWND dialog, bool wait) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  window->Edit([wait](Window::Access& access) {
    if (access.window.waitCursor != wait) {
      access.window.waitCursor = wait;
      access.WindowChanged(WindowChange::kWaitCursor);
    }
  });
  return true;
}

bool MessageBeep(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  window->Edit([](Window::Access& access) { access.WindowChanged(WindowChange::kBeep); });
  return true;
}

bool SetWindowUserData(HWND dialog, void* data) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  window->SetUserData(data);
  return true;
}

void* GetWindowUserData(HWND dialog) {
  const auto window = LookupDialog(dialog);
  return window ? window->UserData() : nullptr;
}

bool PostMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto window = LookupDialog(dialog);
  return window && window->Queue().Post({dialog, message, wParam, lParam});
}

LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto window = LookupDialog(dialog);
  if (!window) {
    return 0;
  }
  const auto current = CurrentThreadQueue();
  if (&window->Queue() == current.get()) {
    return CallWindowProcedure(window, message, wParam, lParam);
  }
  auto reply = std::make_shared<Completion>(current);
  // The queued call holds the dialog weakly: a dialog that closes first
  // answers 0 instead of being kept alive by a message nobody will take.
  std::weak_ptr<Window> target = window;
  window->Queue().Send(
      dialog,
      [target, message, wParam, lParam] {
        return CallWindowProcedure(target.lock(), message, wParam, lParam);
      },
      reply);
  window.reset();
  current->WaitFor(*reply);
  return reply->Value();
}

bool SetTimer(HWND dialog, WPARAM id, UINT elapseMs) {
  const auto window = LookupDialog(dialog);
  return window && window->Queue().SetTimer(dialog, id, std::chrono::milliseconds(elapseMs));
}

bool KillTimer(HWND dialog, WPARAM id) {
  const auto window = LookupDialog(dialog);
  return window && window->Queue().KillTimer(dialog, id);
}

std::optional<ControlState> GetControlState(HWND dialog, int id) {
  const auto target = LookupDialogItem(dialog, id);
  if (!target) {
    return std::nullopt;
  }
  return target->window->Read([&](const WindowState&, const auto& controls) {
    return controls[static_cast<std::size_t>(target->index)];
  });
}

std::optional<WindowState> GetWindowState(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return std::nullopt;
  }
  return window->Read([](const WindowState& state, const auto&) { return state; });
}

}  // namespace norix::platform::window
