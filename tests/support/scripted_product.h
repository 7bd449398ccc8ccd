// A scripted product for tests: a thread on the device end of a line that
// collects the host's bytes into command lines (up to CR) and answers each
// with what the test's responder returns, chunk by chunk with pauses.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm/device_end.h"

namespace norix::testing {

struct Chunk {
  std::string bytes;
  std::chrono::milliseconds pauseBefore{0};
};

using Responder =
    std::function<std::vector<Chunk>(const std::string& line, const platform::comm::CommState&)>;

class ScriptedProduct {
 public:
  ScriptedProduct(platform::comm::DeviceEnd& device, Responder responder);
  ScriptedProduct(const ScriptedProduct&) = delete;
  ScriptedProduct& operator=(const ScriptedProduct&) = delete;
  ScriptedProduct(ScriptedProduct&&) = delete;
  ScriptedProduct& operator=(ScriptedProduct&&) = delete;
  ~ScriptedProduct();

  // Every command line received so far, without its CR.
  [[nodiscard]] std::vector<std::string> Lines() const;
  // Waits until at least `count` lines have come; false on time-out.
  bool WaitForLines(std::size_t count, std::chrono::milliseconds timeout) const;
  // The speed the host had set when each line arrived.
  [[nodiscard]] std::vector<std::uint32_t> Speeds() const;

 private:
  void Run();

  platform::comm::DeviceEnd& device_;
  Responder responder_;
  std::atomic<bool> quit_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable linesChanged_;
  std::vector<std::string> lines_;
  std::vector<std::uint32_t> speeds_;
  std::thread thread_;
};

// Frames a modem's answer: the echo of the command with its CR (none when
// `echo` is empty), then each line framed by CR LF before and after, e.g.
// Answer("ATI3", {"NAME V1.10", "OK"}) is "ATI3\r\r\nNAME V1.10\r\n\r\nOK\r\n".
std::string Answer(const std::string& echo, const std::vector<std::string>& lines);

}  // namespace norix::testing
