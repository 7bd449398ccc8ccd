#include "platform_terminal/terminal_session.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;  // NOLINT(readability-redundant-declaration): POSIX gives no header for it

namespace norix::testing {

namespace {

using Clock = std::chrono::steady_clock;

bool LeftOut(std::string_view name, const TerminalOptions& options) {
  for (const std::string_view dropped : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TERM",
                                         "LANG", "LANGUAGE", "COLUMNS", "LINES"}) {
    if (name == dropped) {
      return true;
    }
  }
  if (name.starts_with("LC_")) {
    return true;
  }
  return std::any_of(options.environment.begin(), options.environment.end(),
                     [&](const auto& setting) { return setting.first == name; });
}

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0U | (c >> 6U)));
    out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0U | (c >> 12U)));
    out.push_back(static_cast<char>(0x80U | ((c >> 6U) & 0x3FU)));
    out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
  } else {
    out.push_back(static_cast<char>(0xF0U | (c >> 18U)));
    out.push_back(static_cast<char>(0x80U | ((c >> 12U) & 0x3FU)));
    out.push_back(static_cast<char>(0x80U | ((c >> 6U) & 0x3FU)));
    out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
  }
}

}  // namespace

TerminalSession::TerminalSession(const std::filesystem::path& program,
                                 const TerminalOptions& options) {
  vterm_ = vterm_new(options.rows, options.cols);
  vterm_set_utf8(vterm_, 1);
  screen_ = vterm_obtain_screen(vterm_);
  vterm_screen_enable_altscreen(screen_, 1);
  vterm_screen_reset(screen_, 1);

  // Everything the child needs is made before fork(): after it, only
  // execve() and _exit().
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view setting(*entry);
    if (!LeftOut(setting.substr(0, setting.find('=')), options)) {
      environment.emplace_back(setting);
    }
  }
  environment.push_back("TERM=" + options.term);
  environment.emplace_back(options.utf8 ? "LANG=C.UTF-8" : "LANG=C");
  for (const auto& [name, value] : options.environment) {
    environment.push_back(name);
    environment.back().append("=").append(value);
  }
  std::vector<char*> envp;
  envp.reserve(environment.size() + 1);
  for (std::string& setting : environment) {
    envp.push_back(setting.data());
  }
  envp.push_back(nullptr);
  std::string path = program.string();
  std::vector<std::string> arguments = options.arguments;
  std::vector<char*> argv{path.data()};
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  winsize size{};
  size.ws_row = static_cast<unsigned short>(options.rows);
  size.ws_col = static_cast<unsigned short>(options.cols);
  pid_ = forkpty(&master_, nullptr, nullptr, &size);
  if (pid_ == 0) {
    execve(path.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  if (pid_ < 0) {
    ADD_FAILURE() << "forkpty: " << std::strerror(errno);  // NOLINT(concurrency-mt-unsafe)
    closed_ = true;
    return;
  }
  static_cast<void>(fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK));
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

TerminalSession::~TerminalSession() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  for (const int fd : {master_, pidfd_}) {
    if (fd >= 0) {
      close(fd);
    }
  }
  vterm_free(vterm_);
}

bool TerminalSession::Pump(Timeout timeout) {
  if (closed_) {
    return false;
  }
  pollfd fd{master_, POLLIN, 0};
  const int ready = poll(&fd, 1, static_cast<int>(std::max<Timeout::rep>(timeout.count(), 0)));
  if (ready <= 0) {
    return true;
  }
  std::array<char, 4096> bytes{};
  for (;;) {
    const ssize_t got = read(master_, bytes.data(), bytes.size());
    if (got > 0) {
      output_.append(bytes.data(), static_cast<std::size_t>(got));
      Show({bytes.data(), static_cast<std::size_t>(got)});
      continue;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
      break;
    }
    closed_ = true;  // EOF or EIO: the program closed the terminal
    // Whatever it wrote last is shown, finished or not.
    vterm_input_write(vterm_, unshown_.data(), unshown_.size());
    unshown_.clear();
    break;
  }
  Send();  // the terminal's answers to the program's queries
  return !closed_;
}

void TerminalSession::Show(std::string_view bytes) {
  constexpr std::string_view kBegin = "\033[?2026h";
  constexpr std::string_view kEnd = "\033[?2026l";
  unshown_.append(bytes);
  std::size_t cut = unshown_.size();
  if (const std::size_t begin = unshown_.rfind(kBegin);
      begin != std::string::npos && unshown_.find(kEnd, begin) == std::string::npos) {
    cut = begin;  // a frame still being written
  } else {
    // The start of a marker may end this read.
    for (std::size_t part = std::min(kBegin.size() - 1, unshown_.size()); part > 0; --part) {
      if (unshown_.ends_with(kBegin.substr(0, part))) {
        cut = unshown_.size() - part;
        break;
      }
    }
  }
  vterm_input_write(vterm_, unshown_.data(), cut);
  unshown_.erase(0, cut);
}

void TerminalSession::Send() {
  std::array<char, 1024> bytes{};
  std::size_t count = 0;
  while ((count = vterm_output_read(vterm_, bytes.data(), bytes.size())) > 0) {
    std::size_t sent = 0;
    while (sent < count && master_ >= 0) {
      const ssize_t wrote = write(master_, bytes.data() + sent, count - sent);
      if (wrote > 0) {
        sent += static_cast<std::size_t>(wrote);
      } else if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
        return;
      } else {
        pollfd fd{master_, POLLOUT, 0};
        static_cast<void>(poll(&fd, 1, 1000));
      }
    }
  }
}

