// One running program per user. The first instance listens on a local
// socket of the user's; a second start finds it there, asks it to bring its
// current page to the front and ends. A socket file left by an instance that
// died is recognised (nobody answers on it) and replaced.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace norix::shell {

// $XDG_RUNTIME_DIR/norix-config.sock when the variable names an absolute
// path, else /tmp/norix-config-<uid>.sock.
[[nodiscard]] std::filesystem::path InstanceSocketPath(const char* xdgRuntimeDir, unsigned uid);
// The same for this process's environment and user.
[[nodiscard]] std::filesystem::path InstanceSocketPathOfProcess();

class InstanceGuard {
 public:
  enum class Outcome {
    kFirst,         // this is the only instance: it holds the socket
    kOtherRunning,  // another instance answers on the socket
    kUnguarded,     // the socket cannot be used; run without the check (see Problem)
  };

  // Claims `socketPath`: connects to an instance listening there, or else
  // (no file, or a stale socket file of this user's) binds and listens on it
  // itself. Two starts at the same moment are kept apart by a lock file next
  // to the socket, so exactly one of them becomes the first. Blocks only for
  // that lock and the local connect.
  [[nodiscard]] static InstanceGuard Claim(const std::filesystem::path& socketPath);

  InstanceGuard(InstanceGuard&&) noexcept;
  InstanceGuard& operator=(InstanceGuard&&) noexcept;
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;
  // Stop().
  ~InstanceGuard();

  [[nodiscard]] Outcome Result() const { return outcome_; }
  // Why the socket could not be used (kUnguarded), else "".
  [[nodiscard]] const std::string& Problem() const { return problem_; }

  // kOtherRunning only: asks the running instance to bring its page to the
  // front. Blocks up to `timeoutMs` for its acknowledgement; false when none
  // came (the request may still have been delivered).
  bool AskToComeForward(int timeoutMs = 2000);

  // kFirst only: starts the thread that answers later starts. It calls
  // `comeForward` (on that thread) for each request of this user's. False
  // when this guard is not the first or already listens.
  bool Listen(std::function<void()> comeForward);

  // Ends the listening thread (wakes and joins it), closes the sockets and
  // removes the socket file while it is still the one this guard made.
  void Stop();

 private:
  struct State;
  InstanceGuard(Outcome outcome, std::string problem, std::unique_ptr<State> state);

  Outcome outcome_ = Outcome::kUnguarded;
  std::string problem_;
  std::unique_ptr<State> state_;
};

}  // namespace norix::shell
