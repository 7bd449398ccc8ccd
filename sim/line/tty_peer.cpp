#include "sim/line/tty_peer.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/comm/fd_wait.h"
#include "platform/comm/tty_control.h"

namespace norix::sim::line {
namespace {

namespace comm = platform::comm;

// Time between two looks at a child that has not ended yet.
constexpr std::chrono::milliseconds kReapPoll{2};
// A program that does not read its terminal for this long loses what is
// typed to it, as on an overrun, rather than hanging the line.
constexpr std::chrono::milliseconds kSendStallLimit{2000};

std::optional<int> DecodeStatus(int status) {
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return std::nullopt;
}

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  ~Fd() { Reset(-1); }
  void Reset(int fd) {
    if (fd_ >= 0) {
      close(fd_);
    }
    fd_ = fd;
  }
  [[nodiscard]] int Get() const { return fd_; }

 private:
  int fd_ = -1;
};

// The program's side of the line as the emulator sees it: its output (a pipe,
// or its terminal's master) to read from, its terminal's master to type into.
class PeerLineEnd final : public comm::DeviceEnd {
 public:
  PeerLineEnd(Fd output, Fd master) : output_(std::move(output)), master_(std::move(master)) {}

  std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                         std::chrono::milliseconds timeout) override {
    const comm::Deadline deadline = comm::DeadlineAfter(
        comm::Clock::now(), timeout.count() > 0 ? static_cast<std::uint64_t>(timeout.count()) : 0);
    for (;;) {
      if (shut_.load()) {
        return -1;
      }
      if (buffer.empty()) {
        return 0;
      }
      const ssize_t n = read(output_.Get(), buffer.data(), buffer.size());
      if (n > 0) {
        return n;
      }
      if (n == 0) {
        return -1;  // the program closed its output (it has ended)
      }
      if (errno == EINTR) {
        continue;
      }
      if (errno != EAGAIN) {
        return -1;
      }
      switch (comm::WaitForFd(output_.Get(), POLLIN, wake_, deadline)) {
        case comm::FdWait::TimedOut:
          return 0;
        case comm::FdWait::Ready:
        case comm::FdWait::Woken:
        case comm::FdWait::Broken:  // the writer has gone: read the rest
          break;
      }
    }
  }

  bool Send(std::span<const std::uint8_t> data) override {
    comm::Deadline stallEnds = comm::DeadlineAfter(comm::Clock::now(), kSendStallLimit.count());
    while (!data.empty()) {
      if (shut_.load()) {
        return false;
      }
      const ssize_t n = write(master_.Get(), data.data(), data.size());
      if (n > 0) {
        data = data.subspan(static_cast<std::size_t>(n));
        stallEnds = comm::DeadlineAfter(comm::Clock::now(), kSendStallLimit.count());
        continue;
      }
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n < 0 && errno != EAGAIN) {
        return false;  // the program has closed its terminal
      }
      switch (comm::WaitForFd(master_.Get(), POLLOUT, wake_, stallEnds)) {
        case comm::FdWait::TimedOut:
          return true;
        case comm::FdWait::Broken:
          return false;
        case comm::FdWait::Ready:
        case comm::FdWait::Woken:
          break;
      }
    }
    return !shut_.load();
  }

  comm::CommState HostState() const override {
    comm::CommState state;
    return comm::ReadTtyState(master_.Get(), state) ? state : comm::CommState{};
  }

  void Shutdown() override {
    shut_.store(true);
    wake_.Signal();
  }

 private:
  Fd output_;
  Fd master_;
  comm::WakeEvent wake_;
  std::atomic<bool> shut_{false};
};

class SpawnActions {
 public:
  SpawnActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  SpawnActions(SpawnActions&&) = delete;
  SpawnActions& operator=(SpawnActions&&) = delete;
  ~SpawnActions() {
    if (ok_) {
      posix_spawn_file_actions_destroy(&actions_);
    }
  }
  [[nodiscard]] bool Ok() const { return ok_; }
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
  bool ok_ = false;
};

std::string Failure(const std::string& what, int error) {
  return what + ": " + std::generic_category().message(error);
}

// A pty in raw mode: the master non-blocking for us, the slave blocking as
// a program expects its terminal to be.
bool OpenTerminal(Fd& master, Fd& slave, std::string& message) {
  master.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  std::array<char, 128> name{};
  if (master.Get() < 0 || grantpt(master.Get()) != 0 || unlockpt(master.Get()) != 0 ||
      ptsname_r(master.Get(), name.data(), name.size()) != 0) {
    message = Failure("cannot open a pseudo-terminal", errno);
    return false;
  }
  slave.Reset(open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (slave.Get() < 0 || !comm::MakeTtyRaw(slave.Get())) {
    message = Failure(std::string("cannot set up ") + name.data(), errno);
    return false;
  }
  return true;
}

}  // namespace

