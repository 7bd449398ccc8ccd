#include "platform/window/user_input.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/window/desktop.h"
#include "platform/window/edit_filter.h"
#include "platform/window/window.h"
#include "platform/window/window_handles.h"

namespace norix::platform::window {

namespace {

bool IsPressable(ControlKind kind) {
  return kind == ControlKind::kPushButton || kind == ControlKind::kArrowButton ||
         kind == ControlKind::kBigButton;
}

bool AcceptsInput(const WindowState& window) { return window.visible && window.enabled; }

bool AcceptsInput(const WindowState& window, const ControlState& control) {
  return AcceptsInput(window) && control.visible && control.enabled;
}

// Runs input(access, index, control) for control `id` of an open dialog
// that takes input; false otherwise.
template <class F>
bool OnControl(HWND dialog, int id, F&& input) {
  const auto target = LookupDialogItem(dialog, id);
  if (!target) {
    return false;
  }
  const int index = target->index;
  return target->window->Edit([&](Window::Access& access) {
    ControlState& control = access.controls[static_cast<std::size_t>(index)];
    if (!AcceptsInput(access.window, control)) {
      return false;
    }
    return input(access, index, control);
  });
}

// The radios of the group that control `index` belongs to: from the
// nearest control at or before it with the group style, up to the next one.
void CheckRadioOfGroup(Window::Access& access, int index) {
  const auto& controls = access.controls;
  auto first = static_cast<std::size_t>(index);
  while (first > 0 && (controls[first].style & ControlStyle::kGroup) == 0) {
    --first;
  }
  for (std::size_t i = first; i < controls.size(); ++i) {
    if (i > first && (controls[i].style & ControlStyle::kGroup) != 0) {
      break;
    }
    ControlState& control = access.controls[i];
    if (control.kind != ControlKind::kRadio) {
      continue;
    }
    const UINT wanted = static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED;
    if (control.checked != wanted) {
      control.checked = wanted;
      access.ControlChanged(static_cast<int>(i), ControlChange::kChecked);
    }
  }
}

// Whether the edit's own set of allowed characters refused some of `typed`;
// the user then hears the warning beep, as from a character filter.
bool FilterRefuses(std::string_view typed, const EditRules& rules) {
  if (rules.allowedChars.empty() && !rules.digitsOnly) {
    return false;
  }
  EditRules unlimited = rules;
  unlimited.limit = kDefaultEditLimit;
  EditRules anyCharacter = unlimited;
  anyCharacter.allowedChars.clear();
  anyCharacter.digitsOnly = false;
  return FilterTyped(typed, unlimited) != FilterTyped(typed, anyCharacter);
}

void SetEditText(Window::Access& access, int index, ControlState& edit, std::string text) {
  if (edit.text != text) {
    edit.text = std::move(text);
    access.ControlChanged(index, ControlChange::kText);
    access.Notify(index, EN_CHANGE);
  }
}

}  // namespace

bool UserClick(HWND dialog, int id) {
  return OnControl(dialog, id, [](Window::Access& access, int index, ControlState& control) {
    switch (control.kind) {
      case ControlKind::kPushButton:
      case ControlKind::kArrowButton:
      case ControlKind::kBigButton:
        access.MoveFocus(index);
        access.Notify(index, BN_CLICKED);
        return true;
      case ControlKind::kCheckBox:
        access.MoveFocus(index);
        control.checked = control.checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        access.ControlChanged(index, ControlChange::kChecked);
        access.Notify(index, BN_CLICKED);
        return true;
      case ControlKind::kRadio:
        access.MoveFocus(index);
        CheckRadioOfGroup(access, index);
        access.Notify(index, BN_CLICKED);
        return true;
      case ControlKind::kEdit:
      case ControlKind::kDropDownList:
      case ControlKind::kListBox:
      case ControlKind::kTrackbar:
        access.MoveFocus(index);
        return true;
      default:
        return false;
    }
  });
}

bool UserType(HWND dialog, int id, std::string_view typed) {
  return OnControl(dialog, id, [typed](Window::Access& access, int index, ControlState& edit) {
    if (edit.kind != ControlKind::kEdit || (edit.style & ControlStyle::kReadOnly) != 0) {
      return false;
    }
    access.MoveFocus(index);
    const EditRules rules = EditRulesOf(edit);
    if (FilterRefuses(typed, rules)) {
      access.WindowChanged(WindowChange::kBeep);
    }
    SetEditText(access, index, edit, AppendTyped(edit.text, typed, rules));
    return true;
  });
}

std::optional<std::string> UserEditText(HWND dialog, int id, std::string_view proposed) {
  std::optional<std::string> accepted;
  OnControl(dialog, id, [&](Window::Access& access, int index, ControlState& edit) {
    if (edit.kind != ControlKind::kEdit || (edit.style & ControlStyle::kReadOnly) != 0) {
      return false;
    }
    const EditRules rules = EditRulesOf(edit);
    if (FilterRefuses(proposed, rules)) {
      access.WindowChanged(WindowChange::kBeep);
    }
    accepted = FilterTyped(proposed, rules);
    SetEditText(access, index, edit, *accepted);
    return true;
  });
  return accepted;
}

bool UserSelectItem(HWND dialog, int id, int line) {
  return OnControl(dialog, id, [line](Window::Access& access, int index, ControlState& list) {
    const bool isList =
        list.kind == ControlKind::kDropDownList || list.kind == ControlKind::kListBox;
    if (!isList || line < 0 || static_cast<std::size_t>(line) >= list.items.size()) {
      return false;
    }
    access.MoveFocus(index);
    if (list.selection != line) {
      list.selection = line;
      list.text = list.items[static_cast<std::size_t>(line)].text;
      access.ControlChanged(index, ControlChange::kSelection | ControlChange::kText);
    }
    access.Notify(index, list.kind == ControlKind::kDropDownList ? CBN_SELCHANGE : LBN_SELCHANGE);
    return true;
  });
}

bool UserSetTrackbar(HWND dialog, int id, int position) {
  return OnControl(dialog, id, [position](Window::Access& access, int index, ControlState& bar) {
    if (bar.kind != ControlKind::kTrackbar) {
      return false;
    }
    access.MoveFocus(index);
    const int clamped = std::clamp(position, bar.rangeMin, bar.rangeMax);
    if (bar.position != clamped) {
      bar.position = clamped;
      access.ControlChanged(index, ControlChange::kPosition);
    }
    const UINT scroll = (bar.style & ControlStyle::kVertical) != 0 ? WM_VSCROLL : WM_HSCROLL;
    access.Post(scroll, MAKEWPARAM(TB_THUMBPOSITION, static_cast<unsigned>(clamped)),
                HwndToLParam(bar.handle));
    access.Post(scroll, MAKEWPARAM(TB_ENDTRACK, 0), HwndToLParam(bar.handle));
    return true;
  });
}

bool UserFocus(HWND dialog, int id) {
  return OnControl(dialog, id, [](Window::Access& access, int index, ControlState& control) {
    if (!CanTakeFocus(control.kind)) {
      return false;
    }
    access.MoveFocus(index);
    return true;
  });
}

bool UserTab(HWND dialog, bool forward) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  return window->Edit([forward](Window::Access& access) {
    if (!AcceptsInput(access.window)) {
      return false;
    }
    std::vector<int> stops;
    for (std::size_t i = 0; i < access.controls.size(); ++i) {
      const ControlState& control = access.controls[i];
      if ((control.style & ControlStyle::kTabStop) != 0 && control.visible && control.enabled &&
          CanTakeFocus(control.kind)) {
        stops.push_back(static_cast<int>(i));
      }
    }
    if (stops.empty()) {
      return false;
    }
    const int current = access.FocusIndex();
    const auto at = std::find(stops.begin(), stops.end(), current);
    std::size_t next = 0;
    if (at == stops.end()) {
      next = forward ? 0 : stops.size() - 1;
    } else {
      const auto position = static_cast<std::size_t>(at - stops.begin());
      next = forward ? (position + 1) % stops.size() : (position + stops.size() - 1) % stops.size();
    }
    access.MoveFocus(stops[next]);
    return true;
  });
}

