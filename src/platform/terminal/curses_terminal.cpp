#include "platform/terminal/curses_terminal.h"

#include <array>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <string_view>

#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>

#include "platform/terminal/text_cells.h"

namespace norix::platform::terminal {

namespace {

namespace A = Attribute;

// Esc alone must reach the page quickly; sequences of the keypad come in
// one piece well within this.
constexpr int kEscapeDelayMs = 25;

constexpr int kControlC = 3;
constexpr int kControlH = 8;
constexpr int kControlL = 12;
constexpr int kEscape = 27;
constexpr int kDeleteCharacter = 127;

// Synchronized output: a terminal that knows it shows everything between the
// two as one picture, so a slow line (a serial console, ssh) never shows half
// of a page change; other terminals ignore private modes they do not know.
constexpr std::string_view kFrameBegin = "\033[?2026h";
constexpr std::string_view kFrameEnd = "\033[?2026l";

// Writes past curses, which has sent everything it holds by then.
void WriteToTerminal(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (wrote > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(wrote));
    } else if (wrote < 0 && errno != EINTR) {
      return;  // the terminal is gone; the next read says so
    }
  }
}

// Sequences that terminals send whatever their terminal description says:
// a description of a plain VT100 lacks Shift+Tab, Home, End and the
// editing keys, and keys in the cursor mode the terminal was not put in.
struct KnownSequence {
  const char* sequence;
  int key;
};
constexpr std::array<KnownSequence, 18> kKnownSequences{{
    {"\033[Z", KEY_BTAB},
    {"\033[A", KEY_UP},
    {"\033[B", KEY_DOWN},
    {"\033[C", KEY_RIGHT},
    {"\033[D", KEY_LEFT},
    {"\033OA", KEY_UP},
    {"\033OB", KEY_DOWN},
    {"\033OC", KEY_RIGHT},
    {"\033OD", KEY_LEFT},
    {"\033[H", KEY_HOME},
    {"\033[F", KEY_END},
    {"\033OH", KEY_HOME},
    {"\033OF", KEY_END},
    {"\033[1~", KEY_HOME},
    {"\033[4~", KEY_END},
    {"\033[3~", KEY_DC},
    {"\033[5~", KEY_PPAGE},
    {"\033[6~", KEY_NPAGE},
}};

attr_t CursesAttributes(std::uint8_t attributes) {
  attr_t out = A_NORMAL;
  if ((attributes & A::kBold) != 0) {
    out |= A_BOLD;
  }
  if ((attributes & A::kReverse) != 0) {
    out |= A_REVERSE;
  }
  if ((attributes & A::kUnderline) != 0) {
    out |= A_UNDERLINE;
  }
  if ((attributes & A::kDim) != 0) {
    out |= A_DIM;
  }
  return out;
}

const cchar_t* WideGlyph(Glyph glyph) {
  switch (glyph) {
    case Glyph::kHorizontal:
      return WACS_HLINE;
    case Glyph::kVertical:
      return WACS_VLINE;
    case Glyph::kUpperLeft:
      return WACS_ULCORNER;
    case Glyph::kUpperRight:
      return WACS_URCORNER;
    case Glyph::kLowerLeft:
      return WACS_LLCORNER;
    default:
      return WACS_LRCORNER;
  }
}

chtype NarrowGlyph(Glyph glyph) {
  switch (glyph) {
    case Glyph::kHorizontal:
      return ACS_HLINE;
    case Glyph::kVertical:
      return ACS_VLINE;
    case Glyph::kUpperLeft:
      return ACS_ULCORNER;
    case Glyph::kUpperRight:
      return ACS_URCORNER;
    case Glyph::kLowerLeft:
      return ACS_LLCORNER;
    default:
      return ACS_LRCORNER;
  }
}

std::optional<Key> FunctionKey(wint_t code) {
  switch (code) {
    case KEY_UP:
      return Key::kUp;
    case KEY_DOWN:
      return Key::kDown;
    case KEY_LEFT:
      return Key::kLeft;
    case KEY_RIGHT:
      return Key::kRight;
    case KEY_HOME:
      return Key::kHome;
    case KEY_END:
      return Key::kEnd;
    case KEY_PPAGE:
      return Key::kPageUp;
    case KEY_NPAGE:
      return Key::kPageDown;
    case KEY_BACKSPACE:
      return Key::kBackspace;
    case KEY_DC:
      return Key::kDelete;
    case KEY_BTAB:
      return Key::kBackTab;
    case KEY_ENTER:
      return Key::kEnter;
    default:
      return std::nullopt;
  }
}

}  // namespace

CursesTerminal::~CursesTerminal() { Close(); }

