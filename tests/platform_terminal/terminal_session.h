// norix-config run on a pseudo-terminal inside a virtual terminal
// (libvterm): the test types keys as a terminal sends them (in the cursor
// mode the program put the terminal in), clicks where the program asked for
// the mouse, resizes the terminal, and reads the screen as text. A frame the
// program marks for synchronized output is shown whole, as such a terminal
// shows it: a test never acts on half a page change. Every wait
// sleeps in poll() on the program's output (or its exit) up to a time-out;
// nothing waits a fixed time.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/types.h>
#include <vterm.h>

namespace norix::testing {

struct TerminalOptions {
  std::vector<std::string> arguments;  // after the program's name
  // Set in the program's environment, over the test's own; DISPLAY,
  // WAYLAND_DISPLAY and QT_QPA_PLATFORM are always left out.
  std::vector<std::pair<std::string, std::string>> environment;
  std::string term = "xterm";
  bool utf8 = true;  // LANG C.UTF-8, else C
  int rows = 24;
  int cols = 80;
};

class TerminalSession {
 public:
  using Timeout = std::chrono::milliseconds;

  // Starts `program` on a new pty of the given size. A failure to start is
  // a test failure; the session then reads nothing.
  TerminalSession(const std::filesystem::path& program, const TerminalOptions& options);
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;
  TerminalSession(TerminalSession&&) = delete;
  TerminalSession& operator=(TerminalSession&&) = delete;
  // Kills the program if it still runs and reaps it.
  ~TerminalSession();

  // Waits until `condition` holds for the screen text; false on time-out or
  // when the program ended without it holding.
  bool WaitFor(const std::function<bool(const std::string& screen)>& condition, Timeout timeout);
  bool WaitForText(std::string_view text, Timeout timeout);
  // Waits until `text` is gone from the screen.
  bool WaitForTextGone(std::string_view text, Timeout timeout);

  // A key as the terminal sends it.
  void Key(VTermKey key, VTermModifier modifiers = VTERM_MOD_NONE);
  // Characters typed.
  void Type(std::u32string_view text);
  // A click of the left button on the cell, when the program asked for the
  // mouse.
  void Click(int row, int col);
  // The terminal's new size: the program gets SIGWINCH.
  void Resize(int rows, int cols);

  // The screen, each row ended by a line feed, trailing blanks cut.
  [[nodiscard]] std::string Screen() const;
  // The first cell showing `text`; nullopt when none does.
  [[nodiscard]] std::optional<std::pair<int, int>> Find(std::string_view text) const;
  // Where the cursor is (row, column).
  [[nodiscard]] std::pair<int, int> Cursor() const;
  // Whether the cell shows in reverse (a focused control, a title line).
  [[nodiscard]] bool Reverse(int row, int col) const;
  // The characters shown in reverse between the top and the bottom row.
  [[nodiscard]] std::string Highlighted() const;

  // Waits for the program to end; its exit status (128 + signal when a
  // signal ended it), nullopt on time-out.
  std::optional<int> WaitExit(Timeout timeout);

  // Everything the program wrote, for a failure's message.
  [[nodiscard]] const std::string& Output() const { return output_; }

 private:
  // Reads what the program wrote into the terminal, waiting up to
  // `timeout` for the first bytes; false once the pty is closed.
  bool Pump(Timeout timeout);
  // Puts what was read into the terminal, holding back an unfinished frame.
  void Show(std::string_view bytes);
  void Send();

  VTerm* vterm_ = nullptr;
  VTermScreen* screen_ = nullptr;
  int master_ = -1;
  int pidfd_ = -1;
  pid_t pid_ = -1;
  std::optional<int> status_;
  bool closed_ = false;
  std::string output_;
  std::string unshown_;  // the start of a frame whose end has not come yet
};

}  // namespace norix::testing