std::string FindProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) {
    return access(name.c_str(), X_OK) == 0 ? name : std::string();
  }
  const char* path = std::getenv("PATH");  // NOLINT(concurrency-mt-unsafe): nothing sets it
  const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t begin = 0;
  while (begin <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', begin), dirs.size());
    const std::string dir = dirs.substr(begin, end - begin);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    begin = end + 1;
  }
  return {};
}

TtyPeer::TtyPeer(TtyPeer&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(std::exchange(other.status_, std::nullopt)) {}

TtyPeer& TtyPeer::operator=(TtyPeer&& other) noexcept {
  if (this != &other) {
    Kill();
    pid_ = std::exchange(other.pid_, -1);
    status_ = std::exchange(other.status_, std::nullopt);
  }
  return *this;
}

TtyPeer::~TtyPeer() { Kill(); }

TtyPeer::Started TtyPeer::Start(const std::vector<std::string>& argv, const std::string& workDir,
                                const std::string& errorLog, Output output) {
  Started started;
  if (argv.empty()) {
    started.message = "no program given";
    return started;
  }
  Fd master;
  Fd slave;
  if (!OpenTerminal(master, slave, started.message)) {
    return started;
  }
  Fd outputRead;
  Fd outputWrite;  // only for the pipe; else the program writes to its terminal
  if (output == Output::Pipe) {
    std::array<int, 2> pipeFds{-1, -1};
    if (pipe2(pipeFds.data(), O_CLOEXEC) != 0) {
      started.message = Failure("cannot make a pipe", errno);
      return started;
    }
    outputRead.Reset(pipeFds[0]);
    outputWrite.Reset(pipeFds[1]);
    if (fcntl(outputRead.Get(), F_SETFL, O_NONBLOCK) != 0) {
      started.message = Failure("cannot set up the pipe", errno);
      return started;
    }
  } else {
    // A second descriptor of the (non-blocking) master to read the output.
    outputRead.Reset(fcntl(master.Get(), F_DUPFD_CLOEXEC, 0));
    if (outputRead.Get() < 0) {
      started.message = Failure("cannot set up the terminal", errno);
      return started;
    }
  }

  SpawnActions actions;
  const std::string log = errorLog.empty() ? std::string("/dev/null") : errorLog;
  int error = actions.Ok() ? 0 : ENOMEM;
  // dup2 clears close-on-exec on the copies the program gets.
  if (error == 0) {
    error = posix_spawn_file_actions_adddup2(actions.Get(), slave.Get(), 0);
  }
  if (error == 0) {
    error = posix_spawn_file_actions_adddup2(
        actions.Get(), output == Output::Pipe ? outputWrite.Get() : slave.Get(), 1);
  }
  if (error == 0) {
    error = posix_spawn_file_actions_addopen(actions.Get(), 2, log.c_str(),
                                             O_WRONLY | O_CREAT | O_APPEND, 0600);
  }
  if (error == 0 && !workDir.empty()) {
    error = posix_spawn_file_actions_addchdir_np(actions.Get(), workDir.c_str());
  }
  if (error != 0) {
    started.message = Failure("cannot prepare " + argv[0], error);
    return started;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));  // posix_spawn does not change them
  }
  args.push_back(nullptr);
  pid_t pid = -1;
  error = posix_spawn(&pid, argv[0].c_str(), actions.Get(), nullptr, args.data(), environ);
  if (error != 0) {
    started.message = Failure("cannot start " + argv[0], error);
    return started;
  }
  // Only the program keeps the pipe's write end and the terminal: its exit
  // ends the output and makes typing to it fail.
  outputWrite.Reset(-1);
  started.peer = TtyPeer(pid);
  started.line = std::make_unique<PeerLineEnd>(std::move(outputRead), std::move(master));
  return started;
}

std::optional<int> TtyPeer::Wait(std::chrono::milliseconds timeout) {
  if (status_ || pid_ < 0) {
    return status_;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = DecodeStatus(status);
      if (status_) {
        pid_ = -1;
        return status_;
      }
    } else if (done < 0 && errno != EINTR) {
      // Not our child any more (collected elsewhere): nothing to wait for.
      status_ = 255;
      pid_ = -1;
      return status_;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(kReapPoll);
  }
}

bool TtyPeer::SendSignal(int signal) const { return pid_ >= 0 && kill(pid_, signal) == 0; }

void TtyPeer::Kill() {
  if (pid_ < 0) {
    return;
  }
  kill(pid_, SIGTERM);
  if (!Wait(std::chrono::milliseconds(1000))) {
    kill(pid_, SIGKILL);
    (void)Wait(std::chrono::milliseconds(5000));
  }
}

}  // namespace norix::sim::line
