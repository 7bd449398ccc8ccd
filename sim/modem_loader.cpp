#include "sim/modem_loader.h"

#include <string>

#include "sim/command_interpreter.h"
#include "sim/line_assembler.h"

namespace norix::sim {
namespace {

constexpr std::size_t kLoaderRegisters = 13;

class ModemLoader final : public Model {
 public:
  explicit ModemLoader(std::uint32_t baudRate) : baudRate_(baudRate) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const override {
    return baudRate == baudRate_ || baudRate * 2 == baudRate_;
  }
  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(kLoaderRegisters);
  }
  void AddCommands(CommandSet&) override {}

  // The loader reads the line itself, byte by byte.
  [[nodiscard]] bool InDataMode() const override { return true; }

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link) override {
    std::string out;
    if (link.HostBaudRate() != baudRate_) {
      for (const std::uint8_t byte : bytes) {
        out.push_back(static_cast<char>(HalfSpeedByte(byte)));
      }
      link.Send(out);
      return bytes.size();
    }
    for (const std::uint8_t byte : bytes) {
      const auto event = assembler_.Feed(byte, LineEditCharacters{});
      if (event == LineAssembler::Event::Repeat) {
        continue;  // the loader knows no "A/"
      }
      if (LineAssembler::Echoed(event)) {
        out.push_back(static_cast<char>(byte));
      }
      if (event == LineAssembler::Event::Completed) {
        out += Answer(assembler_.TakeLine());
      }
    }
    link.Send(out);
    return bytes.size();
  }

 private:
  static std::string Answer(const std::string& line) {
    if (!CommandInterpreter::IsCommandLine(line)) {
      return {};
    }
    return line.size() == 2 ? "\r\nOK\r\n" : "\r\nERROR\r\n";
  }

  const std::uint32_t baudRate_;
  LineAssembler assembler_;
};

}  // namespace

std::uint8_t HalfSpeedByte(std::uint8_t byte) {
  unsigned sampled = 0;  // bit 0, the sender's start bit, stays 0
  for (unsigned bit = 1; bit < 8; ++bit) {
    if (((static_cast<unsigned>(byte) >> ((bit - 1) / 2)) & 1U) != 0) {
      sampled |= 1U << bit;
    }
  }
  return static_cast<std::uint8_t>(sampled);
}

std::unique_ptr<Model> MakeModemLoader(std::uint32_t baudRate) {
  return std::make_unique<ModemLoader>(baudRate);
}

}  // namespace norix::sim
