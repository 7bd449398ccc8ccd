#include "platform/terminal/dialog_view.h"

#include <algorithm>
#include <map>

#include "platform/terminal/cell_layout.h"
#include "platform/terminal/text_cells.h"

namespace norix::platform::terminal {

namespace {

namespace W = window;
namespace S = W::ControlStyle;
namespace A = Attribute;
using K = W::ControlKind;

constexpr std::u32string_view kMore = U"...";

CellRect Shrink(const CellRect& rect, int rows, int cols) {
  return {rect.row + rows, rect.col + cols, std::max(rect.rows - 2 * rows, 0),
          std::max(rect.cols - 2 * cols, 0)};
}

bool Intersects(const CellRect& a, const CellRect& b) {
  return !a.Empty() && !b.Empty() && a.row < b.Bottom() && b.row < a.Bottom() &&
         a.col < b.Right() && b.col < a.Right();
}

std::u32string OneLine(std::string_view text) {
  std::u32string line = DecodeUtf8(text);
  for (char32_t& c : line) {
    if (c == U'\r' || c == U'\n' || c == U'\t') {
      c = U' ';
    }
  }
  return line;
}

std::u32string Repeat(char32_t c, int count) {
  return std::u32string(static_cast<std::size_t>(std::max(count, 0)), c);
}

// `text` centred in `width` columns (left-aligned when it does not fit).
std::u32string Centred(std::u32string_view text, int width) {
  const std::u32string fitted = FitWidth(text, width);
  const int space = width - TextWidth(fitted);
  return Repeat(U' ', space / 2) + fitted + Repeat(U' ', space - space / 2);
}

std::u32string ArrowText(const W::ControlState& state, const PictureText& pictures) {
  std::string text = pictures ? pictures(state.picture) : std::string();
  if (text.empty()) {
    text = state.text;
  }
  return text.empty() ? U"?" : OneLine(text);
}

std::u32string BoxMark(const W::ControlState& state) {
  if (state.kind == K::kRadio) {
    return state.checked == W::BST_CHECKED ? U"(*)" : U"( )";
  }
  switch (state.checked) {
    case W::BST_CHECKED:
      return U"[x]";
    case W::BST_INDETERMINATE:
      return U"[-]";
    default:
      return U"[ ]";
  }
}

// Which cells the visible controls of a dialog hold, so that a text that
// needs more room takes only free ones.
class Occupancy {
 public:
  explicit Occupancy(const CellRect& area)
      : area_(area),
        owner_(static_cast<std::size_t>(std::max(area.rows, 0) * std::max(area.cols, 0)), -1) {}

  void Take(const CellRect& rect, int index) {
    for (int r = rect.row; r < rect.Bottom(); ++r) {
      for (int c = rect.col; c < rect.Right(); ++c) {
        if (area_.Contains(r, c)) {
          owner_[Index(r, c)] = index;
        }
      }
    }
  }

  [[nodiscard]] bool Free(int row, int col, int index) const {
    if (!area_.Contains(row, col)) {
      return false;
    }
    const int owner = owner_[Index(row, col)];
    return owner < 0 || owner == index;
  }

  // Widens `rect` to `cols` columns as far as free cells allow.
  void Widen(CellRect& rect, int cols, int index) const {
    while (rect.cols < cols) {
      bool free = true;
      for (int r = rect.row; r < rect.Bottom() && free; ++r) {
        free = Free(r, rect.Right(), index);
      }
      if (!free) {
        return;
      }
      ++rect.cols;
    }
  }

  // Lengthens `rect` to `rows` rows as far as free cells allow.
  void Lengthen(CellRect& rect, int rows, int index) const {
    while (rect.rows < rows) {
      bool free = true;
      for (int c = rect.col; c < rect.Right() && free; ++c) {
        free = Free(rect.Bottom(), c, index);
      }
      if (!free) {
        return;
      }
      ++rect.rows;
    }
  }

 private:
  [[nodiscard]] std::size_t Index(int row, int col) const {
    return static_cast<std::size_t>(row - area_.row) * static_cast<std::size_t>(area_.cols) +
           static_cast<std::size_t>(col - area_.col);
  }

