#include "platform/terminal/terminal_ui.h"

#include <algorithm>
#include <utility>

#include "platform/terminal/line_edit.h"
#include "platform/terminal/text_cells.h"
#include "platform/window/user_input.h"

namespace norix::platform::terminal {

namespace {

namespace W = window;
namespace A = Attribute;
using K = W::ControlKind;

constexpr int kListRows = 10;  // lines an open drop-down list shows at most
constexpr int kSmallestRows = 8;
constexpr int kSmallestCols = 30;

bool IsButton(K kind) {
  return kind == K::kPushButton || kind == K::kArrowButton || kind == K::kBigButton;
}

// A label for the status line, its line breaks as blanks.
std::string OneLineOf(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return text;
}

int Clamp(int line, int count) { return count == 0 ? -1 : std::clamp(line, 0, count - 1); }

// The line a list's key moves to from `line` among `count`, `page` lines a
// page; nullopt for a key that does not move in lists.
std::optional<int> MovedLine(Key key, int line, int count, int page) {
  switch (key) {
    case Key::kUp:
      return Clamp(line < 0 ? 0 : line - 1, count);
    case Key::kDown:
      return Clamp(line + 1, count);
    case Key::kPageUp:
      return Clamp(line - page, count);
    case Key::kPageDown:
      return Clamp(line < 0 ? page - 1 : line + page, count);
    case Key::kHome:
      return Clamp(0, count);
    case Key::kEnd:
      return Clamp(count - 1, count);
    default:
      return std::nullopt;
  }
}

}  // namespace

TerminalUi::TerminalUi(PictureText pictures, PathContext paths, TerminalWords words)
    : pictures_(std::move(pictures)), paths_(std::move(paths)), words_(std::move(words)) {}

TerminalUi::~TerminalUi() = default;

DialogView* TerminalUi::Find(W::HWND handle) {
  for (const auto& dialog : dialogs_) {
    if (dialog->window.handle == handle) {
      return dialog.get();
    }
  }
  return nullptr;
}

DialogView* TerminalUi::Active() {
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
    if ((*it)->window.visible) {
      return it->get();
    }
  }
  return nullptr;
}

DialogView* TerminalUi::Page() {
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
    if ((*it)->window.visible && !(*it)->Popup()) {
      return it->get();
    }
  }
  return nullptr;
}

void TerminalUi::Raise(W::HWND handle) {
  const auto found = std::find_if(dialogs_.begin(), dialogs_.end(), [&](const auto& dialog) {
    return dialog->window.handle == handle;
  });
  if (found != dialogs_.end()) {
    std::rotate(found, found + 1, dialogs_.end());
  }
}

void TerminalUi::ReportHover(DialogView& dialog) {
  const int focus = dialog.window.focusId;
  if (focus != 0 && focus != dialog.hovered && &dialog == Active()) {
    dialog.hovered = focus;
    static_cast<void>(W::UserHover(dialog.window.handle, focus));
  }
}

// --- The model's changes ---------------------------------------------------

void TerminalUi::WindowCreated(const W::WindowSnapshot& snapshot) {
  auto dialog = std::make_unique<DialogView>();
  dialog->window = snapshot.window;
  for (const W::ControlState& control : snapshot.controls) {
    dialog->controls.push_back(ControlView{control, {}, {}, -1, 0});
  }
  dialogs_.push_back(std::move(dialog));
}

void TerminalUi::WindowChanged(const W::WindowState& window, unsigned changes) {
  DialogView* dialog = Find(window.handle);
  if (dialog == nullptr) {
    return;
  }
  const bool shown = !dialog->window.visible && window.visible;
  const int oldFocus = dialog->window.focusId;
  dialog->window = window;
  if (shown || (changes & W::WindowChange::kRaise) != 0) {
    Raise(window.handle);
  }
  if (list_ && list_->dialog == window.handle && (!window.visible || !window.enabled)) {
    list_.reset();
  }
  if (window.focusId != oldFocus) {
    // An edit taking the focus puts its caret at the end of its text.
    if (ControlView* focused = dialog->Focused()) {
      focused->caret = -1;
    }
  }
  if (DialogView* active = Active()) {
    ReportHover(*active);
  }
}

