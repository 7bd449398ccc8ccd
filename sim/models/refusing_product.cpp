#include <chrono>
#include <memory>
#include <optional>

#include "sim/models/models.h"

namespace norix::sim::models {
namespace {

// Answers every line it hears, at any speed, with "ERROR" and no echo: a
// product whose command interpreter refuses everything, "AT" included, or a
// device of another kind that says "ERROR" to whatever it does not know.
// The standard interpreter would accept a bare "AT", so the lines go past it
// (the transcript still records each one) and the answers go out at once
// through the model's clock.
class RefusingModel final : public Model {
 public:
  [[nodiscard]] bool AnswersAt(std::uint32_t) const override { return true; }
  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(13);
  }
  void AddCommands(CommandSet&) override {}

  [[nodiscard]] bool Listening() const override { return false; }
  void OnUnheardLine(std::string_view) override {
    ++owed_;
    due_ = std::chrono::steady_clock::now();
  }
  [[nodiscard]] std::optional<std::chrono::steady_clock::time_point> NextTimer() const override {
    return owed_ > 0 ? due_ : std::nullopt;
  }
  void OnTimer(ProductLink& link) override {
    for (; owed_ > 0; --owed_) {
      link.Send("\r\nERROR\r\n");
    }
  }

 private:
  int owed_ = 0;
  std::optional<std::chrono::steady_clock::time_point> due_;
};

}  // namespace

ModelEntry RefusingProduct() {
  return {"refusing", "a product that answers ERROR to every line, at every speed",
          [] { return std::make_unique<RefusingModel>(); }};
}

}  // namespace norix::sim::models
