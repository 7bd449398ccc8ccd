// The sender on the host side of an in-memory line, the simulator's receiver
// on a thread at the far end.
#pragma once

#include <cstdint>
#include <future>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "sim/xmodem/xmodem_receiver.h"
#include "upgrade/xmodem_sender.h"

namespace norix::testing {

inline constexpr std::size_t kShort = upgrade::kXmodemShortBlock;
inline constexpr std::size_t kLong = upgrade::kXmodemLongBlock;

// Waits short enough that silent receivers cost little, long enough that a
// slow sanitizer build never misses an answer that was sent.
inline constexpr upgrade::XmodemTimings kQuickTimings{
    .startReadMs = 20, .startPauseMs = 10, .replyReadMs = 300};

inline sim::xmodem::ReceiverOptions QuickReceiver(
    upgrade::XmodemCheck check = upgrade::XmodemCheck::Crc) {
  sim::xmodem::ReceiverOptions options;
  options.check = check == upgrade::XmodemCheck::Crc ? sim::xmodem::BlockCheck::Crc
                                                     : sim::xmodem::BlockCheck::Checksum;
  options.startInterval = std::chrono::milliseconds(200);
  options.blockWait = std::chrono::milliseconds(5000);
  options.byteWait = std::chrono::milliseconds(500);
  return options;
}

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(0, 255);
  std::vector<std::uint8_t> data(size);
  for (auto& byte : data) {
    byte = static_cast<std::uint8_t>(value(random));
  }
  return data;
}

// `data` followed by zeros up to a whole number of 128-byte blocks, as the
// receiver keeps it.
inline std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> data) {
  data.resize((data.size() + 127) / 128 * 128, 0);
  return data;
}

struct TransferOutcome {
  bool sent = false;
  upgrade::XmodemFailure failure = upgrade::XmodemFailure::None;
  upgrade::XmodemStats stats;
  sim::xmodem::ReceiveResult received;
};

class XmodemLine : public ::testing::Test {
 protected:
  void SetUp() override {
    line_ = platform::comm::MakeMemoryLine("xmodem");
    link::ConfigurePort(line_.host.get(), 115200);
  }

  void TearDown() override {
    if (line_.device) {
      line_.device->Shutdown();
    }
    if (receiver_.valid()) {
      receiver_.wait();
    }
  }

  // Starts the receiver on its own thread.
  void StartReceiver(const sim::xmodem::ReceiverOptions& options) {
    receiver_ = std::async(std::launch::async, [this, options] {
      return sim::xmodem::ReceiveXmodem(*line_.device, options);
    });
  }

  // Ends the line and collects what the receiver made of the transfer.
  sim::xmodem::ReceiveResult ReceiverResult() {
    line_.device->Shutdown();
    return receiver_.get();
  }

  TransferOutcome Transfer(const std::vector<std::uint8_t>& data, bool use1K,
                           const sim::xmodem::ReceiverOptions& options,
                           upgrade::XmodemProgress* progress = nullptr) {
    StartReceiver(options);
    upgrade::XmodemSender sender(kQuickTimings);
    TransferOutcome outcome;
    outcome.sent = sender.Send(progress, Port(), data, use1K);
    outcome.failure = sender.LastFailure();
    outcome.stats = sender.LastStats();
    outcome.received = ReceiverResult();
    return outcome;
  }

  platform::comm::Port* Port() { return line_.host.get(); }

  platform::comm::MemoryLine line_;
  std::future<sim::xmodem::ReceiveResult> receiver_;
};

}  // namespace norix::testing
