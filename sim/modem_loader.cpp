#include "sim/modem_loader.h"

namespace norix::sim {
namespace {

// Registers the loader keeps: enough for the line characters S3 to S5.
constexpr std::size_t kLoaderRegisters = 13;

class ModemLoader final : public Model {
 public:
  explicit ModemLoader(std::uint32_t baudRate) : baudRate_(baudRate) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return baudRate == baudRate_;
  }
  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(kLoaderRegisters);
  }
  // Only the interpreter's own commands: "AT" alone is answered OK.
  void AddCommands(CommandSet&) override {}

 private:
  const std::uint32_t baudRate_;
};

}  // namespace

std::unique_ptr<Model> MakeModemLoader(std::uint32_t baudRate) {
  return std::make_unique<ModemLoader>(baudRate);
}

}  // namespace norix::sim