void TerminalUi::ControlChanged(W::HWND window, const W::ControlState& control, unsigned changes) {
  DialogView* dialog = Find(window);
  ControlView* view = dialog != nullptr ? dialog->Find(control.id) : nullptr;
  if (view == nullptr) {
    return;
  }
  view->state = control;
  if ((changes & W::ControlChange::kText) != 0 && view->caret >= 0) {
    view->caret = std::min(view->caret, static_cast<int>(DecodeUtf8(control.text).size()));
  }
  if (list_ && list_->dialog == window && list_->id == control.id &&
      (!control.visible || !control.enabled || control.items.empty())) {
    list_.reset();
  }
}

void TerminalUi::WindowDestroyed(W::HWND window) {
  std::erase_if(dialogs_, [&](const auto& dialog) { return dialog->window.handle == window; });
  if (list_ && list_->dialog == window) {
    list_.reset();
  }
  if (DialogView* active = Active()) {
    ReportHover(*active);
  }
}

void TerminalUi::OpenMessageBox(W::MessageBoxRequest request, W::MessageBoxAnswer answer) {
  list_.reset();
  boxes_.push_back(MakeMessageBox(std::move(request), std::move(answer), words_));
}

void TerminalUi::OpenFileDialog(W::OpenFileName request, W::FileDialogAnswer answer) {
  list_.reset();
  boxes_.push_back(MakeFileDialog(std::move(request), std::move(answer), paths_, words_));
}

// --- The user -------------------------------------------------------------

void TerminalUi::Key(const KeyPress& key) {
  if (!boxes_.empty()) {
    if (boxes_.back()->Key(key)) {
      boxes_.pop_back();
    }
    return;
  }
  if (list_) {
    ListKey(key);
    return;
  }
  if (DialogView* dialog = Active()) {
    DialogKey(*dialog, key);
  }
}

void TerminalUi::DialogKey(DialogView& dialog, const KeyPress& key) {
  const W::HWND handle = dialog.window.handle;
  ControlView* focused = dialog.Focused();
  const K kind = focused != nullptr ? focused->state.kind : K::kStaticText;
  switch (key.key) {
    case Key::kTab:
      static_cast<void>(W::UserTab(handle, true));
      return;
    case Key::kBackTab:
      static_cast<void>(W::UserTab(handle, false));
      return;
    case Key::kEscape:
      static_cast<void>(W::UserEscape(handle));
      return;
    case Key::kEnter:
      if (kind == K::kDropDownList && !focused->state.items.empty()) {
        list_ = OpenList{handle, focused->state.id, std::max(focused->state.selection, 0), 0, {}};
      } else {
        static_cast<void>(W::UserEnter(handle));
      }
      return;
    default:
      break;
  }
  if (focused == nullptr) {
    if (key.key == Key::kUp || key.key == Key::kLeft || key.key == Key::kDown ||
        key.key == Key::kRight) {
      static_cast<void>(W::UserTab(handle, key.key == Key::kDown || key.key == Key::kRight));
    }
    return;
  }
  const int id = focused->state.id;
  const W::ControlState& state = focused->state;
  const int count = static_cast<int>(state.items.size());
  switch (kind) {
    case K::kEdit:
      EditKey(dialog, *focused, key);
      return;
    case K::kDropDownList:
    case K::kListBox: {
      const int page = kind == K::kListBox ? std::max(focused->drawn.rows - 2, 1) : kListRows;
      if (const auto line = MovedLine(key.key, state.selection, count, page)) {
        if (*line >= 0 && *line != state.selection) {
          Select(handle, id, *line);
        }
        return;
      }
      if (key.key == Key::kCharacter && key.character == U' ' && kind == K::kDropDownList &&
          count > 0) {
        list_ = OpenList{handle, id, std::max(state.selection, 0), 0, {}};
        return;
      }
      if (key.key == Key::kCharacter) {
        if (const int line = LineStartingWith(*focused, key.character, state.selection);
            line >= 0) {
          Select(handle, id, line);
        }
        return;
      }
      break;
    }
    case K::kTrackbar: {
      const int page = std::max((state.rangeMax - state.rangeMin) / 10, 1);
      int position = state.position;
      switch (key.key) {
        case Key::kLeft:
        case Key::kUp:
          --position;
          break;
        case Key::kRight:
        case Key::kDown:
          ++position;
          break;
        case Key::kPageUp:
          position -= page;
          break;
        case Key::kPageDown:
          position += page;
          break;
        case Key::kHome:
          position = state.rangeMin;
          break;
        case Key::kEnd:
          position = state.rangeMax;
          break;
        default:
          return;
      }
      static_cast<void>(W::UserSetTrackbar(handle, id, position));
      return;
    }
    default:
      if (key.key == Key::kCharacter && key.character == U' ' &&
          (IsButton(kind) || kind == K::kCheckBox || kind == K::kRadio)) {
        static_cast<void>(W::UserClick(handle, id));
        return;
      }
      break;
  }
  switch (key.key) {
    case Key::kUp:
    case Key::kLeft:
      static_cast<void>(W::UserTab(handle, false));
      return;
    case Key::kDown:
    case Key::kRight:
      static_cast<void>(W::UserTab(handle, true));
      return;
    default:
      return;
  }
}

