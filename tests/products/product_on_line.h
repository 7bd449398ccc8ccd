// Test fixture: a ModemContext whose port is the host end of an in-memory
// line, with a scripted product on the other end.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/modem_context.h"
#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "scripted_product.h"

namespace norix::products::testing {

// Block reads end 100 ms after the last byte or 600 ms after they began
// (longer than kPartPause, so every scripted part arrives in time), which keeps
// a silent product cheap to wait for.
inline constexpr platform::comm::CommTimeouts kTestTimeouts{100, 0, 600, 1, 2000};

class ProductOnLine : public ::testing::Test {
 protected:
  void Start(std::vector<ScriptedAnswer> script) {
    platform::comm::MemoryLine line = platform::comm::MakeMemoryLine("products");
    context_.port = std::move(line.host);
    link::ConfigurePort(context_.Port(), 57600);
    ASSERT_TRUE(context_.port->SetTimeouts(kTestTimeouts));
    product_ = std::make_unique<ScriptedProduct>(std::move(line.device), std::move(script));
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
  std::unique_ptr<ScriptedProduct> product_;
};

}  // namespace norix::products::testing
