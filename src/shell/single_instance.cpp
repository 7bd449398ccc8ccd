#include "shell/single_instance.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace norix::shell {

namespace {

constexpr std::string_view kRequest = "raise\n";
constexpr std::string_view kAnswer = "ok\n";
// How long the listener waits for a connected start to say what it wants.
constexpr int kRequestWaitMs = 1000;

std::string ErrorText(int error) { return std::strerror(error); }  // NOLINT(concurrency-mt-unsafe)

// Closes a descriptor once.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.fd_, -1));
    }
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }

  [[nodiscard]] int Get() const { return fd_; }
  [[nodiscard]] bool Valid() const { return fd_ >= 0; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

bool FillAddress(const std::filesystem::path& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  const std::string& text = path.native();
  if (text.empty() || text.size() >= sizeof(address.sun_path)) {
    return false;
  }
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

// The uid of the process at the other end of a connected local socket.
bool PeerIsThisUser(int fd) {
  ucred credentials{};
  socklen_t size = sizeof(credentials);
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
    return false;
  }
  return credentials.uid == ::getuid();
}

// Waits up to `timeoutMs` until `fd` is readable; false on time-out, error,
// or when `wakeFd` (if given) becomes readable first.
bool WaitReadable(int fd, int timeoutMs, int wakeFd = -1) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    std::array<pollfd, 2> fds{{{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left < 0) {
      return false;
    }
    const int ready = ::poll(fds.data(), wakeFd >= 0 ? 2 : 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0 || (wakeFd >= 0 && fds[1].revents != 0)) {
      return false;
    }
    return fds[0].revents != 0;
  }
}

// Reads one line (at most a few bytes) within the time limit.
std::string ReadShortLine(int fd, int timeoutMs, int wakeFd = -1) {
  std::string line;
  std::array<char, 32> buffer{};
  while (line.size() < 64 && line.find('\n') == std::string::npos) {
    if (!WaitReadable(fd, timeoutMs, wakeFd)) {
      break;
    }
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    line.append(buffer.data(), static_cast<std::size_t>(got));
  }
  return line;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

struct InstanceGuard::State {
  std::filesystem::path path;
  Fd socket;         // listening (first) or connected (other running)
  dev_t device = 0;  // of the socket file this guard made
  ino_t inode = 0;
  Fd wakeRead;
  Fd wakeWrite;
  std::atomic<bool> quit{false};
  std::function<void()> comeForward;
  std::thread listener;

  void Serve() {
    while (!quit.load()) {
      std::array<pollfd, 2> fds{{{socket.Get(), POLLIN, 0}, {wakeRead.Get(), POLLIN, 0}}};
      const int ready = ::poll(fds.data(), fds.size(), -1);
      if (ready < 0) {
        if (errno == EINTR) {
          continue;
        }
        return;
      }
      if (fds[1].revents != 0 || quit.load()) {
        return;
      }
      if (fds[0].revents == 0) {
        continue;
      }
      const Fd client(::accept4(socket.Get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (!client.Valid() || !PeerIsThisUser(client.Get())) {
        continue;  // another user's program has no say over this one
      }
      if (ReadShortLine(client.Get(), kRequestWaitMs, wakeRead.Get()) == kRequest) {
        if (comeForward) {
          comeForward();
        }
        static_cast<void>(SendAll(client.Get(), kAnswer));
      }
    }
  }
};

std::filesystem::path InstanceSocketPath(const char* xdgRuntimeDir, unsigned uid) {
  if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] == '/') {
    return std::filesystem::path(xdgRuntimeDir) / "norix-config.sock";
  }
  return std::filesystem::path("/tmp") / ("norix-config-" + std::to_string(uid) + ".sock");
}

std::filesystem::path InstanceSocketPathOfProcess() {
  return InstanceSocketPath(std::getenv("XDG_RUNTIME_DIR"),  // NOLINT(concurrency-mt-unsafe)
                            static_cast<unsigned>(::getuid()));
}

InstanceGuard::InstanceGuard(Outcome outcome, std::string problem, std::unique_ptr<State> state)
    : outcome_(outcome), problem_(std::move(problem)), state_(std::move(state)) {}

InstanceGuard::InstanceGuard(InstanceGuard&&) noexcept = default;

InstanceGuard& InstanceGuard::operator=(InstanceGuard&& other) noexcept {
  if (this != &other) {
    Stop();
    outcome_ = other.outcome_;
    problem_ = std::move(other.problem_);
    state_ = std::move(other.state_);
  }
  return *this;
}

InstanceGuard::~InstanceGuard() { Stop(); }

InstanceGuard InstanceGuard::Claim(const std::filesystem::path& socketPath) {
  const auto unguarded = [&socketPath](const std::string& why) {
    return InstanceGuard(Outcome::kUnguarded, socketPath.string() + ": " + why, nullptr);
  };
  sockaddr_un address{};
  if (!FillAddress(socketPath, address)) {
    return unguarded("the path is empty or too long for a local socket");
  }

  // Held while this start looks and binds, so that two starts at the same
  // moment cannot both find the socket stale and both bind.
  const Fd lock(::open((socketPath.native() + ".lock").c_str(),
                       O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!lock.Valid()) {
    return unguarded("cannot open the lock file: " + ErrorText(errno));
  }
  struct stat lockInfo {};
  if (::fstat(lock.Get(), &lockInfo) != 0 || lockInfo.st_uid != ::getuid()) {
    return unguarded("the lock file belongs to another user");
  }
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      return unguarded("cannot lock the lock file: " + ErrorText(errno));
    }
  }

  auto state = std::make_unique<State>();
  state->path = socketPath;
  state->socket = Fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!state->socket.Valid()) {
    return unguarded("cannot make a local socket: " + ErrorText(errno));
  }
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the sockets API
  auto* generic = reinterpret_cast<const sockaddr*>(&address);
  if (::connect(state->socket.Get(), generic, sizeof(address)) == 0) {
    if (!PeerIsThisUser(state->socket.Get())) {
      return unguarded("the socket belongs to another user");
    }
    return InstanceGuard(Outcome::kOtherRunning, "", std::move(state));
  }
  const int connectError = errno;
  if (connectError == ECONNREFUSED) {
    // Nobody listens: a file left by an instance that died, if it is a
    // socket of this user's. Anything else there is not ours to remove.
    struct stat info {};
    if (::lstat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) ||
        info.st_uid != ::getuid()) {
      return unguarded("the file there is not a socket of this user's");
    }
    if (::unlink(socketPath.c_str()) != 0) {
      return unguarded("cannot remove the stale socket: " + ErrorText(errno));
    }
  } else if (connectError != ENOENT) {
    return unguarded("cannot connect: " + ErrorText(connectError));
  }

  state->socket = Fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!state->socket.Valid()) {
    return unguarded("cannot make a local socket: " + ErrorText(errno));
  }
  if (::bind(state->socket.Get(), generic, sizeof(address)) != 0) {
    return unguarded("cannot bind: " + ErrorText(errno));
  }
  struct stat made {};
  if (::chmod(socketPath.c_str(), 0600) != 0 || ::lstat(socketPath.c_str(), &made) != 0 ||
      ::listen(state->socket.Get(), 4) != 0) {
    const std::string why = ErrorText(errno);
    ::unlink(socketPath.c_str());
    return unguarded("cannot listen: " + why);
  }
  state->device = made.st_dev;
  state->inode = made.st_ino;
  return InstanceGuard(Outcome::kFirst, "", std::move(state));
}