  CellRect area_;
  std::vector<int> owner_;
};

// The arrow buttons of each row, from the right edge of the rightmost one,
// in their order from left to right: "[< Back] [> Next]". When their
// meanings do not fit beside the other controls of the row, the symbols
// alone: "[<] [>]".
void PackArrowButtons(const DialogView& dialog, const PictureText& pictures,
                      std::vector<CellRect>& placed, std::vector<std::u32string>& labels) {
  std::map<int, std::vector<int>> rows;
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    if (!placed[i].Empty() && dialog.controls[i].state.kind == K::kArrowButton) {
      rows[placed[i].row].push_back(static_cast<int>(i));
    }
  }
  for (auto& entry : rows) {
    const int row = entry.first;
    std::vector<int>& arrows = entry.second;
    std::sort(arrows.begin(), arrows.end(), [&](int a, int b) {
      return placed[static_cast<std::size_t>(a)].col < placed[static_cast<std::size_t>(b)].col;
    });
    int right = 0;
    for (const int i : arrows) {
      right = std::max(right, placed[static_cast<std::size_t>(i)].Right());
    }
    const auto layoutWith = [&](bool symbolsOnly) {
      int total = -1;
      for (const int i : arrows) {
        const std::u32string text =
            ArrowText(dialog.controls[static_cast<std::size_t>(i)].state, pictures);
        labels[static_cast<std::size_t>(i)] =
            U"[" + (symbolsOnly ? text.substr(0, 1) : text) + U"]";
        total += TextWidth(labels[static_cast<std::size_t>(i)]) + 1;
      }
      return total;
    };
    int total = layoutWith(false);
    const CellRect band{row, right - total, 1, total};
    bool fits = band.col >= dialog.frame.col;
    for (std::size_t i = 0; i < dialog.controls.size() && fits; ++i) {
      fits = dialog.controls[i].state.kind == K::kArrowButton || !Intersects(placed[i], band);
    }
    if (!fits) {
      total = layoutWith(true);
    }
    int col = right - total;
    for (const int i : arrows) {
      const int width = TextWidth(labels[static_cast<std::size_t>(i)]);
      placed[static_cast<std::size_t>(i)] = {row, col, 1, width};
      col += width + 1;
    }
  }
}

// The columns a control would like beyond its own cells; 0 for none.
int WantedCols(const W::ControlState& state, const PictureText& pictures) {
  switch (state.kind) {
    case K::kStaticText:
      return (state.style & (S::kMultiLine | S::kBorder)) != 0 ? 0 : TextWidth(OneLine(state.text));
    case K::kPicture:
      return TextWidth(OneLine(pictures ? pictures(state.picture) : std::string()));
    case K::kCheckBox:
    case K::kRadio:
      return state.text.empty() ? 3 : 4 + TextWidth(OneLine(state.text));
    case K::kPushButton:
    case K::kBigButton:
      return TextWidth(OneLine(state.text)) + 4;
    default:
      return 0;
  }
}

struct Painter {
  Canvas& canvas;
  const PictureText& pictures;

  void Text(const ControlView& view, const CellRect& at, std::uint8_t attributes) const {
    const W::ControlState& state = view.state;
    if ((state.style & S::kBorder) != 0) {
      const std::u32string inner = FitWidth(OneLine(state.text), at.cols - 2);
      canvas.Put(at.row, at.col, U"[" + inner + Repeat(U' ', at.cols - 2 - TextWidth(inner)) + U"]",
                 attributes);
      return;
    }
    if ((state.style & S::kMultiLine) != 0) {
      std::vector<std::u32string> lines = WrapText(DecodeUtf8(state.text), at.cols);
      if (static_cast<int>(lines.size()) > at.rows && at.rows > 0) {
        std::u32string& last = lines[static_cast<std::size_t>(at.rows - 1)];
        last = FitWidth(last, at.cols - static_cast<int>(kMore.size())) + std::u32string(kMore);
      }
      for (int r = 0; r < at.rows && r < static_cast<int>(lines.size()); ++r) {
        Line(lines[static_cast<std::size_t>(r)], view.cells, {at.row + r, at.col, 1, at.cols},
             state.style, attributes);
      }
      return;
    }
    Line(OneLine(state.text), view.cells, at, state.style, attributes);
  }

