// Test fixture: a ModemContext whose port is the host end of an in-memory
// line, with a scripted product on the other end that answers from a table.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/modem_context.h"
#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "support/scripted_product.h"

namespace norix::products::testing {

// One row of a product's script: the answer to a command line at a speed.
// The parts are sent with kPartPause between them, so each arrives as a block
// of its own.
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

// Block reads end 100 ms after the last byte or 600 ms after they began
// (longer than kPartPause, so every scripted part arrives in time), which keeps
// a silent product cheap to wait for.
inline constexpr platform::comm::CommTimeouts kTestTimeouts{100, 0, 600, 1, 2000};

inline norix::testing::Responder ResponderFor(std::vector<ScriptedAnswer> script) {
  return [script = std::move(script)](const std::string& line,
                                      const platform::comm::CommState& state) {
    std::vector<norix::testing::Chunk> chunks;
    for (const ScriptedAnswer& answer : script) {
      if (answer.command == line && (answer.speed == 0 || answer.speed == state.baudRate)) {
        for (const std::string& part : answer.parts) {
          chunks.push_back({part, chunks.empty() ? std::chrono::milliseconds(0) : kPartPause});
        }
        break;
      }
    }
    return chunks;
  };
}

class ProductOnLine : public ::testing::Test {
 protected:
  void Start(std::vector<ScriptedAnswer> script) {
    platform::comm::MemoryLine line = platform::comm::MakeMemoryLine("products");
    context_.port = std::move(line.host);
    device_ = std::move(line.device);
    link::ConfigurePort(context_.Port(), 57600);
    ASSERT_TRUE(context_.port->SetTimeouts(kTestTimeouts));
    product_ = std::make_unique<norix::testing::ScriptedProduct>(*device_,
                                                                 ResponderFor(std::move(script)));
  }

  // The command lines the product received, with the host's speed at each.
  [[nodiscard]] std::vector<ReceivedCommand> Received() const {
    const std::vector<std::string> lines = product_->Lines();
    const std::vector<std::uint32_t> speeds = product_->Speeds();
    std::vector<ReceivedCommand> received;
    for (std::size_t i = 0; i < lines.size() && i < speeds.size(); ++i) {
      received.push_back({speeds[i], lines[i]});
    }
    return received;
  }

  [[nodiscard]] platform::comm::CommState HostState() const {
    platform::comm::CommState state;
    EXPECT_TRUE(context_.port->GetState(state));
    return state;
  }

  [[nodiscard]] std::uint32_t ReadConstant() const {
    platform::comm::CommTimeouts timeouts;
    EXPECT_TRUE(context_.port->GetTimeouts(timeouts));
    return timeouts.readConstant;
  }

  link::ModemContext context_;
  std::unique_ptr<platform::comm::DeviceEnd> device_;
  // Declared last: stops before the line it talks on goes away.
  std::unique_ptr<norix::testing::ScriptedProduct> product_;
};

}  // namespace norix::products::testing
