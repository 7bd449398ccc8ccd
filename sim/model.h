// A product model: what one product answers on its line. A model instance
// belongs to one simulated product and keeps that product's own state (its
// country, a flash loader's progress, ...); all its calls come from the
// product's thread. Families of products are classes implementing this
// interface; a single model is usually just data for such a family (see
// analogue_modem.h and models/).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/comm/device_end.h"
#include "sim/command_set.h"
#include "sim/modem_settings.h"
#include "sim/product_link.h"
#include "sim/product_options.h"

namespace norix::sim {

class Model {
 public:
  Model() = default;
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;
  Model(Model&&) = delete;
  Model& operator=(Model&&) = delete;
  virtual ~Model() = default;

  // Whether the product understands the host at this bit rate. At any other
  // rate the host's bytes are noise to it: no echo, no answer.
  [[nodiscard]] virtual bool AnswersAt(std::uint32_t baudRate) const = 0;

  // The settings AT&F restores, and how many stored profiles there are.
  [[nodiscard]] virtual ModemSettings FactorySettings() const = 0;
  [[nodiscard]] virtual std::size_t ProfileCount() const { return 1; }

  // The product's options, once, before AddCommands: a model takes the
  // faults that concern its own commands from them (a refused country).
  virtual void ApplyOptions(const ProductOptions& options) { static_cast<void>(options); }

  // Adds the model's own commands to the standard ones. Handlers may keep
  // `this`: the model outlives the command set.
  virtual void AddCommands(CommandSet& commands) = 0;

  // Whether the command interpreter listens at the moment (a PC Card that is
  // still waking up does not: no echo, no answer). Lines that arrive at a
  // speed the product answers at while it does not listen go to
  // OnUnheardLine, where the model may decide to wake up.
  [[nodiscard]] virtual bool Listening() const { return true; }
  virtual void OnUnheardLine(std::string_view line) { static_cast<void>(line); }

  // Data mode: a product out of command mode (a command handler put it there
  // and ended its line with CommandOutcome::EndSilently()) gets the host's
  // bytes raw, without echo, through OnData. OnData returns how many bytes
  // it took; taking fewer than all is allowed only when it went back to
  // command mode, and the rest then goes to the command interpreter.
  [[nodiscard]] virtual bool InDataMode() const { return false; }
  virtual std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) {
    static_cast<void>(link);
    return bytes.size();
  }

  // A model's own clock, in data mode or not: OnTimer is called once the
  // time NextTimer() names has come (none: no timer).
  [[nodiscard]] virtual std::optional<std::chrono::steady_clock::time_point> NextTimer() const {
    return std::nullopt;
  }
  virtual void OnTimer(ProductLink& link) { static_cast<void>(link); }

  // A model that needs the line to itself for a while (an X-modem receiver
  // with its own reads and time-outs) says so, after OnData or OnTimer; the
  // product then calls RunOnLine on its thread with the line, the bytes
  // OnData did not take first, and goes back to its own loop when it
  // returns. What the model sends there is paced and garbled like every
  // other byte of the product. A Receive that gives -1 means the product is
  // stopping: RunOnLine returns then.
  [[nodiscard]] virtual bool WantsLine() const { return false; }
  virtual void RunOnLine(platform::comm::DeviceEnd& line) { static_cast<void>(line); }

  // True once after the product restarted into newly programmed firmware:
  // the product's command interpreter then starts afresh with the factory
  // settings, as the new firmware initialises its settings memory.
  [[nodiscard]] virtual bool TakeReprogrammed() { return false; }
};

// A model by name, as `norix-sim` and the tests ask for it.
struct ModelEntry {
  std::string name;         // "netrunner56k"
  std::string description;  // one line for `norix-sim --list`
  std::function<std::unique_ptr<Model>()> make;
};

}  // namespace norix::sim