  // A line aligned as the style says within the control's own cells when it
  // fits there, else from its left edge over the cells it was given.
  void Line(const std::u32string& text, const CellRect& own, const CellRect& at,
            std::uint32_t style, std::uint8_t attributes) const {
    const int width = TextWidth(text);
    int col = at.col;
    if (width <= own.cols && (style & S::kCentered) != 0) {
      col = own.col + (own.cols - width) / 2;
    } else if (width <= own.cols && (style & S::kRightAligned) != 0) {
      col = own.col + own.cols - width;
    }
    canvas.Put(at.row, col, text, attributes, at.Right() - col);
  }

  // Returns the caret's cell.
  CellPos Edit(ControlView& view, const CellRect& at, std::uint8_t attributes, bool focused) const {
    const W::ControlState& state = view.state;
    const bool writable = state.enabled && (state.style & S::kReadOnly) == 0;
    const int inner = std::max(at.cols - 2, 1);
    const std::u32string text = OneLine(state.text);
    const int size = static_cast<int>(text.size());
    const int caret = view.caret < 0 ? size : std::min(view.caret, size);
    view.first = std::clamp(view.first, 0, caret);
    while (view.first < caret && TextWidth(std::u32string_view(text).substr(
                                     static_cast<std::size_t>(view.first),
                                     static_cast<std::size_t>(caret - view.first))) >= inner) {
      ++view.first;
    }
    const std::u32string shown =
        FitWidth(std::u32string_view(text).substr(static_cast<std::size_t>(view.first)), inner);
    const std::uint8_t bracket =
        focused ? static_cast<std::uint8_t>(attributes | A::kReverse) : attributes;
    canvas.Put(at.row, at.col, U"[", bracket);
    canvas.Put(at.row, at.col + 1, shown + Repeat(writable ? U'_' : U' ', inner - TextWidth(shown)),
               attributes, inner);
    canvas.Put(at.row, at.col + 1 + inner, U"]", bracket);
    const int caretCol = TextWidth(std::u32string_view(text).substr(
        static_cast<std::size_t>(view.first), static_cast<std::size_t>(caret - view.first)));
    return {at.row, at.col + 1 + std::min(caretCol, inner - 1)};
  }

  void DropDown(const ControlView& view, const CellRect& at, std::uint8_t attributes) const {
    const int inner = std::max(at.cols - 3, 0);
    const std::u32string text = FitWidth(OneLine(view.state.text), inner);
    canvas.Put(at.row, at.col, U"[" + text + Repeat(U' ', inner - TextWidth(text)) + U"v]",
               attributes);
  }

  void ListBox(ControlView& view, const CellRect& at, std::uint8_t attributes, bool focused) const {
    const CellRect inner = at.rows >= 3 && at.cols >= 4 ? Shrink(at, 1, 1) : at;
    if (inner != at) {
      canvas.Frame(at, attributes);
    }
    const W::ControlState& state = view.state;
    const int count = static_cast<int>(state.items.size());
    if (state.selection >= 0) {
      if (state.selection < view.first) {
        view.first = state.selection;
      } else if (state.selection >= view.first + inner.rows) {
        view.first = state.selection - inner.rows + 1;
      }
    }
    view.first = std::clamp(view.first, 0, std::max(count - inner.rows, 0));
    for (int r = 0; r < inner.rows && view.first + r < count; ++r) {
      const int line = view.first + r;
      const bool selected = line == state.selection;
      std::uint8_t lineAttributes = attributes;
      if (selected) {
        lineAttributes |= focused ? A::kReverse : A::kBold;
      }
      const std::u32string text =
          (selected ? U">" : U" ") + OneLine(state.items[static_cast<std::size_t>(line)].text);
      canvas.Put(inner.row + r, inner.col,
                 FitWidth(text, inner.cols) + Repeat(U' ', inner.cols - TextWidth(text)),
                 lineAttributes, inner.cols);
    }
  }

  void Bar(const ControlView& view, const CellRect& at, std::uint8_t attributes) const {
    const W::ControlState& state = view.state;
    const int inner = std::max(at.cols - 2, 1);
    const int range = state.rangeMax - state.rangeMin;
    const int offset = std::clamp(state.position - state.rangeMin, 0, std::max(range, 0));
    std::u32string body;
    if (state.kind == K::kProgressBar) {
      const int filled = range > 0 ? offset * inner / range : 0;
      body = Repeat(U'#', filled) + Repeat(U'.', inner - filled);
    } else {
      const int thumb = range > 0 ? (offset * (inner - 1) + range / 2) / range : 0;
      body = Repeat(U'-', inner);
      body[static_cast<std::size_t>(thumb)] = U'O';
    }
    canvas.Put(at.row, at.col, U"[" + body + U"]", attributes);
  }

