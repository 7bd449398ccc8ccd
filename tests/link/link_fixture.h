// A host port on an in-memory line with a scripted product on the far end.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "link/port_io.h"
#include "platform/comm/memory_line.h"
#include "support/scripted_product.h"

namespace norix::testing {

class LinkFixture : public ::testing::Test {
 protected:
  void Start(Responder responder, std::uint32_t speed = 57600) {
    line_ = platform::comm::MakeMemoryLine("test");
    product_ = std::make_unique<ScriptedProduct>(*line_.device, std::move(responder));
    link::ConfigurePort(Port(), speed);
  }
  // Short time-outs so that silent cases do not take seconds.
  void Quick(std::uint32_t constant = 50, std::uint32_t interval = 40) {
    ASSERT_TRUE(Port()->SetTimeouts({interval, 0, constant, 1, 2000}));
  }
  void TearDown() override {
    product_.reset();
    line_ = {};
  }
  platform::comm::Port* Port() { return line_.host.get(); }
  // Sends raw bytes from the product, as if unprompted.
  void Unprompted(const std::string& bytes) {
    line_.device->Send(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  }

  platform::comm::MemoryLine line_;
  std::unique_ptr<ScriptedProduct> product_;
};

inline std::chrono::milliseconds Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

}  // namespace norix::testing