bool UserEnter(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  return window->Edit([](Window::Access& access) {
    if (!AcceptsInput(access.window)) {
      return false;
    }
    const int focus = access.FocusIndex();
    if (focus >= 0) {
      const ControlState& control = access.controls[static_cast<std::size_t>(focus)];
      if (control.visible && control.enabled) {
        if (control.kind == ControlKind::kEdit && control.enterMessage != 0) {
          access.Post(control.enterMessage, static_cast<WPARAM>(control.id),
                      HwndToLParam(control.handle));
          return true;
        }
        if (IsPressable(control.kind)) {
          access.Notify(focus, BN_CLICKED);
          return true;
        }
      }
    }
    const int ok = access.IndexOf(IDOK);
    if (ok >= 0) {
      const ControlState& button = access.controls[static_cast<std::size_t>(ok)];
      if (!button.visible || !button.enabled) {
        return false;
      }
      access.Notify(ok, BN_CLICKED);
      return true;
    }
    access.Post(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
  });
}

bool UserEscape(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  return window->Edit([](Window::Access& access) {
    if (!AcceptsInput(access.window)) {
      return false;
    }
    const int cancel = access.IndexOf(IDCANCEL);
    if (cancel >= 0) {
      if (!access.controls[static_cast<std::size_t>(cancel)].enabled) {
        return false;
      }
      access.Notify(cancel, BN_CLICKED);
      return true;
    }
    access.Post(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return true;
  });
}

bool UserHover(HWND dialog, int id) {
  const auto target = LookupDialogItem(dialog, id);
  if (!target) {
    return false;
  }
  const UINT hover = target->window->GetDesktop().HoverMessage();
  if (hover == 0) {
    return false;
  }
  const int index = target->index;
  return target->window->Edit([&](Window::Access& access) {
    const ControlState& control = access.controls[static_cast<std::size_t>(index)];
    if (!access.window.visible || !control.visible) {
      return false;
    }
    access.Post(hover, HwndToWParam(control.handle), control.id);
    return true;
  });
}

bool UserClose(HWND dialog) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  return window->Edit([](Window::Access& access) {
    if (!AcceptsInput(access.window)) {
      return false;
    }
    access.Post(WM_CLOSE, 0, 0);
    return true;
  });
}

bool UserMovedWindow(HWND dialog, Point topLeft) {
  const auto window = LookupDialog(dialog);
  if (!window) {
    return false;
  }
  window->Edit([topLeft](Window::Access& access) {
    access.window.rect =
        RectAt(topLeft.x, topLeft.y, access.window.rect.Width(), access.window.rect.Height());
  });
  return true;
}

}  // namespace norix::platform::window