void TerminalUi::EditKey(DialogView& dialog, ControlView& edit, const KeyPress& key) {
  const W::HWND handle = dialog.window.handle;
  if (key.key == Key::kUp || key.key == Key::kDown) {
    static_cast<void>(W::UserTab(handle, key.key == Key::kDown));
    return;
  }
  const LineEdit line{
      DecodeUtf8(edit.state.text),
      edit.caret < 0 ? static_cast<int>(DecodeUtf8(edit.state.text).size()) : edit.caret};
  const std::optional<LineEdit> edited = ApplyEditKey(line, key);
  if (!edited) {
    return;
  }
  if (edited->text == line.text) {
    edit.caret = edited->caret;
    return;
  }
  // The model applies the edit's rules (digits only, capitals, limit) and
  // says what the edit now holds.
  const std::string proposed = EncodeUtf8(edited->text);
  const std::optional<std::string> accepted = W::UserEditText(handle, edit.state.id, proposed);
  if (!accepted) {
    return;
  }
  edit.state.text = *accepted;
  const int size = static_cast<int>(DecodeUtf8(*accepted).size());
  edit.caret = std::min(*accepted == proposed ? edited->caret : line.caret, size);
}

int TerminalUi::LineStartingWith(const ControlView& list, char32_t c, int from) {
  const int count = static_cast<int>(list.state.items.size());
  for (int step = 1; step <= count; ++step) {
    const int line = (std::max(from, -1) + step + count) % count;
    const std::u32string text = DecodeUtf8(list.state.items[static_cast<std::size_t>(line)].text);
    if (!text.empty() && FoldCase(text.front()) == FoldCase(c)) {
      return line;
    }
  }
  return -1;
}

void TerminalUi::Select(W::HWND dialog, int id, int line) {
  static_cast<void>(W::UserSelectItem(dialog, id, line));
}

void TerminalUi::ListKey(const KeyPress& key) {
  DialogView* dialog = Find(list_->dialog);
  ControlView* view = dialog != nullptr ? dialog->Find(list_->id) : nullptr;
  if (view == nullptr) {
    list_.reset();
    return;
  }
  const int count = static_cast<int>(view->state.items.size());
  if (const auto line = MovedLine(key.key, list_->highlight, count, kListRows)) {
    list_->highlight = std::max(*line, 0);
    return;
  }
  switch (key.key) {
    case Key::kEnter:
      Select(list_->dialog, list_->id, list_->highlight);
      list_.reset();
      return;
    case Key::kEscape:
    case Key::kTab:
    case Key::kBackTab:
      list_.reset();
      return;
    case Key::kCharacter:
      if (key.character == U' ') {
        Select(list_->dialog, list_->id, list_->highlight);
        list_.reset();
      } else if (const int line = LineStartingWith(*view, key.character, list_->highlight);
                 line >= 0) {
        list_->highlight = line;
      }
      return;
    default:
      return;
  }
}

