// A port that hands every call on to another port it does not own: the base
// of ports that watch or change one kind of call (counting what a read
// brought, a read that fails) and leave the rest to the real port.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "platform/comm/port.h"

namespace norix::platform::comm {

class ForwardingPort : public Port {
 public:
  explicit ForwardingPort(Port& inner) : inner_(inner) {}

  [[nodiscard]] IoResult Read(std::span<std::uint8_t> buffer,
                              std::chrono::milliseconds waitLimit) override {
    return inner_.Read(buffer, waitLimit);
  }
  [[nodiscard]] IoResult Write(std::span<const std::uint8_t> data) override {
    return inner_.Write(data);
  }
  [[nodiscard]] bool GetState(CommState& state) const override { return inner_.GetState(state); }
  [[nodiscard]] bool SetState(const CommState& state) override { return inner_.SetState(state); }
  [[nodiscard]] bool GetTimeouts(CommTimeouts& timeouts) const override {
    return inner_.GetTimeouts(timeouts);
  }
  [[nodiscard]] bool SetTimeouts(const CommTimeouts& timeouts) override {
    return inner_.SetTimeouts(timeouts);
  }
  bool Purge(std::uint32_t actions) override { return inner_.Purge(actions); }
  [[nodiscard]] std::string Name() const override { return inner_.Name(); }

 protected:
  [[nodiscard]] Port& Inner() const { return inner_; }

 private:
  Port& inner_;
};

}  // namespace norix::platform::comm
