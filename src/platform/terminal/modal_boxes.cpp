#include "platform/terminal/modal_boxes.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/terminal/line_edit.h"
#include "platform/terminal/text_cells.h"
#include "platform/window/message_box.h"

namespace norix::platform::terminal {

namespace {

namespace W = window;
namespace A = Attribute;
namespace fs = std::filesystem;

constexpr int kWidestText = 64;  // columns a message box's text wraps at
constexpr int kFileDialogCols = 76;
constexpr int kFileDialogRows = 20;

std::u32string U(std::string_view utf8) { return DecodeUtf8(utf8); }

// `text` with its "%s" replaced by `value`.
std::string FillIn(std::string text, std::string_view value) {
  if (const std::size_t at = text.find("%s"); at != std::string::npos) {
    text.replace(at, 2, value);
  }
  return text;
}

std::u32string Spaces(int count) {
  return std::u32string(static_cast<std::size_t>(std::max(count, 0)), U' ');
}

CellRect Centre(const CellRect& screen, int rows, int cols) {
  rows = std::min(rows, screen.rows);
  cols = std::min(cols, screen.cols);
  return {screen.row + (screen.rows - rows) / 2, screen.col + (screen.cols - cols) / 2, rows, cols};
}

void DrawFrame(Canvas& canvas, const CellRect& box, std::string_view caption) {
  canvas.Fill(box, U' ', 0);
  canvas.Frame(box);
  if (!caption.empty()) {
    canvas.Put(box.row, box.col + 2, U" " + U(caption) + U" ", A::kBold, box.cols - 4);
  }
}

class MessageBoxView final : public ModalBox {
 public:
  MessageBoxView(W::MessageBoxRequest request, W::MessageBoxAnswer answer,
                 const TerminalWords& words)
      : request_(std::move(request)), answer_(std::move(answer)), words_(words) {
    const auto found =
        std::find(request_.buttons.begin(), request_.buttons.end(), request_.defaultButton);
    focus_ =
        found == request_.buttons.end() ? 0 : static_cast<int>(found - request_.buttons.begin());
  }

  std::optional<CellPos> Draw(Canvas& canvas, const CellRect& screen) override {
    const int wrapAt = std::max(std::min(kWidestText, screen.cols - 6), 10);
    const std::vector<std::u32string> lines = WrapText(U(request_.text), wrapAt);
    const std::u32string icon = U(IconMeaning(request_.style, words_));
    int width = TextWidth(icon);
    for (const std::u32string& line : lines) {
      width = std::max(width, TextWidth(line));
    }
    int buttonsWidth = -2;
    for (const int button : request_.buttons) {
      buttonsWidth += TextWidth(Label(button)) + 2;
    }
    width = std::max({width, buttonsWidth, TextWidth(U(request_.caption)) + 2});
    const int iconRows = icon.empty() ? 0 : 2;
    const CellRect box = Centre(screen, static_cast<int>(lines.size()) + iconRows + 4, width + 4);
    DrawFrame(canvas, box, request_.caption);
    const int textRows = std::max(box.rows - 4 - iconRows, 0);
    int row = box.row + 1;
    if (!icon.empty()) {
      canvas.Put(row, box.col + 2, icon, A::kBold, box.cols - 4);
      row += 2;
    }
    for (int i = 0; i < textRows && i < static_cast<int>(lines.size()); ++i) {
      canvas.Put(row++, box.col + 2, lines[static_cast<std::size_t>(i)], 0, box.cols - 4);
    }
    // The buttons, centred on the row above the frame.
    const int buttonRow = box.Bottom() - 2;
    int col = box.col + (box.cols - buttonsWidth) / 2;
    buttons_.clear();
    std::optional<CellPos> cursor;
    for (std::size_t i = 0; i < request_.buttons.size(); ++i) {
      const std::u32string label = Label(request_.buttons[i]);
      const bool focused = static_cast<int>(i) == focus_;
      const int used = canvas.Put(buttonRow, col, label, focused ? A::kReverse : A::kBold);
      buttons_.push_back({buttonRow, col, 1, used});
      if (focused) {
        cursor = CellPos{buttonRow, col + 2};
      }
      col += used + 2;
    }
    return cursor;
  }