  void Button(const std::u32string& label, const CellRect& at, std::uint8_t attributes,
              bool enabled) const {
    const std::u32string open = enabled ? U"[" : U" ";
    const std::u32string close = enabled ? U"]" : U" ";
    canvas.Put(at.row, at.col, open + Centred(label, at.cols - 2) + close, attributes, at.cols);
  }

  void GroupBox(const ControlView& view, const CellRect& at, std::uint8_t attributes) const {
    if (at.rows >= 2) {
      canvas.Frame(at, attributes);
    } else {
      canvas.HorizontalLine(at.row, at.col, at.cols, attributes);
    }
    if (!view.state.text.empty()) {
      canvas.Put(at.row, at.col + 2, U" " + OneLine(view.state.text) + U" ", attributes,
                 at.cols - 4);
    }
  }
};

}  // namespace

ControlView* DialogView::Find(int id) {
  for (ControlView& control : controls) {
    if (control.state.id == id) {
      return &control;
    }
  }
  return nullptr;
}

ControlView* DialogView::Focused() { return window.focusId == 0 ? nullptr : Find(window.focusId); }

void PlaceDialog(DialogView& dialog, const CellRect& area) {
  std::vector<LayoutControl> layout;
  layout.reserve(dialog.controls.size());
  for (const ControlView& control : dialog.controls) {
    layout.push_back({control.state.rectUnits, control.state.kind, control.state.style});
  }
  CellRect inner = area;
  if (dialog.Popup()) {
    const CellSize natural = NaturalSize(layout);
    const int rows = std::min(natural.rows + 2, area.rows);
    const int cols = std::min(
        std::max(natural.cols + 4, TextWidth(OneLine(dialog.window.caption)) + 6), area.cols);
    dialog.frame = {area.row + (area.rows - rows) / 2, area.col + (area.cols - cols) / 2, rows,
                    cols};
    inner = Shrink(dialog.frame, 1, 2);
  } else {
    dialog.frame = area;
  }
  const std::vector<CellRect> cells = LayOut(layout, inner);
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    dialog.controls[i].cells = cells[i];
  }
}