bool TerminalSession::WaitFor(const std::function<bool(const std::string&)>& condition,
                              Timeout timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (condition(Screen())) {
      return true;
    }
    const auto left = std::chrono::duration_cast<Timeout>(deadline - Clock::now());
    if (left.count() <= 0 || !Pump(left)) {
      return condition(Screen());
    }
  }
}

bool TerminalSession::WaitForText(std::string_view text, Timeout timeout) {
  return WaitFor([&](const std::string& screen) { return screen.find(text) != std::string::npos; },
                 timeout);
}

bool TerminalSession::WaitForTextGone(std::string_view text, Timeout timeout) {
  return WaitFor([&](const std::string& screen) { return screen.find(text) == std::string::npos; },
                 timeout);
}

void TerminalSession::Key(VTermKey key, VTermModifier modifiers) {
  vterm_keyboard_key(vterm_, key, modifiers);
  Send();
}

void TerminalSession::Type(std::u32string_view text) {
  for (const char32_t c : text) {
    vterm_keyboard_unichar(vterm_, c, VTERM_MOD_NONE);
  }
  Send();
}

void TerminalSession::Click(int row, int col) {
  vterm_mouse_move(vterm_, row, col, VTERM_MOD_NONE);
  vterm_mouse_button(vterm_, 1, true, VTERM_MOD_NONE);
  vterm_mouse_button(vterm_, 1, false, VTERM_MOD_NONE);
  Send();
}

void TerminalSession::Resize(int rows, int cols) {
  vterm_set_size(vterm_, rows, cols);
  winsize size{};
  size.ws_row = static_cast<unsigned short>(rows);
  size.ws_col = static_cast<unsigned short>(cols);
  static_cast<void>(ioctl(master_, TIOCSWINSZ, &size));
}

std::string TerminalSession::Screen() const {
  int rows = 0;
  int cols = 0;
  vterm_get_size(vterm_, &rows, &cols);
  std::string text;
  for (int row = 0; row < rows; ++row) {
    std::string line;
    for (int col = 0; col < cols; ++col) {
      VTermScreenCell cell{};
      vterm_screen_get_cell(screen_, VTermPos{row, col}, &cell);
      if (cell.chars[0] == 0) {
        line.push_back(' ');
      } else {
        for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
          AppendUtf8(line, cell.chars[i]);
        }
      }
      col += std::max(static_cast<int>(cell.width), 1) - 1;
    }
    while (!line.empty() && line.back() == ' ') {
      line.pop_back();
    }
    text += line + '\n';
  }
  return text;
}

std::optional<std::pair<int, int>> TerminalSession::Find(std::string_view text) const {
  int rows = 0;
  int cols = 0;
  vterm_get_size(vterm_, &rows, &cols);
  for (int row = 0; row < rows; ++row) {
    std::string line;
    std::vector<int> colOfByte;
    for (int col = 0; col < cols; ++col) {
      VTermScreenCell cell{};
      vterm_screen_get_cell(screen_, VTermPos{row, col}, &cell);
      if (cell.chars[0] == 0) {
        line.push_back(' ');
      } else {
        AppendUtf8(line, cell.chars[0]);
      }
      colOfByte.resize(line.size(), col);
    }
    const std::size_t found = line.find(text);
    if (found != std::string::npos) {
      return std::pair{row, colOfByte[found]};
    }
  }
  return std::nullopt;
}

std::pair<int, int> TerminalSession::Cursor() const {
  VTermPos pos{};
  vterm_state_get_cursorpos(vterm_obtain_state(vterm_), &pos);
  return {pos.row, pos.col};
}

bool TerminalSession::Reverse(int row, int col) const {
  VTermScreenCell cell{};
  vterm_screen_get_cell(screen_, VTermPos{row, col}, &cell);
  return cell.attrs.reverse != 0;
}

std::string TerminalSession::Highlighted() const {
  int rows = 0;
  int cols = 0;
  vterm_get_size(vterm_, &rows, &cols);
  std::string text;
  for (int row = 1; row + 1 < rows; ++row) {
    for (int col = 0; col < cols; ++col) {
      VTermScreenCell cell{};
      vterm_screen_get_cell(screen_, VTermPos{row, col}, &cell);
      if (cell.attrs.reverse != 0) {
        AppendUtf8(text, cell.chars[0] == 0 ? ' ' : cell.chars[0]);
      }
    }
  }
  return text;
}

std::optional<int> TerminalSession::WaitExit(Timeout timeout) {
  if (status_) {
    return status_;
  }
  if (pid_ <= 0) {
    return std::nullopt;
  }
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      // What it wrote last is still in the pty.
      for (std::size_t before = 0; before != output_.size() && !closed_;) {
        before = output_.size();
        Pump(Timeout(0));
      }
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    const auto left = std::chrono::duration_cast<Timeout>(deadline - Clock::now());
    if (left.count() <= 0) {
      return std::nullopt;
    }
    // Sleeps until the program writes or ends.
    std::array<pollfd, 2> fds{{{pidfd_, POLLIN, 0}, {closed_ ? -1 : master_, POLLIN, 0}}};
    static_cast<void>(poll(fds.data(), fds.size(), static_cast<int>(left.count())));
    if (fds[1].revents != 0) {
      Pump(Timeout(0));
    }
  }
}

}  // namespace norix::testing
