// A model that wraps another one and hands every call on to it. Families that
// differ from another family in one respect only (a PC Card that sleeps, a
// USB modem that ignores the port speed) derive from it and override just
// that respect.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "sim/model.h"

namespace norix::sim {

class ModelDecorator : public Model {
 public:
  explicit ModelDecorator(std::unique_ptr<Model> inner) : inner_(std::move(inner)) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return inner_->AnswersAt(baudRate);
  }
  [[nodiscard]] ModemSettings FactorySettings() const override { return inner_->FactorySettings(); }
  [[nodiscard]] std::size_t ProfileCount() const override { return inner_->ProfileCount(); }
  void ApplyOptions(const ProductOptions& options) override { inner_->ApplyOptions(options); }
  void AddCommands(CommandSet& commands) override { inner_->AddCommands(commands); }
  [[nodiscard]] bool Listening() const override { return inner_->Listening(); }
  void OnUnheardLine(std::string_view line) override { inner_->OnUnheardLine(line); }
  [[nodiscard]] bool InDataMode() const override { return inner_->InDataMode(); }
  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    return inner_->OnData(bytes, link);
  }
  [[nodiscard]] std::optional<std::chrono::steady_clock::time_point> NextTimer() const override {
    return inner_->NextTimer();
  }
  void OnTimer(ProductLink& link) override { inner_->OnTimer(link); }
  [[nodiscard]] bool WantsLine() const override { return inner_->WantsLine(); }
  void RunOnLine(platform::comm::DeviceEnd& line) override { inner_->RunOnLine(line); }
  [[nodiscard]] bool TakeReprogrammed() override { return inner_->TakeReprogrammed(); }

 protected:
  [[nodiscard]] Model& Inner() { return *inner_; }
  [[nodiscard]] const Model& Inner() const { return *inner_; }

 private:
  std::unique_ptr<Model> inner_;
};

}  // namespace norix::sim
