// One simulated product on one line: its model's command interpreter running
// on its own thread, reading what the host sends through a DeviceEnd (an
// in-memory line or a pty master) and answering like the real product.
//
// The product echoes command characters and the CR while echo is on, answers
// a command line ("AT..." / "at...") with its informational texts and a final
// result code, and stays silent for other lines. It listens only at the host
// speeds its model understands: the speed is read from the host's comm state
// whenever bytes arrive.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/comm/device_end.h"
#include "sim/command_interpreter.h"
#include "sim/line_assembler.h"
#include "sim/model.h"
#include "sim/product_link.h"
#include "sim/product_options.h"
#include "sim/result_code.h"

namespace norix::sim {

struct TranscriptEntry {
  std::string line;            // as received, without its CR; "A/" for a repeat
  std::uint32_t baudRate = 0;  // the host's speed when the line ended
  bool heard = false;          // the product understood it (right speed, listening)
};

class SimulatedProduct final : private ProductLink {
 public:
  SimulatedProduct(std::string name, std::unique_ptr<Model> model,
                   std::unique_ptr<platform::comm::DeviceEnd> line, ProductOptions options = {});
  SimulatedProduct(const SimulatedProduct&) = delete;
  SimulatedProduct& operator=(const SimulatedProduct&) = delete;
  SimulatedProduct(SimulatedProduct&&) = delete;
  SimulatedProduct& operator=(SimulatedProduct&&) = delete;
  ~SimulatedProduct() override;  // Stop()

  // Starts the product's thread. Only the first call after construction does
  // anything; a stopped product stays stopped.
  void Start();

  // Shuts the line down, wakes the thread from any wait and joins it.
  // Returns within a few milliseconds; safe to call more than once.
  void Stop();

  [[nodiscard]] const std::string& Name() const { return name_; }

  // Every line received so far, in order (empty lines are not kept). A line
  // is recorded before the product answers it, so once the host has read an
  // answer, the line it answered is here.
  [[nodiscard]] std::vector<TranscriptEntry> Transcript() const;
  // The lines the product heard (at a speed it answers at, while it
  // listened), in order, whether they were commands or not.
  [[nodiscard]] std::vector<std::string> Commands() const;
  // Blocks until at least `count` lines were received or `timeout` passed;
  // true when they were.
  [[nodiscard]] bool WaitForLines(std::size_t count, std::chrono::milliseconds timeout) const;
  // Blocks until Commands() has at least `count` lines or `timeout` passed;
  // true when it has.
  [[nodiscard]] bool WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const;
  // Blocks until Commands() holds a line exactly equal to `line` (without
  // its CR), received at any time since the start, or `timeout` passed; true
  // when it does.
  [[nodiscard]] bool WaitForCommand(std::string_view line, std::chrono::milliseconds timeout) const;

 private:
  // ProductLink, for the model in data mode.
  void Send(std::string_view bytes) override;
  void SendResult(ResultCode code) override;
  [[nodiscard]] const ProductOptions& Options() const override { return options_; }
  [[nodiscard]] std::uint32_t HostBaudRate() const override { return baudRate_; }

  void Run();
  [[nodiscard]] std::chrono::milliseconds ReceiveWait() const;
  void RunDueTimer();
  // Lets the model have the line while it wants it, `pending` first.
  void HandOverLine(std::span<const std::uint8_t> pending);
  // Starts the interpreter afresh when the model's firmware was reprogrammed.
  void NoticeRestart();
  void HandleBytes(std::span<const std::uint8_t> bytes, bool heard);
  void HandleLine(const std::string& line, bool overflowed, bool repeat, bool heard);
  void Answer(const Reply& reply);
  void Record(TranscriptEntry entry);
  // Sleeps until `deadline`; false when the product is stopping.
  bool SleepUntil(std::chrono::steady_clock::time_point deadline);

  const std::string name_;
  const ProductOptions options_;
  std::unique_ptr<platform::comm::DeviceEnd> line_;

  // Used by the product's thread only.
  std::unique_ptr<Model> model_;
  CommandInterpreter interpreter_;
  LineAssembler assembler_;
  std::uint64_t bytesSent_ = 0;
  std::uint32_t baudRate_ = 0;  // the host's speed when its last bytes came

  std::thread thread_;
  std::atomic<bool> started_{false};
  std::atomic<bool> quit_{false};
  std::mutex sleepMutex_;
  std::condition_variable sleepWake_;

  mutable std::mutex transcriptMutex_;
  mutable std::condition_variable transcriptGrew_;
  std::vector<TranscriptEntry> transcript_;
};

}  // namespace norix::sim
