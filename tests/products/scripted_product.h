// A product on the far end of an in-memory line that answers commands from a
// script: for each command line (and the speed the host talks at) the parts
// of its answer, sent with a pause between them so that each part arrives as
// a block of its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm/device_end.h"

namespace norix::products::testing {

struct ScriptedAnswer {
  std::uint32_t speed = 0;  // 0: at any speed
  std::string command;      // as the host sent it, without CR
  std::vector<std::string> parts;
};

struct ReceivedCommand {
  std::uint32_t speed = 0;
  std::string command;
  bool operator==(const ReceivedCommand&) const = default;
};

// Longer than the read interval of the port, so a pause ends a block read.
inline constexpr std::chrono::milliseconds kPartPause{250};

class ScriptedProduct {
 public:
  ScriptedProduct(std::unique_ptr<platform::comm::DeviceEnd> device,
                  std::vector<ScriptedAnswer> script);
  ScriptedProduct(const ScriptedProduct&) = delete;
  ScriptedProduct& operator=(const ScriptedProduct&) = delete;
  ScriptedProduct(ScriptedProduct&&) = delete;
  ScriptedProduct& operator=(ScriptedProduct&&) = delete;
  ~ScriptedProduct();

  // The command lines received so far, with the host's speed at each.
  [[nodiscard]] std::vector<ReceivedCommand> Received() const;

 private:
  void Run();
  void Answer(const std::string& command);

  std::unique_ptr<platform::comm::DeviceEnd> device_;
  const std::vector<ScriptedAnswer> script_;
  mutable std::mutex mutex_;
  std::vector<ReceivedCommand> received_;
  std::thread thread_;
};

}  // namespace norix::products::testing