void TerminalUi::Click(CellPos cell) {
  if (!boxes_.empty()) {
    if (boxes_.back()->Click(cell)) {
      boxes_.pop_back();
    }
    return;
  }
  if (list_) {
    const CellRect& drawn = list_->drawn;
    const CellRect lines{drawn.row + 1, drawn.col + 1, drawn.rows - 2, drawn.cols - 2};
    if (lines.Contains(cell.row, cell.col)) {
      Select(list_->dialog, list_->id, list_->first + cell.row - lines.row);
    }
    list_.reset();
    return;
  }
  DialogView* dialog = Active();
  if (dialog == nullptr) {
    return;
  }
  const int index = ControlAt(*dialog, cell);
  if (index < 0) {
    return;
  }
  ControlView& view = dialog->controls[static_cast<std::size_t>(index)];
  const W::HWND handle = dialog->window.handle;
  const int id = view.state.id;
  switch (view.state.kind) {
    case K::kPushButton:
    case K::kArrowButton:
    case K::kBigButton:
    case K::kCheckBox:
    case K::kRadio:
      static_cast<void>(W::UserClick(handle, id));
      return;
    case K::kEdit:
      if (W::UserFocus(handle, id)) {
        view.caret = std::max(view.first + cell.col - view.drawn.col - 1, 0);
      }
      return;
    case K::kDropDownList:
      if (W::UserFocus(handle, id) && !view.state.items.empty()) {
        list_ = OpenList{handle, id, std::max(view.state.selection, 0), 0, {}};
      }
      return;
    case K::kListBox:
      if (const int line = ListLineAt(view, cell); line >= 0) {
        Select(handle, id, line);
      } else {
        static_cast<void>(W::UserFocus(handle, id));
      }
      return;
    case K::kTrackbar:
      static_cast<void>(W::UserFocus(handle, id));
      static_cast<void>(W::UserSetTrackbar(handle, id, TrackbarPositionAt(view, cell.col)));
      return;
    default:
      // Texts and pictures take no input; the pointer is over them.
      static_cast<void>(W::UserHover(handle, id));
      return;
  }
}

// --- The screen ------------------------------------------------------------

void TerminalUi::DrawOpenList(Canvas& canvas, const CellRect& screen) {
  DialogView* dialog = Find(list_->dialog);
  ControlView* view = dialog != nullptr ? dialog->Find(list_->id) : nullptr;
  if (view == nullptr || view->drawn.Empty()) {
    list_.reset();
    return;
  }
  const auto& items = view->state.items;
  const int count = static_cast<int>(items.size());
  int widest = 0;
  for (const W::ListItem& item : items) {
    widest = std::max(widest, TextWidth(DecodeUtf8(item.text)));
  }
  const int cols = std::min(std::max(view->drawn.cols, widest + 3), screen.cols);
  const int below = screen.Bottom() - view->drawn.Bottom();
  const int above = view->drawn.row - screen.row;
  int rows = std::min(count, kListRows) + 2;
  int row = view->drawn.Bottom();
  if (rows > below) {
    if (above > below) {
      rows = std::min(rows, above);
      row = view->drawn.row - rows;
    } else {
      rows = below;
    }
  }
  const int col = std::min(view->drawn.col, screen.Right() - cols);
  list_->drawn = {row, col, rows, cols};
  const int shown = std::max(rows - 2, 1);
  list_->first = std::clamp(list_->first, list_->highlight - shown + 1, list_->highlight);
  list_->first = std::clamp(list_->first, 0, std::max(count - shown, 0));
  canvas.Fill(list_->drawn, U' ', 0);
  canvas.Frame(list_->drawn);
  for (int r = 0; r < shown && list_->first + r < count; ++r) {
    const int line = list_->first + r;
    const bool marked = line == list_->highlight;
    const std::u32string text =
        (marked ? U">" : U" ") + DecodeUtf8(items[static_cast<std::size_t>(line)].text);
    canvas.Put(row + 1 + r, col + 1,
               text + std::u32string(
                          static_cast<std::size_t>(std::max(cols - 2 - TextWidth(text), 0)), U' '),
               marked ? A::kReverse : 0, cols - 2);
    if (marked) {
      cursor_ = CellPos{row + 1 + r, col + 1};
    }
  }
}