  bool Key(const KeyPress& key) override {
    const int count = static_cast<int>(request_.buttons.size());
    if (count == 0) {
      return answer_(0);
    }
    switch (key.key) {
      case Key::kTab:
      case Key::kRight:
      case Key::kDown:
        focus_ = (focus_ + 1) % count;
        return false;
      case Key::kBackTab:
      case Key::kLeft:
      case Key::kUp:
        focus_ = (focus_ + count - 1) % count;
        return false;
      case Key::kEnter:
        return Press(request_.buttons[static_cast<std::size_t>(focus_)]);
      case Key::kEscape: {
        const int escape = EscapeButton();
        return escape != 0 && Press(escape);
      }
      case Key::kCharacter: {
        if (key.character == U' ') {
          return Press(request_.buttons[static_cast<std::size_t>(focus_)]);
        }
        // A button's first letter presses it, in any language.
        for (const int button : request_.buttons) {
          const std::u32string label = U(ButtonLabel(button, words_));
          if (!label.empty() && FoldCase(label.front()) == FoldCase(key.character)) {
            return Press(button);
          }
        }
        return false;
      }
      default:
        return false;
    }
  }

  bool Click(CellPos cell) override {
    for (std::size_t i = 0; i < buttons_.size() && i < request_.buttons.size(); ++i) {
      if (buttons_[i].Contains(cell.row, cell.col)) {
        return Press(request_.buttons[i]);
      }
    }
    return false;
  }

  // "Enter: Yes  Tab: choose  Esc: Cancel", naming the buttons the
  // keys press.
  [[nodiscard]] std::string Hints() const override {
    if (request_.buttons.empty()) {
      return {};
    }
    std::string hints =
        "Enter: " + ButtonLabel(request_.buttons[static_cast<std::size_t>(focus_)], words_);
    if (request_.buttons.size() > 1) {
      hints += "  Tab: " + words_.choose;
    }
    if (const int escape = EscapeButton(); escape != 0) {
      hints += "  Esc: " + ButtonLabel(escape, words_);
    }
    return hints;
  }

 private:
  std::u32string Label(int button) const { return U"[ " + U(ButtonLabel(button, words_)) + U" ]"; }

  // The button Esc presses: Cancel, or the only button; 0 for none.
  [[nodiscard]] int EscapeButton() const {
    if (std::find(request_.buttons.begin(), request_.buttons.end(), W::IDCANCEL) !=
        request_.buttons.end()) {
      return W::IDCANCEL;
    }
    return request_.buttons.size() == 1 ? request_.buttons.front() : 0;
  }

  bool Press(int button) {
    static_cast<void>(answer_(button));
    return true;
  }

  W::MessageBoxRequest request_;
  W::MessageBoxAnswer answer_;
  const TerminalWords& words_;
  int focus_ = 0;
  std::vector<CellRect> buttons_;  // where each button was drawn last
};

class FileDialogView final : public ModalBox {
 public:
  FileDialogView(W::OpenFileName request, W::FileDialogAnswer answer, PathContext paths,
                 const TerminalWords& words)
      : request_(std::move(request)),
        answer_(std::move(answer)),
        paths_(std::move(paths)),
        words_(words) {
    if (!request_.filters.empty()) {
      patterns_ = SplitPatterns(request_.filters.front().patterns);
      filterText_ = request_.filters.front().description;
    }
    std::string folder = request_.initialDir.empty() ? paths_.base.string() : request_.initialDir;
    if (!folder.empty() && folder.back() != '/') {
      folder += '/';
    }
    SetText(U(folder + request_.fileName));
  }

