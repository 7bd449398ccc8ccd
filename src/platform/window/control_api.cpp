#include "platform/window/control_api.h"

#include <algorithm>
#include <limits>

#include "platform/ascii/ascii_text.h"
#include "platform/window/window.h"
#include "platform/window/window_api.h"
#include "platform/window/window_handles.h"

namespace norix::platform::window {

namespace {

bool IsCheckable(ControlKind kind) {
  return kind == ControlKind::kCheckBox || kind == ControlKind::kRadio;
}
bool IsList(ControlKind kind) {
  return kind == ControlKind::kDropDownList || kind == ControlKind::kListBox;
}
bool IsProgress(ControlKind kind) { return kind == ControlKind::kProgressBar; }
bool IsTrackbar(ControlKind kind) { return kind == ControlKind::kTrackbar; }
bool IsEdit(ControlKind kind) { return kind == ControlKind::kEdit; }
bool AnyKind(ControlKind /*kind*/) { return true; }

// Runs edit(access, index, control) on control `id` when it exists and is of
// an accepted kind; `failure` otherwise.
template <class R, class F>
R EditControl(HWND dialog, int id, R failure, bool (*accept)(ControlKind), F&& edit) {
  const auto target = LookupDialogItem(dialog, id);
  if (!target || !accept(target->window->Kind(target->index))) {
    return failure;
  }
  const int index = target->index;
  return target->window->Edit([&](Window::Access& access) -> R {
    return edit(access, index, access.controls[static_cast<std::size_t>(index)]);
  });
}

template <class R, class F>
R ReadControl(HWND dialog, int id, R failure, bool (*accept)(ControlKind), F&& read) {
  const auto target = LookupDialogItem(dialog, id);
  if (!target || !accept(target->window->Kind(target->index))) {
    return failure;
  }
  const int index = target->index;
  return target->window->Read([&](const WindowState&, const auto& controls) -> R {
    return read(controls[static_cast<std::size_t>(index)]);
  });
}

bool InList(const ControlState& list, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < list.items.size();
}

// A list's text is its selected line's.
void SyncListText(ControlState& list) {
  list.text = InList(list, list.selection)
                  ? list.items[static_cast<std::size_t>(list.selection)].text
                  : std::string{};
}

bool SetRange(HWND dialog, int id, int minimum, int maximum, bool (*accept)(ControlKind)) {
  if (maximum < minimum) {
    return false;
  }
  return EditControl(dialog, id, false, accept,
                     [&](Window::Access& access, int index, ControlState& control) {
                       unsigned changes = 0;
                       if (control.rangeMin != minimum || control.rangeMax != maximum) {
                         control.rangeMin = minimum;
                         control.rangeMax = maximum;
                         changes |= ControlChange::kRange;
                       }
                       const int clamped = std::clamp(control.position, minimum, maximum);
                       if (clamped != control.position) {
                         control.position = clamped;
                         changes |= ControlChange::kPosition;
                       }
                       access.ControlChanged(index, changes);
                       return true;
                     });
}

bool SetPosition(HWND dialog, int id, int position, bool (*accept)(ControlKind)) {
  return EditControl(dialog, id, false, accept,
                     [&](Window::Access& access, int index, ControlState& control) {
                       const int clamped = std::clamp(position, control.rangeMin, control.rangeMax);
                       if (clamped != control.position) {
                         control.position = clamped;
                         access.ControlChanged(index, ControlChange::kPosition);
                       }
                       return true;
                     });
}

}  // namespace

bool CheckDlgButton(HWND dialog, int id, UINT check) {
  return EditControl(dialog, id, false, IsCheckable,
                     [check](Window::Access& access, int index, ControlState& control) {
                       const bool valid =
                           check == BST_UNCHECKED || check == BST_CHECKED ||
                           (check == BST_INDETERMINATE && control.kind == ControlKind::kCheckBox);
                       if (!valid) {
                         return false;
                       }
                       if (control.checked != check) {
                         control.checked = check;
                         access.ControlChanged(index, ControlChange::kChecked);
                       }
                       return true;
                     });
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return ReadControl(dialog, id, BST_UNCHECKED, IsCheckable,
                     [](const ControlState& control) { return control.checked; });
}

bool CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  const auto window = LookupDialog(dialog);
  if (!window || checkId < firstId || checkId > lastId) {
    return false;
  }
  const int checkIndex = window->IndexOf(checkId);
  if (checkIndex < 0 || window->Kind(checkIndex) != ControlKind::kRadio) {
    return false;
  }
  window->Edit([&](Window::Access& access) {
    for (std::size_t i = 0; i < access.controls.size(); ++i) {
      ControlState& control = access.controls[i];
      if (control.kind != ControlKind::kRadio || control.id < firstId || control.id > lastId) {
        continue;
      }
      const UINT wanted = control.id == checkId ? BST_CHECKED : BST_UNCHECKED;
      if (control.checked != wanted) {
        control.checked = wanted;
        access.ControlChanged(static_cast<int>(i), ControlChange::kChecked);
      }
    }
  });
  return true;
}

