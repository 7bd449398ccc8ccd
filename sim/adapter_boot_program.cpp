#include "sim/adapter_boot_program.h"

#include <utility>

namespace norix::sim {
namespace {

constexpr std::size_t kBootRegisters = 13;

class AdapterBootProgram final : public Model {
 public:
  AdapterBootProgram(std::string prompt, std::uint32_t baudRate)
      : prompt_("\r\n" + std::move(prompt)), baudRate_(baudRate) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return baudRate == baudRate_;
  }
  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(kBootRegisters);
  }
  void AddCommands(CommandSet&) override {}

  // No command interpreter at all: every byte comes here.
  [[nodiscard]] bool InDataMode() const override { return true; }

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    for (const std::uint8_t byte : bytes) {
      if (byte == '\r') {
        link.Send(prompt_);
      }
    }
    return bytes.size();
  }

 private:
  const std::string prompt_;
  const std::uint32_t baudRate_;
};

}  // namespace

std::unique_ptr<Model> MakeAdapterBootProgram(std::string prompt, std::uint32_t baudRate) {
  return std::make_unique<AdapterBootProgram>(std::move(prompt), baudRate);
}

}  // namespace norix::sim