std::string TerminalUi::Hints(DialogView* dialog) {
  const TerminalWords& w = words_;
  const std::string next = "Tab: " + w.nextField;
  const std::string confirm = "Enter: " + w.ok;
  const std::string cancel = "Esc: " + w.cancel;
  if (!boxes_.empty()) {
    return boxes_.back()->Hints();
  }
  if (list_) {
    return "Up/Down: " + w.choose + "  " + confirm + "  " + cancel;
  }
  if (dialog == nullptr) {
    return {};
  }
  std::string hints;
  if (dialog->window.waitCursor) {
    hints = w.pleaseWait + "  ";
  }
  const ControlView* focused = dialog->Focused();
  if (focused != nullptr && !focused->state.help.empty()) {
    // What the page says about the focused entry, as the pointer over it
    // would show it; the keys are the same as on every entry of its kind.
    return hints + OneLineOf(focused->state.help);
  }
  const K kind = focused != nullptr ? focused->state.kind : K::kStaticText;
  switch (kind) {
    case K::kEdit:
      hints += next + "  " + confirm + "  " + cancel;
      break;
    case K::kDropDownList:
      hints += "Up/Down: " + w.choose + "  Enter: " + w.openList + "  " + next + "  " + cancel;
      break;
    case K::kListBox:
      hints += "Up/Down: " + w.choose + "  " + next + "  " + confirm + "  " + cancel;
      break;
    case K::kCheckBox:
    case K::kRadio:
      hints += "Space: " + w.choose + "  " + next + "  " + confirm + "  " + cancel;
      break;
    case K::kTrackbar:
      hints += "Left/Right: " + w.choose + "  " + next + "  " + cancel;
      break;
    case K::kPushButton:
    case K::kArrowButton:
    case K::kBigButton: {
      // Enter presses the focused button: its label (an arrow's meaning).
      std::string label = kind == K::kArrowButton ? pictures_(focused->state.picture)
                                                  : std::string(focused->state.text);
      if (label.empty()) {
        label = w.ok;
      }
      hints += "Enter: " + OneLineOf(label) + "  Tab: " + w.nextField + "  " + cancel;
      break;
    }
    default:
      hints += next + "  " + cancel;
      break;
  }
  return hints;
}

void TerminalUi::Draw(Canvas& canvas) {
  const int rows = canvas.Rows();
  const int cols = canvas.Cols();
  const CellRect screen{0, 0, rows, cols};
  canvas.Fill(screen, U' ', 0);
  cursor_.reset();
  if (rows < kSmallestRows || cols < kSmallestCols) {
    canvas.Put(0, 0, words_.tooSmall, 0);
    return;
  }
  DialogView* page = Page();
  DialogView* active = Active();
  const bool keyboardOnDialog = boxes_.empty() && !list_;

  // Title line: the caption of the page on top.
  canvas.Fill({0, 0, 1, cols}, U' ', A::kReverse);
  const DialogView* titled = page != nullptr ? page : active;
  if (titled != nullptr) {
    canvas.Put(0, 1, titled->window.caption, A::kReverse | A::kBold, cols - 2);
  }

  const CellRect pageArea{1, 1, rows - 2, cols - 2};
  bool abovePage = page == nullptr;
  for (const auto& dialog : dialogs_) {
    if (dialog.get() == page) {
      PlaceDialog(*dialog, pageArea);
      const auto cursor =
          DrawDialog(canvas, *dialog, pictures_, keyboardOnDialog && page == active);
      if (page == active && keyboardOnDialog) {
        cursor_ = cursor;
      }
      abovePage = true;
      continue;
    }
    if (!abovePage || !dialog->window.visible || !dialog->Popup()) {
      continue;
    }
    PlaceDialog(*dialog, pageArea);
    const bool isActive = dialog.get() == active && keyboardOnDialog;
    const auto cursor = DrawDialog(canvas, *dialog, pictures_, isActive);
    if (isActive) {
      cursor_ = cursor;
    }
  }
  if (list_) {
    DrawOpenList(canvas, pageArea);
  }
  for (const auto& box : boxes_) {
    cursor_ = box->Draw(canvas, screen);
  }

  status_ = Hints(active);
  canvas.Fill({rows - 1, 0, 1, cols}, U' ', A::kReverse);
  canvas.Put(rows - 1, 1, status_, A::kReverse, cols - 2);
}

}  // namespace norix::platform::terminal