int AddListItem(HWND dialog, int id, std::string_view text) {
  return InsertListItem(dialog, id, -1, text);
}

int InsertListItem(HWND dialog, int id, int index, std::string_view text) {
  return EditControl(dialog, id, CB_ERR, IsList,
                     [&](Window::Access& access, int controlIndex, ControlState& list) {
                       const int count = static_cast<int>(list.items.size());
                       if (index < -1 || index > count) {
                         return CB_ERR;
                       }
                       const int at = index == -1 ? count : index;
                       list.items.insert(list.items.begin() + at, ListItem{std::string(text), 0});
                       unsigned changes = ControlChange::kItems;
                       if (list.selection >= at) {
                         ++list.selection;
                         changes |= ControlChange::kSelection;
                       }
                       access.ControlChanged(controlIndex, changes);
                       return at;
                     });
}

int DeleteListItem(HWND dialog, int id, int index) {
  return EditControl(dialog, id, CB_ERR, IsList,
                     [&](Window::Access& access, int controlIndex, ControlState& list) {
                       if (!InList(list, index)) {
                         return CB_ERR;
                       }
                       list.items.erase(list.items.begin() + index);
                       unsigned changes = ControlChange::kItems;
                       if (list.selection == index) {
                         list.selection = -1;
                         changes |= ControlChange::kSelection | ControlChange::kText;
                       } else if (list.selection > index) {
                         --list.selection;
                         changes |= ControlChange::kSelection;
                       }
                       SyncListText(list);
                       access.ControlChanged(controlIndex, changes);
                       return static_cast<int>(list.items.size());
                     });
}

bool ResetList(HWND dialog, int id) {
  return EditControl(
      dialog, id, false, IsList, [](Window::Access& access, int controlIndex, ControlState& list) {
        if (!list.items.empty() || list.selection != -1) {
          list.items.clear();
          list.selection = -1;
          SyncListText(list);
          access.ControlChanged(controlIndex, ControlChange::kItems | ControlChange::kSelection |
                                                  ControlChange::kText);
        }
        return true;
      });
}

int GetListCount(HWND dialog, int id) {
  return ReadControl(dialog, id, CB_ERR, IsList,
                     [](const ControlState& list) { return static_cast<int>(list.items.size()); });
}

int SetListSelection(HWND dialog, int id, int index) {
  return EditControl(dialog, id, CB_ERR, IsList,
                     [&](Window::Access& access, int controlIndex, ControlState& list) {
                       const int wanted = InList(list, index) ? index : -1;
                       if (list.selection != wanted) {
                         list.selection = wanted;
                         SyncListText(list);
                         access.ControlChanged(controlIndex,
                                               ControlChange::kSelection | ControlChange::kText);
                       }
                       return wanted == -1 ? CB_ERR : wanted;
                     });
}

int GetListSelection(HWND dialog, int id) {
  return ReadControl(dialog, id, CB_ERR, IsList, [](const ControlState& list) {
    return InList(list, list.selection) ? list.selection : CB_ERR;
  });
}

bool SetListItemData(HWND dialog, int id, int index, LPARAM data) {
  return EditControl(dialog, id, false, IsList,
                     [&](Window::Access& access, int controlIndex, ControlState& list) {
                       if (!InList(list, index)) {
                         return false;
                       }
                       list.items[static_cast<std::size_t>(index)].data = data;
                       access.ControlChanged(controlIndex, ControlChange::kItems);
                       return true;
                     });
}

LPARAM GetListItemData(HWND dialog, int id, int index) {
  return ReadControl(dialog, id, LPARAM{CB_ERR}, IsList, [index](const ControlState& list) {
    return InList(list, index) ? list.items[static_cast<std::size_t>(index)].data : LPARAM{CB_ERR};
  });
}

std::optional<std::string> GetListItemText(HWND dialog, int id, int index) {
  return ReadControl(dialog, id, std::optional<std::string>{}, IsList,
                     [index](const ControlState& list) -> std::optional<std::string> {
                       if (!InList(list, index)) {
                         return std::nullopt;
                       }
                       return list.items[static_cast<std::size_t>(index)].text;
                     });
}

int FindListItem(HWND dialog, int id, std::string_view text) {
  return ReadControl(dialog, id, CB_ERR, IsList, [text](const ControlState& list) {
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      if (ascii::EqualNoCase(list.items[i].text, text)) {
        return static_cast<int>(i);
      }
    }
    return CB_ERR;
  });
}

