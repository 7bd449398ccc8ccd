#include "platform/terminal/canvas.h"

#include <algorithm>

#include "platform/terminal/text_cells.h"

namespace norix::platform::terminal {

namespace {

char AsciiOf(Glyph glyph) {
  switch (glyph) {
    case Glyph::kHorizontal:
      return '-';
    case Glyph::kVertical:
      return '|';
    case Glyph::kText:
      return ' ';
    default:
      return '+';
  }
}

}  // namespace

Canvas::Canvas(int rows, int cols) { Reset(rows, cols); }

void Canvas::Reset(int rows, int cols) {
  rows_ = std::max(rows, 0);
  cols_ = std::max(cols, 0);
  cells_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), Cell{});
}

Cell& Canvas::CellAt(int row, int col) {
  return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
                static_cast<std::size_t>(col)];
}

const Cell& Canvas::At(int row, int col) const {
  static const Cell kOutside{};
  if (!Inside(row, col)) {
    return kOutside;
  }
  return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
                static_cast<std::size_t>(col)];
}

int Canvas::Put(int row, int col, std::u32string_view text, std::uint8_t attributes, int width) {
  if (row < 0 || row >= rows_) {
    return 0;
  }
  const int end = std::min(cols_, col + std::max(width, 0));
  int at = col;
  for (const char32_t c : text) {
    const int w = CellWidth(c);
    if (w == 0) {
      continue;  // combining marks and controls: the terminal cell holds one character
    }
    if (at + w > end) {
      break;
    }
    if (at >= 0) {
      Cell& cell = CellAt(row, at);
      cell = Cell{c, Glyph::kText, attributes, false};
      if (w == 2 && at + 1 < cols_) {
        CellAt(row, at + 1) = Cell{U' ', Glyph::kText, attributes, true};
      }
    }
    at += w;
  }
  return std::max(at - col, 0);
}

int Canvas::Put(int row, int col, std::string_view utf8, std::uint8_t attributes, int width) {
  return Put(row, col, DecodeUtf8(utf8), attributes, width);
}

void Canvas::Fill(const CellRect& area, char32_t character, std::uint8_t attributes) {
  for (int r = std::max(area.row, 0); r < std::min(area.Bottom(), rows_); ++r) {
    for (int c = std::max(area.col, 0); c < std::min(area.Right(), cols_); ++c) {
      CellAt(r, c) = Cell{character, Glyph::kText, attributes, false};
    }
  }
}

void Canvas::Mark(const CellRect& area, std::uint8_t attributes) {
  for (int r = std::max(area.row, 0); r < std::min(area.Bottom(), rows_); ++r) {
    for (int c = std::max(area.col, 0); c < std::min(area.Right(), cols_); ++c) {
      CellAt(r, c).attributes |= attributes;
    }
  }
}

void Canvas::PutGlyph(int row, int col, Glyph glyph, std::uint8_t attributes) {
  if (Inside(row, col)) {
    CellAt(row, col) = Cell{U' ', glyph, attributes, false};
  }
}

void Canvas::HorizontalLine(int row, int col, int length, std::uint8_t attributes) {
  for (int c = col; c < col + length; ++c) {
    PutGlyph(row, c, Glyph::kHorizontal, attributes);
  }
}

void Canvas::VerticalLine(int row, int col, int length, std::uint8_t attributes) {
  for (int r = row; r < row + length; ++r) {
    PutGlyph(r, col, Glyph::kVertical, attributes);
  }
}

void Canvas::Frame(const CellRect& area, std::uint8_t attributes) {
  if (area.rows < 2 || area.cols < 2) {
    return;
  }
  HorizontalLine(area.row, area.col + 1, area.cols - 2, attributes);
  HorizontalLine(area.Bottom() - 1, area.col + 1, area.cols - 2, attributes);
  VerticalLine(area.row + 1, area.col, area.rows - 2, attributes);
  VerticalLine(area.row + 1, area.Right() - 1, area.rows - 2, attributes);
  PutGlyph(area.row, area.col, Glyph::kUpperLeft, attributes);
  PutGlyph(area.row, area.Right() - 1, Glyph::kUpperRight, attributes);
  PutGlyph(area.Bottom() - 1, area.col, Glyph::kLowerLeft, attributes);
  PutGlyph(area.Bottom() - 1, area.Right() - 1, Glyph::kLowerRight, attributes);
}

std::string Canvas::RowText(int row) const {
  std::u32string line;
  for (int c = 0; c < cols_; ++c) {
    const Cell& cell = At(row, c);
    if (cell.continuation) {
      continue;
    }
    line.push_back(cell.glyph == Glyph::kText ? cell.character
                                              : static_cast<char32_t>(AsciiOf(cell.glyph)));
  }
  while (!line.empty() && line.back() == U' ') {
    line.pop_back();
  }
  return EncodeUtf8(line);
}

std::string Canvas::Text() const {
  std::string text;
  for (int r = 0; r < rows_; ++r) {
    text += RowText(r);
    text += '\n';
  }
  return text;
}

}  // namespace norix::platform::terminal