bool InstanceGuard::AskToComeForward(int timeoutMs) {
  if (outcome_ != Outcome::kOtherRunning || !state_ || !state_->socket.Valid()) {
    return false;
  }
  const int fd = state_->socket.Get();
  if (!SendAll(fd, kRequest)) {
    return false;
  }
  return ReadShortLine(fd, timeoutMs) == kAnswer;
}

bool InstanceGuard::Listen(std::function<void()> comeForward) {
  if (outcome_ != Outcome::kFirst || !state_ || state_->listener.joinable()) {
    return false;
  }
  std::array<int, 2> pipe{-1, -1};
  if (::pipe2(pipe.data(), O_CLOEXEC) != 0) {
    return false;
  }
  state_->wakeRead = Fd(pipe[0]);
  state_->wakeWrite = Fd(pipe[1]);
  state_->comeForward = std::move(comeForward);
  State* state = state_.get();
  state_->listener = std::thread([state] { state->Serve(); });
  return true;
}

void InstanceGuard::Stop() {
  if (!state_) {
    return;
  }
  if (state_->listener.joinable()) {
    state_->quit.store(true);
    const char wake = 'q';
    while (::write(state_->wakeWrite.Get(), &wake, 1) < 0 && errno == EINTR) {
    }
    state_->listener.join();
  }
  if (outcome_ == Outcome::kFirst) {
    // Only the file this guard made: a later instance may have replaced it.
    struct stat info {};
    if (::lstat(state_->path.c_str(), &info) == 0 && info.st_dev == state_->device &&
        info.st_ino == state_->inode) {
      ::unlink(state_->path.c_str());
    }
  }
  state_.reset();
}

}  // namespace norix::shell
