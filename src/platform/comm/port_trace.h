// A transcript of everything a program exchanges with its products: every
// byte sent and received on every traced port, with the time, the port's
// speed and what happened to the port (open, speed change, purge, close).
// It is text, one event a line, with control characters written as escapes,
// so a user can read it and send it to get help:
//
//   14:02:07.315 #1    9600 open /dev/ttyUSB0
//   14:02:07.316 #1   57600 speed
//   14:02:07.316 #1   57600 send "AT\r"
//   14:02:07.349 #1   57600 recv "AT\r\r\nOK\r\n"
//
// The program reads a reply byte by byte: bytes that follow each other in the
// same direction on the same port within 100 ms join one line, which ends
// after a line feed or 64 bytes. Thread-safe: the pages, the workers and the
// simulator's threads may write to one trace at once; every byte is written
// and flushed as it comes, so a crash loses nothing that happened before it.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norix::platform::comm {

// `bytes` as one line of text: printable ASCII as it is, a backslash and a
// double quote escaped, \r \n \t, and every other byte as \xNN.
[[nodiscard]] std::string VisibleBytes(std::span<const std::uint8_t> bytes);

class PortTrace {
 public:
  enum class Direction : std::uint8_t { Sent, Received };

  // Creates (or empties) the file at `path` and writes its heading, naming
  // `program`. Null with `error` set ("cannot write /x/t.txt: Permission
  // denied") when the file cannot be made.
  [[nodiscard]] static std::shared_ptr<PortTrace> Create(const std::string& path,
                                                         std::string_view program,
                                                         std::string& error);

  PortTrace(const PortTrace&) = delete;
  PortTrace& operator=(const PortTrace&) = delete;
  PortTrace(PortTrace&&) = delete;
  PortTrace& operator=(PortTrace&&) = delete;
  ~PortTrace();

  // Records the opening of port `name`, set to `speed` bit/s (0: unknown),
  // and returns the number that marks its events (1, 2, ... in the order of
  // opening).
  int Opened(const std::string& name, std::uint32_t speed);

  // Records bytes sent to or received from the product on port `port`,
  // running at `speed` bit/s.
  void Bytes(int port, std::uint32_t speed, Direction direction,
             std::span<const std::uint8_t> bytes);

  // Records anything else that happened to the port: "speed", "purge rx",
  // "read failed", "close".
  void Event(int port, std::uint32_t speed, std::string_view what);

 private:
  using Clock = std::chrono::steady_clock;

  // The line of bytes still open for more.
  struct OpenLine {
    int port = 0;
    std::uint32_t speed = 0;
    Direction direction = Direction::Sent;
    std::size_t count = 0;
    Clock::time_point last;
  };

  explicit PortTrace(std::ofstream file) : file_(std::move(file)) {}
  // Starts a line: time, port, speed and what (no line end).
  void BeginLine(int port, std::uint32_t speed, std::string_view what);
  // Ends the open line of bytes, if there is one.
  void CloseBytes();

  std::mutex mutex_;
  std::ofstream file_;
  int lastPort_ = 0;
  std::optional<OpenLine> open_;
};

}  // namespace norix::platform::comm
