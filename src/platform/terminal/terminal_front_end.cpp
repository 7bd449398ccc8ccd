#include "platform/terminal/terminal_front_end.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/terminal/curses_terminal.h"
#include "platform/terminal/terminal_renderer.h"
#include "platform/terminal/terminal_ui.h"

namespace norix::platform::terminal {

namespace {

// Exit status after Ctrl+C twice, as a shell reports a process ended by
// SIGINT.
constexpr int kInterruptedStatus = 130;

// The signal handler's only way to the front end's loop: the write end of
// the wake pipe and a flag. The process has one terminal, so one front end.
std::atomic<int> gResizeWakeFd{-1};
volatile std::sig_atomic_t gResized = 0;

extern "C" void OnWindowChange(int /*signal*/) {
  const int saved = errno;
  gResized = 1;
  const int fd = gResizeWakeFd.load();
  if (fd >= 0) {
    const char byte = 'r';
    static_cast<void>(write(fd, &byte, 1));
  }
  errno = saved;
}

// A pipe that other threads (and the resize signal) write a byte to, so
// that the loop waiting for the keys wakes for them too.
class WakePipe {
 public:
  WakePipe() {
    if (pipe2(fds_.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
      fds_ = {-1, -1};
    }
  }
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;
  WakePipe(WakePipe&&) = delete;
  WakePipe& operator=(WakePipe&&) = delete;
  ~WakePipe() {
    for (const int fd : fds_) {
      if (fd >= 0) {
        close(fd);
      }
    }
  }

  [[nodiscard]] bool Ok() const { return fds_[0] >= 0; }
  [[nodiscard]] int WriteEnd() const { return fds_[1]; }

  void Wake() const {
    const char byte = 'w';
    // A full pipe wakes the loop as well as one more byte would.
    static_cast<void>(write(fds_[1], &byte, 1));
  }

  // Sleeps until the pipe or `input` (when not -1) can be read. Returns
  // false when `input` hung up.
  bool Wait(int input) const {
    std::array<pollfd, 2> fds{{{fds_[0], POLLIN, 0}, {input, POLLIN, 0}}};
    if (poll(fds.data(), input >= 0 ? 2 : 1, -1) < 0) {
      return true;  // EINTR: look again
    }
    std::array<char, 64> bytes{};
    while (read(fds_[0], bytes.data(), bytes.size()) > 0) {
    }
    return input < 0 || (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
  }

 private:
  std::array<int, 2> fds_{-1, -1};
};

// SIGWINCH wakes the loop for as long as this lives.
class ResizeSignal {
 public:
  explicit ResizeSignal(int wakeFd) {
    gResized = 0;
    gResizeWakeFd.store(wakeFd);
    struct sigaction action {};
    action.sa_handler = OnWindowChange;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = sigaction(SIGWINCH, &action, &previous_) == 0;
  }
  ResizeSignal(const ResizeSignal&) = delete;
  ResizeSignal& operator=(const ResizeSignal&) = delete;
  ResizeSignal(ResizeSignal&&) = delete;
  ResizeSignal& operator=(ResizeSignal&&) = delete;
  ~ResizeSignal() {
    if (installed_) {
      sigaction(SIGWINCH, &previous_, nullptr);
    }
    gResizeWakeFd.store(-1);
  }

  // Whether the terminal was resized since the last call.
  static bool Take() {
    if (gResized == 0) {
      return false;
    }
    gResized = 0;
    return true;
  }

 private:
  struct sigaction previous_ {};
  bool installed_ = false;
};

// The standard error goes to a file in memory while the terminal shows the
// pages; Release writes what came and puts the standard error back.
class HeldStandardError {
 public:
  HeldStandardError() {
    held_ = memfd_create("norix-config-stderr", MFD_CLOEXEC);
    if (held_ < 0) {
      return;
    }
    std::cerr.flush();
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ < 0 || dup2(held_, STDERR_FILENO) < 0) {
      Release();
    }
  }
  HeldStandardError(const HeldStandardError&) = delete;
  HeldStandardError& operator=(const HeldStandardError&) = delete;
  HeldStandardError(HeldStandardError&&) = delete;
  HeldStandardError& operator=(HeldStandardError&&) = delete;
  ~HeldStandardError() { Release(); }

  void Release() {
    if (saved_ >= 0) {
      std::cerr.flush();
      dup2(saved_, STDERR_FILENO);
      close(saved_);
      saved_ = -1;
    }
    if (held_ < 0) {
      return;
    }
    if (lseek(held_, 0, SEEK_SET) == 0) {
      std::array<char, 4096> bytes{};
      ssize_t got = 0;
      while ((got = read(held_, bytes.data(), bytes.size())) > 0) {
        static_cast<void>(write(STDERR_FILENO, bytes.data(), static_cast<std::size_t>(got)));
      }
    }
    close(held_);
    held_ = -1;
  }

 private:
  int held_ = -1;
  int saved_ = -1;
};

PathContext CurrentPaths() {
  PathContext paths;
  std::error_code error;
  paths.base = std::filesystem::current_path(error);
  // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing changes the environment during the run
  if (const char* home = std::getenv("HOME"); home != nullptr) {
    paths.home = home;
  }
  return paths;
}

}  // namespace

int RunTerminalFrontEnd(const window::TemplateRegistry& templates, const PictureText& pictures,
                        const TerminalWords& words,
                        const std::function<int(window::Desktop&)>& systemMain, std::ostream& err) {
  const WakePipe wake;
  if (!wake.Ok()) {
    err << "norix-config: cannot make a pipe for the terminal front end\n";
    return 1;
  }
  const ResizeSignal resize(wake.WriteEnd());
  CursesTerminal terminal;
  if (const std::string problem = terminal.Open(); !problem.empty()) {
    err << "norix-config: no terminal to show the pages on: " << problem << '\n';
    return 1;
  }
  HeldStandardError held;

  TerminalRenderer renderer([&wake] { wake.Wake(); });
  TerminalUi ui(pictures, CurrentPaths(), words);
  std::atomic<bool> finished{false};
  std::atomic<int> result{1};
  {
    window::Desktop desktop(renderer, templates);
    std::thread systemThread([&] {
      try {
        result.store(systemMain(desktop));
      } catch (const std::exception&) {
        result.store(1);
      }
      finished.store(true);
      wake.Wake();
    });

    Canvas canvas;
    bool interrupted = false;
    bool redraw = true;
    int input = STDIN_FILENO;
    while (!finished.load()) {
      redraw = renderer.Apply(ui) || redraw;
      if (ResizeSignal::Take()) {
        terminal.Resized();
        redraw = true;
      }
      for (const InputEvent& event : terminal.Read()) {
        redraw = true;
        switch (event.kind) {
          case InputEvent::Kind::kKey:
            ui.Key(event.key);
            break;
          case InputEvent::Kind::kClick:
            ui.Click(event.cell);
            break;
          case InputEvent::Kind::kRedraw:
            terminal.Resized();
            break;
          case InputEvent::Kind::kInterrupt:
            if (interrupted) {
              terminal.Close();
              held.Release();
              std::_Exit(kInterruptedStatus);
            }
            interrupted = true;
            ui.Key({Key::kEscape, 0});
            break;
        }
        // What the input changed is queued by now: show it with the input.
        redraw = renderer.Apply(ui) || redraw;
      }
      if (redraw) {
        const CellSize size = terminal.Size();
        canvas.Reset(size.rows, size.cols);
        ui.Draw(canvas);
        terminal.Show(canvas, ui.Cursor());
        redraw = false;
      }
      if (!wake.Wait(input)) {
        input = -1;  // the terminal hung up: no more keys will come
      }
    }
    systemThread.join();
  }
  terminal.Close();
  held.Release();
  return result.load();
}

}  // namespace norix::platform::terminal
