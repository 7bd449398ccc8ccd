// A screen's worth of character cells that the terminal front end draws
// into before the terminal gets it: each cell holds a character or a line
// drawing piece and its attributes. Drawing clips at the canvas edges, so
// callers may draw anything anywhere. The canvas knows nothing of curses;
// tests read it as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::terminal {

// A rectangle of cells; rows and columns count from the top left.
struct CellRect {
  int row = 0;
  int col = 0;
  int rows = 0;
  int cols = 0;

  [[nodiscard]] constexpr int Bottom() const { return row + rows; }  // exclusive
  [[nodiscard]] constexpr int Right() const { return col + cols; }   // exclusive
  [[nodiscard]] constexpr bool Empty() const { return rows <= 0 || cols <= 0; }
  [[nodiscard]] constexpr bool Contains(int r, int c) const {
    return r >= row && r < Bottom() && c >= col && c < Right();
  }

  friend bool operator==(const CellRect&, const CellRect&) = default;
};

// One cell's place.
struct CellPos {
  int row = 0;
  int col = 0;

  friend bool operator==(const CellPos&, const CellPos&) = default;
};

// Line drawing pieces: the terminal's line characters where it has them,
// ASCII otherwise.
enum class Glyph : std::uint8_t {
  kText,
  kHorizontal,
  kVertical,
  kUpperLeft,
  kUpperRight,
  kLowerLeft,
  kLowerRight,
};

// Cell attributes; a terminal without colour has all of them.
namespace Attribute {
inline constexpr std::uint8_t kBold = 1U << 0;
inline constexpr std::uint8_t kReverse = 1U << 1;
inline constexpr std::uint8_t kUnderline = 1U << 2;
inline constexpr std::uint8_t kDim = 1U << 3;
}  // namespace Attribute

struct Cell {
  char32_t character = U' ';
  Glyph glyph = Glyph::kText;
  std::uint8_t attributes = 0;
  bool continuation = false;  // the right half of a wide character

  friend bool operator==(const Cell&, const Cell&) = default;
};

class Canvas {
 public:
  Canvas() = default;
  Canvas(int rows, int cols);

  [[nodiscard]] int Rows() const { return rows_; }
  [[nodiscard]] int Cols() const { return cols_; }
  // Blank cells, no attributes; the size may change.
  void Reset(int rows, int cols);

  // Writes `text` from (row, col), at most `width` columns (and never beyond
  // the canvas); returns the columns written. A wide character that would
  // be cut is left out.
  int Put(int row, int col, std::u32string_view text, std::uint8_t attributes, int width = 1 << 20);
  int Put(int row, int col, std::string_view utf8, std::uint8_t attributes, int width = 1 << 20);
  void Fill(const CellRect& area, char32_t character, std::uint8_t attributes);
  // Adds attributes to the cells of `area` (their characters stay).
  void Mark(const CellRect& area, std::uint8_t attributes);
  void PutGlyph(int row, int col, Glyph glyph, std::uint8_t attributes = 0);
  void HorizontalLine(int row, int col, int length, std::uint8_t attributes = 0);
  void VerticalLine(int row, int col, int length, std::uint8_t attributes = 0);
  // A frame along the edges of `area`.
  void Frame(const CellRect& area, std::uint8_t attributes = 0);

  [[nodiscard]] const Cell& At(int row, int col) const;
  // One row as UTF-8, line pieces as '-', '|' and '+', trailing blanks cut.
  [[nodiscard]] std::string RowText(int row) const;
  // Every row, each ended by a line feed.
  [[nodiscard]] std::string Text() const;

 private:
  [[nodiscard]] bool Inside(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < cols_;
  }
  Cell& CellAt(int row, int col);

  int rows_ = 0;
  int cols_ = 0;
  std::vector<Cell> cells_;
};

}  // namespace norix::platform::terminal