std::optional<CellPos> DrawDialog(Canvas& canvas, DialogView& dialog, const PictureText& pictures,
                                  bool active) {
  canvas.Fill(dialog.frame, U' ', 0);
  CellRect inner = dialog.frame;
  if (dialog.Popup()) {
    canvas.Frame(dialog.frame);
    canvas.Put(dialog.frame.row, dialog.frame.col + 2, U" " + OneLine(dialog.window.caption) + U" ",
               A::kBold, dialog.frame.cols - 4);
    inner = Shrink(dialog.frame, 1, 1);
  }

  const std::size_t count = dialog.controls.size();
  std::vector<CellRect> placed(count);
  std::vector<std::u32string> labels(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (dialog.controls[i].state.visible) {
      placed[i] = dialog.controls[i].cells;
    }
  }
  PackArrowButtons(dialog, pictures, placed, labels);

  // Texts, labels and pictures take free cells beside them when their own
  // are too few; the controls are taken first so that none is covered.
  Occupancy occupancy(inner);
  for (std::size_t i = 0; i < count; ++i) {
    if (dialog.controls[i].state.kind != K::kGroupBox) {
      occupancy.Take(placed[i], static_cast<int>(i));
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const W::ControlState& state = dialog.controls[i].state;
    if (placed[i].Empty() || state.kind == K::kGroupBox) {
      continue;
    }
    const int index = static_cast<int>(i);
    occupancy.Widen(placed[i], WantedCols(state, pictures), index);
    if (state.kind == K::kStaticText && (state.style & S::kMultiLine) != 0) {
      const auto lines = static_cast<int>(WrapText(DecodeUtf8(state.text), placed[i].cols).size());
      occupancy.Lengthen(placed[i], lines, index);
    }
    occupancy.Take(placed[i], index);
  }

  const Painter paint{canvas, pictures};
  const ControlView* focused =
      active && dialog.window.enabled ? dialog.Focused() : static_cast<const ControlView*>(nullptr);
  std::optional<CellPos> cursor;
  for (ControlView& view : dialog.controls) {
    view.drawn = {};
  }
  // Frames and lines first: what they surround is drawn over them.
  for (const bool background : {true, false}) {
    for (std::size_t i = 0; i < count; ++i) {
      ControlView& view = dialog.controls[i];
      const W::ControlState& state = view.state;
      if (placed[i].Empty() ||
          background != (state.kind == K::kGroupBox || state.kind == K::kLine)) {
        continue;
      }
      const CellRect& at = placed[i];
      view.drawn = at;
      const bool isFocused = &view == focused;
      std::uint8_t attributes = state.font && state.font->weight >= 600 ? A::kBold : 0;
      if (!state.enabled) {
        attributes |= A::kDim;
      }
      const std::uint8_t shown =
          isFocused ? static_cast<std::uint8_t>(attributes | A::kReverse) : attributes;
      CellPos caret{at.row, at.col};
      switch (state.kind) {
        case K::kStaticText:
          paint.Text(view, at, attributes);
          break;
        case K::kPicture:
          paint.Line(OneLine(pictures ? pictures(state.picture) : std::string()), view.cells, at,
                     S::kCentered, attributes);
          break;
        case K::kGroupBox:
          paint.GroupBox(view, at, attributes);
          break;
        case K::kLine:
          if ((state.style & S::kVertical) != 0) {
            canvas.VerticalLine(at.row, at.col, at.rows, attributes);
          } else {
            canvas.HorizontalLine(at.row, at.col, at.cols, attributes);
          }
          break;
        case K::kPushButton:
        case K::kBigButton:
          paint.Button(OneLine(state.text), at, shown, state.enabled);
          caret.col += 1;
          break;
        case K::kArrowButton:
          canvas.Put(at.row, at.col, labels[i], shown, at.cols);
          caret.col += 1;
          break;
        case K::kCheckBox:
        case K::kRadio: {
          canvas.Put(at.row, at.col, BoxMark(state), shown, at.cols);
          if (!state.text.empty()) {
            canvas.Put(at.row, at.col + 3, U" " + OneLine(state.text), shown, at.cols - 3);
          }
          caret.col += 1;
          break;
        }
        case K::kEdit:
          caret = paint.Edit(view, at, attributes, isFocused);
          break;
        case K::kDropDownList:
          paint.DropDown(view, at, shown);
          caret.col += 1;
          break;
        case K::kListBox:
          paint.ListBox(view, at, attributes, isFocused);
          break;
        case K::kProgressBar:
        case K::kTrackbar:
          paint.Bar(view, at, shown);
          break;
      }
      if (isFocused) {
        cursor = caret;
      }
    }
  }
  return cursor;
}

int ControlAt(const DialogView& dialog, CellPos cell) {
  for (std::size_t i = dialog.controls.size(); i-- > 0;) {
    const ControlView& view = dialog.controls[i];
    if (view.state.kind != K::kGroupBox && view.state.kind != K::kLine &&
        view.drawn.Contains(cell.row, cell.col)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int ListLineAt(const ControlView& list, CellPos cell) {
  const CellRect& at = list.drawn;
  const CellRect inner = at.rows >= 3 && at.cols >= 4 ? Shrink(at, 1, 1) : at;
  if (!inner.Contains(cell.row, cell.col)) {
    return -1;
  }
  const int line = list.first + cell.row - inner.row;
  return line < static_cast<int>(list.state.items.size()) ? line : -1;
}

int TrackbarPositionAt(const ControlView& trackbar, int col) {
  const W::ControlState& state = trackbar.state;
  const int inner = std::max(trackbar.drawn.cols - 2, 1);
  const int offset = std::clamp(col - trackbar.drawn.col - 1, 0, inner - 1);
  if (inner <= 1) {
    return state.rangeMin;
  }
  const int range = state.rangeMax - state.rangeMin;
  return state.rangeMin + (offset * range + (inner - 1) / 2) / (inner - 1);
}

}  // namespace norix::platform::terminal