LRESULT SendDlgItemText(HWND dialog, int id, UINT message, WPARAM wParam, std::string_view text) {
  switch (message) {
    case WM_SETTEXT:
      return SetDlgItemText(dialog, id, text) ? 1 : 0;
    case CB_ADDSTRING:
    case LB_ADDSTRING:
      return AddListItem(dialog, id, text);
    case CB_INSERTSTRING:
    case LB_INSERTSTRING: {
      const auto index = static_cast<LPARAM>(wParam);
      if (index < -1 || index > std::numeric_limits<int>::max()) {
        return CB_ERR;
      }
      return InsertListItem(dialog, id, static_cast<int>(index), text);
    }
    default:
      return CB_ERR;
  }
}

bool SetProgressRange(HWND dialog, int id, int minimum, int maximum) {
  return SetRange(dialog, id, minimum, maximum, IsProgress);
}

bool SetProgressStep(HWND dialog, int id, int step) {
  return EditControl(dialog, id, false, IsProgress,
                     [step](Window::Access& access, int index, ControlState& bar) {
                       if (bar.step != step) {
                         bar.step = step;
                         access.ControlChanged(index, ControlChange::kRange);
                       }
                       return true;
                     });
}

bool StepProgress(HWND dialog, int id) {
  return EditControl(
      dialog, id, false, IsProgress, [](Window::Access& access, int index, ControlState& bar) {
        const long long span = static_cast<long long>(bar.rangeMax) - bar.rangeMin;
        long long next = static_cast<long long>(bar.position) + bar.step;
        if (next > bar.rangeMax || next < bar.rangeMin) {
          // Wraps round to the start of the range.
          next = span > 0 ? bar.rangeMin + (next - bar.rangeMin) % span : bar.rangeMin;
          if (next < bar.rangeMin) {
            next += span;
          }
        }
        const int position = static_cast<int>(next);
        if (position != bar.position) {
          bar.position = position;
          access.ControlChanged(index, ControlChange::kPosition);
        }
        return true;
      });
}

bool SetProgressPos(HWND dialog, int id, int position) {
  return SetPosition(dialog, id, position, IsProgress);
}

int GetProgressPos(HWND dialog, int id) {
  return ReadControl(dialog, id, 0, IsProgress,
                     [](const ControlState& bar) { return bar.position; });
}

bool SetTrackbarRange(HWND dialog, int id, int minimum, int maximum) {
  return SetRange(dialog, id, minimum, maximum, IsTrackbar);
}

bool SetTrackbarPos(HWND dialog, int id, int position) {
  return SetPosition(dialog, id, position, IsTrackbar);
}

int GetTrackbarPos(HWND dialog, int id) {
  return ReadControl(dialog, id, 0, IsTrackbar,
                     [](const ControlState& bar) { return bar.position; });
}

bool SetEditLimit(HWND dialog, int id, int limit) {
  if (limit < 0) {
    return false;
  }
  const int stored = limit == 0 ? std::numeric_limits<int>::max() : limit;
  return EditControl(dialog, id, false, IsEdit,
                     [stored](Window::Access& access, int index, ControlState& edit) {
                       if (edit.textLimit != stored) {
                         edit.textLimit = stored;
                         access.ControlChanged(index, ControlChange::kEditRules);
                       }
                       return true;
                     });
}

bool SetEditCharFilter(HWND dialog, int id, std::string_view allowed) {
  return EditControl(dialog, id, false, IsEdit,
                     [allowed](Window::Access& access, int index, ControlState& edit) {
                       if (edit.allowedChars != allowed) {
                         edit.allowedChars = allowed;
                         access.ControlChanged(index, ControlChange::kEditRules);
                       }
                       return true;
                     });
}

bool SetEditEnterMessage(HWND dialog, int id, UINT message) {
  return EditControl(dialog, id, false, IsEdit,
                     [message](Window::Access& access, int index, ControlState& edit) {
                       if (edit.enterMessage != message) {
                         edit.enterMessage = message;
                         access.ControlChanged(index, ControlChange::kEditRules);
                       }
                       return true;
                     });
}

bool SetControlFont(HWND dialog, int id, const FontDescription& font) {
  return EditControl(dialog, id, false, AnyKind,
                     [&font](Window::Access& access, int index, ControlState& control) {
                       if (control.font != font) {
                         control.font = font;
                         access.ControlChanged(index, ControlChange::kFont);
                       }
                       return true;
                     });
}

bool SetControlHelp(HWND dialog, int id, std::string_view text) {
  return EditControl(dialog, id, false, AnyKind,
                     [text](Window::Access& access, int index, ControlState& control) {
                       if (control.help != text) {
                         control.help = text;
                         access.ControlChanged(index, ControlChange::kHelp);
                       }
                       return true;
                     });
}

bool SetControlPicture(HWND dialog, int id, int picture, int pressedPicture) {
  return EditControl(dialog, id, false, AnyKind,
                     [&](Window::Access& access, int index, ControlState& control) {
                       if (control.picture != picture || control.pressedPicture != pressedPicture) {
                         control.picture = picture;
                         control.pressedPicture = pressedPicture;
                         access.ControlChanged(index, ControlChange::kPicture);
                       }
                       return true;
                     });
}

}  // namespace norix::platform::window
