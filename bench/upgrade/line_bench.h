// What the upgrade benchmarks share: the product's end of the line emulator
// (an in-memory line whose host port the emulator writes and reads), the
// CPU time of the calling thread, and the command line.
#pragma once

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include <time.h>

#include "platform/comm/device_end.h"
#include "platform/comm/port.h"

namespace norix::bench {

// The product's side of an in-memory line, handed to the line emulator as
// a device end: what the product sends is read from the line's host port,
// what the emulator delivers is written to it. The product sees the comm
// state the program set on its pty.
class HostPortEnd final : public platform::comm::DeviceEnd {
 public:
  HostPortEnd(std::unique_ptr<platform::comm::Port> port, const platform::comm::DeviceEnd* program)
      : port_(std::move(port)), program_(program) {}

  std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                         std::chrono::milliseconds timeout) override {
    using namespace std::chrono_literals;
    if (shut_.load()) {
      return -1;
    }
    FollowProgramState();
    // What is there at once, or the first bytes within `timeout`. A wait of
    // 0 takes what is there and does not wait: the line emulator asks so
    // while it has bytes in flight, and any wait there would hold back their
    // delivery (a millisecond for each acknowledgement).
    platform::comm::CommTimeouts timeouts;
    timeouts.readInterval = platform::comm::kMaxTimeout;
    if (timeout.count() > 0) {
      timeouts.readMultiplier = platform::comm::kMaxTimeout;
      timeouts.readConstant = static_cast<std::uint32_t>(timeout.count());
    }
    static_cast<void>(port_->SetTimeouts(timeouts));
    const platform::comm::IoResult result = port_->Read(buffer, timeout + 100ms);
    if (shut_.load()) {
      return -1;
    }
    return static_cast<std::ptrdiff_t>(result.count);
  }

  bool Send(std::span<const std::uint8_t> data) override {
    FollowProgramState();
    return !shut_.load() && port_->Write(data).count == data.size();
  }

  [[nodiscard]] platform::comm::CommState HostState() const override {
    return program_->HostState();
  }

  void Shutdown() override {
    shut_.store(true);
    static_cast<void>(port_->Purge(platform::comm::kPurgeRxAbort | platform::comm::kPurgeTxAbort));
  }

 private:
  // The in-memory line carries the program's speed to the product.
  void FollowProgramState() {
    const platform::comm::CommState wanted = program_->HostState();
    std::lock_guard lock(mutex_);
    if (wanted.baudRate != speed_) {
      speed_ = wanted.baudRate;
      static_cast<void>(port_->SetState(wanted));
    }
  }

  std::unique_ptr<platform::comm::Port> port_;
  const platform::comm::DeviceEnd* program_;
  std::atomic<bool> shut_{false};
  std::mutex mutex_;
  std::uint32_t speed_ = 0;
};

inline double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline bool ParseNumber(std::string_view text, std::uint32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// The command line every upgrade benchmark takes:
//   NAME [transfer|rescue|all] [--runs N] [--seed S]
struct BenchArgs {
  std::string_view what = "all";
  std::uint32_t runs = 50;
  std::uint32_t seed = 2026;
};

// Nothing (after saying why on stderr) when the command line is not that.
inline std::optional<BenchArgs> ParseBenchArgs(int argc, char** argv, const char* name) {
  BenchArgs args;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if ((arg == "--runs" || arg == "--seed") && i + 1 < argc) {
      if (!ParseNumber(argv[++i], arg == "--runs" ? args.runs : args.seed)) {
        (void)std::fprintf(stderr, "%s: a number, please\n", arg.data());
        return std::nullopt;
      }
    } else if (arg == "transfer" || arg == "rescue" || arg == "all") {
      args.what = arg;
    } else {
      (void)std::fprintf(stderr, "usage: %s [transfer|rescue|all] [--runs N] [--seed S]\n", name);
      return std::nullopt;
    }
  }
  return args;
}

}  // namespace norix::bench