std::string CursesTerminal::Open() {
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
    return "the standard input and output are no terminal";
  }
  // Curses reads the character set from the locale. Only the character
  // type is taken from the user's settings: numbers and the protocol's
  // texts keep the "C" rules.
  // NOLINTNEXTLINE(concurrency-mt-unsafe): no thread of the program reads the locale
  static_cast<void>(std::setlocale(LC_CTYPE, ""));
  const std::string_view codeset = nl_langinfo(CODESET);  // NOLINT(concurrency-mt-unsafe)
  utf8_ = codeset == "UTF-8" || codeset == "utf8";
  set_escdelay(kEscapeDelayMs);
  SCREEN* screen = newterm(nullptr, stdout, stdin);
  if (screen == nullptr) {
    return "the terminal type (TERM) is unknown";
  }
  screen_ = screen;
  open_ = true;
  raw();  // Ctrl+C arrives as a key, so that the pages can be asked first
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  meta(stdscr, TRUE);
  for (const KnownSequence& known : kKnownSequences) {
    if (key_defined(known.sequence) == 0) {
      define_key(known.sequence, known.key);
    }
  }
  mouseinterval(0);
  mousemask(BUTTON1_PRESSED, nullptr);
  return {};
}

void CursesTerminal::Close() {
  if (!open_) {
    return;
  }
  open_ = false;
  mousemask(0, nullptr);
  curs_set(1);
  endwin();
  delscreen(static_cast<SCREEN*>(screen_));
  screen_ = nullptr;
}

CellSize CursesTerminal::Size() const {
  if (!open_) {
    return {};
  }
  return {LINES, COLS};
}

void CursesTerminal::Resized() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    resizeterm(size.ws_row, size.ws_col);
  }
  clearok(curscr, TRUE);
}

void CursesTerminal::Show(const Canvas& canvas, std::optional<CellPos> cursor) {
  if (!open_) {
    return;
  }
  WriteToTerminal(kFrameBegin);
  const int rows = std::min(canvas.Rows(), LINES);
  const int cols = std::min(canvas.Cols(), COLS);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const Cell& cell = canvas.At(r, c);
      if (cell.continuation) {
        continue;
      }
      const attr_t attributes = CursesAttributes(cell.attributes);
      if (cell.glyph != Glyph::kText) {
        if (utf8_) {
          cchar_t line = *WideGlyph(cell.glyph);
          line.attr |= attributes;
          mvadd_wch(r, c, &line);
        } else {
          mvaddch(r, c, NarrowGlyph(cell.glyph) | attributes);
        }
        continue;
      }
      if (utf8_) {
        std::array<wchar_t, 2> text{static_cast<wchar_t>(cell.character), L'\0'};
        cchar_t wide{};
        setcchar(&wide, text.data(), attributes, 0, nullptr);
        mvadd_wch(r, c, &wide);
      } else {
        mvaddch(r, c,
                static_cast<chtype>(static_cast<unsigned char>(AsciiStandIn(cell.character))) |
                    attributes);
      }
    }
  }
  if (cursor && cursor->row < LINES && cursor->col < COLS) {
    move(cursor->row, cursor->col);
    curs_set(1);
  } else {
    curs_set(0);
  }
  wnoutrefresh(stdscr);
  doupdate();
  WriteToTerminal(kFrameEnd);
}

std::vector<InputEvent> CursesTerminal::Read() {
  std::vector<InputEvent> events;
  if (!open_) {
    return events;
  }
  const auto key = [&](Key k, char32_t c = 0) {
    events.push_back({InputEvent::Kind::kKey, {k, c}, {}});
  };
  for (;;) {
    wint_t code = 0;
    const int got = wget_wch(stdscr, &code);
    if (got == ERR) {
      break;
    }
    if (got == KEY_CODE_YES) {
      if (code == KEY_RESIZE) {
        events.push_back({InputEvent::Kind::kRedraw, {}, {}});
      } else if (code == KEY_MOUSE) {
        MEVENT mouse{};
        if (getmouse(&mouse) == OK && (mouse.bstate & BUTTON1_PRESSED) != 0) {
          events.push_back({InputEvent::Kind::kClick, {}, {mouse.y, mouse.x}});
        }
      } else if (const auto function = FunctionKey(code)) {
        key(*function);
      }
      continue;
    }
    switch (code) {
      case L'\t':
        key(Key::kTab);
        break;
      case L'\r':
      case L'\n':
        key(Key::kEnter);
        break;
      case kEscape:
        key(Key::kEscape);
        break;
      case kControlH:
      case kDeleteCharacter:
        key(Key::kBackspace);
        break;
      case kControlC:
        events.push_back({InputEvent::Kind::kInterrupt, {}, {}});
        break;
      case kControlL:
        events.push_back({InputEvent::Kind::kRedraw, {}, {}});
        break;
      default:
        if (code >= 0x20) {
          key(Key::kCharacter, static_cast<char32_t>(code));
        }
        break;
    }
  }
  return events;
}

}  // namespace norix::platform::terminal