  std::optional<CellPos> Draw(Canvas& canvas, const CellRect& screen) override {
    const CellRect box = Centre(screen, kFileDialogRows, kFileDialogCols);
    DrawFrame(canvas, box, request_.title.empty() ? words_.open : request_.title);
    const int inner = box.cols - 4;
    const int left = box.col + 2;
    int row = box.row + 1;
    if (!filterText_.empty()) {
      canvas.Put(row++, left, filterText_, 0, inner);
    }
    // The entry: "File: [path___]", scrolled so that the caret shows.
    const std::u32string label = U(words_.file) + U" ";
    const int field = std::max(inner - TextWidth(label) - 2, 4);
    canvas.Put(row, left, label, A::kBold);
    const int fieldCol = left + TextWidth(label);
    first_ = std::clamp(first_, 0, caret_);
    while (caret_ - first_ >= field) {
      ++first_;
    }
    const std::u32string shown =
        FitWidth(std::u32string_view(text_).substr(static_cast<std::size_t>(first_)), field);
    canvas.Put(row, fieldCol,
               U"[" + shown +
                   std::u32string(static_cast<std::size_t>(field - TextWidth(shown)), U'_') + U"]",
               0);
    const CellPos cursor{
        row, fieldCol + 1 +
                 TextWidth(std::u32string_view(text_).substr(
                     static_cast<std::size_t>(first_), static_cast<std::size_t>(caret_ - first_)))};
    row += 2;
    // The folder's entries, in a frame of their own.
    list_ = {row, left, std::max(box.Bottom() - 2 - row, 2), inner};
    canvas.Frame(list_);
    const CellRect lines{list_.row + 1, list_.col + 1, list_.rows - 2, list_.cols - 2};
    const int count = static_cast<int>(entries_.size());
    if (highlight_ >= 0) {
      top_ = std::clamp(top_, highlight_ - lines.rows + 1, highlight_);
    }
    top_ = std::clamp(top_, 0, std::max(count - lines.rows, 0));
    for (int r = 0; r < lines.rows && top_ + r < count; ++r) {
      const int index = top_ + r;
      const bool marked = index == highlight_;
      const std::u32string name =
          (marked ? U">" : U" ") + U(entries_[static_cast<std::size_t>(index)].name);
      canvas.Put(lines.row + r, lines.col, name + Spaces(lines.cols - TextWidth(name)),
                 marked ? A::kReverse : 0, lines.cols);
    }
    if (count == 0) {
      canvas.Put(lines.row, lines.col, U" " + U(words_.nothingHere), A::kDim, lines.cols);
    }
    canvas.Put(box.Bottom() - 2, left, U(problem_), A::kBold, inner);
    return cursor;
  }

  bool Key(const KeyPress& key) override {
    problem_.clear();
    switch (key.key) {
      case Key::kEscape:
        static_cast<void>(answer_(std::nullopt));
        return true;
      case Key::kEnter:
        return Accept();
      case Key::kTab: {
        const std::string typed = EncodeUtf8(text_);
        const std::string completed = CompleteTyped(typed, patterns_, paths_);
        if (completed != typed) {
          SetText(U(completed));
        }
        return false;
      }
      case Key::kUp:
        Highlight(highlight_ < 0 ? static_cast<int>(entries_.size()) - 1 : highlight_ - 1);
        return false;
      case Key::kDown:
        Highlight(highlight_ + 1);
        return false;
      case Key::kPageUp:
        Highlight(std::max(highlight_ - std::max(list_.rows - 2, 1), 0));
        return false;
      case Key::kPageDown:
        Highlight(highlight_ + std::max(list_.rows - 2, 1));
        return false;
      default:
        break;
    }
    if (const auto edited = ApplyEditKey({text_, caret_}, key)) {
      if (edited->text != text_) {
        SetText(edited->text);
      }
      caret_ = edited->caret;
    }
    return false;
  }

  bool Click(CellPos cell) override {
    const CellRect lines{list_.row + 1, list_.col + 1, list_.rows - 2, list_.cols - 2};
    if (!lines.Contains(cell.row, cell.col)) {
      return false;
    }
    const int index = top_ + cell.row - lines.row;
    if (index >= static_cast<int>(entries_.size())) {
      return false;
    }
    if (index == highlight_) {
      return Accept();  // a second click on the same entry opens it
    }
    Highlight(index);
    return false;
  }

  [[nodiscard]] std::string Hints() const override {
    return "Tab: " + words_.complete + "  Up/Down: " + words_.choose + "  Enter: " + words_.open +
           "  Esc: " + words_.cancel;
  }

