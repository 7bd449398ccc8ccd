#include "platform/comm/port_trace.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace norix::platform::comm {

namespace {

constexpr std::size_t kBytesPerLine = 64;
// Bytes further apart than this start a line of their own.
constexpr auto kJoinGap = std::chrono::milliseconds(100);

// "14:02:07.315", local time.
std::string ClockText(std::chrono::system_clock::time_point now) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  std::array<char, 32> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), "%H:%M:%S", &local);
  std::string result(text.data(), length);
  result += '.';
  result += static_cast<char>('0' + millis / 100);
  result += static_cast<char>('0' + millis / 10 % 10);
  result += static_cast<char>('0' + millis % 10);
  return result;
}

std::string DateText(std::chrono::system_clock::time_point now) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  std::array<char, 64> text{};
  const std::size_t length =
      std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S %z", &local);
  return {text.data(), length};
}

}  // namespace

std::string VisibleBytes(std::span<const std::uint8_t> bytes) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() + 2);
  for (const std::uint8_t byte : bytes) {
    switch (byte) {
      case '\r':
        text += "\\r";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\t':
        text += "\\t";
        break;
      case '\\':
        text += "\\\\";
        break;
      case '"':
        text += "\\\"";
        break;
      default:
        if (byte >= 0x20 && byte < 0x7F) {
          text += static_cast<char>(byte);
        } else {
          text += "\\x";
          text += kHex[byte >> 4U];
          text += kHex[byte & 0x0FU];
        }
    }
  }
  return text;
}

std::shared_ptr<PortTrace> PortTrace::Create(const std::string& path, std::string_view program,
                                             std::string& error) {
  std::ofstream file(path, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!file) {
    const int code = errno;
    error = "cannot write " + path + ": " + std::strerror(code);  // NOLINT(concurrency-mt-unsafe)
    return nullptr;
  }
  file << "Transcript of " << program << ", started " << DateText(std::chrono::system_clock::now())
       << "\n"
          "Each line: local time, port number, port speed in bit/s, and what happened;\n"
          "\"send\" bytes went to the product, \"recv\" bytes came from it, written in\n"
          "double quotes with \\r \\n \\t \\\\ \\\" and \\xNN for the other control bytes.\n"
       << std::flush;
  // The constructor is private: make_shared cannot reach it.
  return std::shared_ptr<PortTrace>(new PortTrace(std::move(file)));
}

PortTrace::~PortTrace() {
  const std::lock_guard lock(mutex_);
  CloseBytes();
}

int PortTrace::Opened(const std::string& name, std::uint32_t speed) {
  const std::lock_guard lock(mutex_);
  CloseBytes();
  const int port = ++lastPort_;
  BeginLine(port, speed, "open " + name);
  file_ << '\n' << std::flush;
  return port;
}

void PortTrace::Bytes(int port, std::uint32_t speed, Direction direction,
                      std::span<const std::uint8_t> bytes) {
  const std::lock_guard lock(mutex_);
  const Clock::time_point now = Clock::now();
  for (const std::uint8_t byte : bytes) {
    if (open_ && (open_->port != port || open_->speed != speed || open_->direction != direction ||
                  now - open_->last > kJoinGap)) {
      CloseBytes();
    }
    if (!open_) {
      BeginLine(port, speed, direction == Direction::Sent ? "send \"" : "recv \"");
      open_ = OpenLine{port, speed, direction, 0, now};
    }
    file_ << VisibleBytes(std::span(&byte, 1));
    open_->last = now;
    if (++open_->count == kBytesPerLine || byte == '\n') {
      CloseBytes();
    }
  }
  file_ << std::flush;
}

void PortTrace::Event(int port, std::uint32_t speed, std::string_view what) {
  const std::lock_guard lock(mutex_);
  CloseBytes();
  BeginLine(port, speed, what);
  file_ << '\n' << std::flush;
}

void PortTrace::BeginLine(int port, std::uint32_t speed, std::string_view what) {
  std::array<char, 32> fields{};
  // A speed of 0 (not known yet) leaves its column blank.
  const int length = speed == 0
                         ? std::snprintf(fields.data(), fields.size(), " #%d %7s ", port, "")
                         : std::snprintf(fields.data(), fields.size(), " #%d %7u ", port, speed);
  file_ << ClockText(std::chrono::system_clock::now())
        << std::string_view(fields.data(), static_cast<std::size_t>(std::max(length, 0))) << what;
}

void PortTrace::CloseBytes() {
  if (open_) {
    file_ << "\"\n" << std::flush;
    open_.reset();
  }
}

}  // namespace norix::platform::comm
