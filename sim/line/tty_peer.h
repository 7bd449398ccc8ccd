// Another program run as the peer on one end of a line, as if started on a
// serial terminal: its standard input is a tty (a pty slave in raw mode) and
// everything it writes to its standard output comes out of the peer's line
// end, a DeviceEnd that a LineEmulator joins to the other side.
//
// The output may go through a pipe rather than back through the pty:
// programs like rx write their last ACK and then flush their terminal before
// they exit. On a serial port tcdrain() has put the byte on the wire by then;
// on a pty the flush also discards bytes the master has not read yet, and
// the ACK would be lost. With the pipe, what the program writes to its
// terminal itself is not carried.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "platform/comm/device_end.h"

namespace norix::sim::line {

// The full path of `name` found in PATH; empty when there is none.
[[nodiscard]] std::string FindProgram(const std::string& name);

class TtyPeer {
 public:
  TtyPeer() = default;
  TtyPeer(const TtyPeer&) = delete;
  TtyPeer& operator=(const TtyPeer&) = delete;
  TtyPeer(TtyPeer&& other) noexcept;
  TtyPeer& operator=(TtyPeer&& other) noexcept;
  ~TtyPeer();  // Kill()

  struct Started;

  // Where the program's standard output goes.
  enum class Output : std::uint8_t {
    Pipe,      // safe for programs that flush their terminal on exit
    Terminal,  // back through the pty, as on a serial port
  };

  // Starts `argv` (argv[0] a path) in `workDir` (the current one when
  // empty), stderr appended to `errorLog` (/dev/null when empty). Does not
  // wait for it. On failure `peer` is empty and `message` says why.
  [[nodiscard]] static Started Start(const std::vector<std::string>& argv,
                                     const std::string& workDir, const std::string& errorLog,
                                     Output output = Output::Pipe);

  // Waits up to `timeout` for the program to end. Its exit status (0-255),
  // 128 + the signal when a signal ended it; nullopt while it still runs.
  // Once it has ended, every later call gives the same status at once.
  [[nodiscard]] std::optional<int> Wait(std::chrono::milliseconds timeout);

  // Sends `signal` to the program while it runs; false when it has ended.
  bool SendSignal(int signal) const;

  // Ends a program that is still running (SIGTERM, then SIGKILL after a
  // second) and collects it.
  void Kill();

 private:
  explicit TtyPeer(pid_t pid) : pid_(pid) {}

  pid_t pid_ = -1;
  std::optional<int> status_;
};

struct TtyPeer::Started {
  std::optional<TtyPeer> peer;
  // Receive gives what the program wrote to its standard output (-1 once it
  // has closed it); Send types into its terminal.
  std::unique_ptr<platform::comm::DeviceEnd> line;
  std::string message;
};

}  // namespace norix::sim::line