 private:
  // A new text typed: the list follows it, nothing is picked.
  void SetText(std::u32string text) {
    text_ = std::move(text);
    caret_ = static_cast<int>(text_.size());
    first_ = 0;
    const std::string typed = EncodeUtf8(text_);
    entries_ = ListTyped(typed, patterns_, paths_);
    listFolder_ = SplitTypedPath(typed).folder;
    highlight_ = -1;
    top_ = 0;
  }

  // Picks entry `index` of the list: the entry shows its path, the list
  // stays as it is.
  void Highlight(int index) {
    if (entries_.empty()) {
      return;
    }
    highlight_ = std::clamp(index, 0, static_cast<int>(entries_.size()) - 1);
    const std::string& name = entries_[static_cast<std::size_t>(highlight_)].name;
    std::string path = listFolder_ + name;
    if (name == "../") {
      path = ResolveTyped(listFolder_.empty() ? "." : listFolder_, paths_)
                 .lexically_normal()
                 .parent_path()
                 .parent_path()
                 .string();
      if (path.empty() || path.back() != '/') {
        path += '/';
      }
    }
    text_ = U(path);
    caret_ = static_cast<int>(text_.size());
  }

  bool Accept() {
    const std::string typed = EncodeUtf8(text_);
    if (typed.empty()) {
      return false;
    }
    const fs::path path = ResolveTyped(typed, paths_).lexically_normal();
    std::error_code error;
    if (fs::is_directory(path, error)) {
      std::string folder = path.string();
      if (folder.back() != '/') {
        folder += '/';
      }
      SetText(U(folder));
      return false;
    }
    const bool exists =
        fs::exists(path, error) ||
        fs::exists(W::AddDefaultExtension(path.string(), request_.defaultExtension), error);
    if (request_.fileMustExist && !exists) {
      problem_ = FillIn(words_.noSuchFile, path.filename().string());
      return false;
    }
    static_cast<void>(answer_(path.string()));
    return true;
  }

  W::OpenFileName request_;
  W::FileDialogAnswer answer_;
  PathContext paths_;
  const TerminalWords& words_;
  std::vector<std::string> patterns_;
  std::string filterText_;
  std::u32string text_;
  int caret_ = 0;
  int first_ = 0;  // first character of the entry shown
  std::vector<FolderEntry> entries_;
  std::string listFolder_;  // the folder part of the text the list was made for
  int highlight_ = -1;
  int top_ = 0;  // first entry shown
  CellRect list_;
  std::string problem_;
};

}  // namespace

std::string ButtonLabel(int button, const TerminalWords& words) {
  switch (button) {
    case W::IDOK:
      return words.ok;
    case W::IDCANCEL:
      return words.cancel;
    case W::IDABORT:
      return words.abort;
    case W::IDRETRY:
      return words.retry;
    case W::IDIGNORE:
      return words.ignore;
    case W::IDYES:
      return words.yes;
    case W::IDNO:
      return words.no;
    default:
      return "?";
  }
}

std::string IconMeaning(W::UINT style, const TerminalWords& words) {
  switch (style & W::MB_ICONMASK) {
    case W::MB_ICONHAND:
      return "(X) " + words.error;
    case W::MB_ICONQUESTION:
      return "(?) " + words.question;
    case W::MB_ICONEXCLAMATION:
      return "(!) " + words.warning;
    case W::MB_ICONASTERISK:
      return "(i) " + words.information;
    default:
      return {};
  }
}

std::unique_ptr<ModalBox> MakeMessageBox(W::MessageBoxRequest request, W::MessageBoxAnswer answer,
                                         const TerminalWords& words) {
  return std::make_unique<MessageBoxView>(std::move(request), std::move(answer), words);
}

std::unique_ptr<ModalBox> MakeFileDialog(W::OpenFileName request, W::FileDialogAnswer answer,
                                         PathContext paths, const TerminalWords& words) {
  return std::make_unique<FileDialogView>(std::move(request), std::move(answer), std::move(paths),
                                          words);
}

}  // namespace norix::platform::terminal
