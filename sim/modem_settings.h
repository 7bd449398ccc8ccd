// The settings a product's command interpreter works with: its options (E, V,
// Q, L, ...) and its S-registers. A product keeps three copies: the factory
// settings (AT&F), the stored profile (AT&W, ATZ) and the current settings.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace norix::sim {

// S-registers with a meaning for the command line itself.
inline constexpr std::size_t kEscapeRegister = 2;     // escape character, '+'
inline constexpr std::size_t kCrRegister = 3;         // command line end, CR
inline constexpr std::size_t kLfRegister = 4;         // reply line feed, LF
inline constexpr std::size_t kBackspaceRegister = 5;  // command line edit, BS
inline constexpr std::size_t kDialToneWaitRegister = 6;
inline constexpr std::size_t kCarrierWaitRegister = 7;

struct ModemSettings {
  // Option name as typed after "AT" in upper case ("E", "&C", "+VOL") to its
  // value. An option that is not present reads as 0.
  std::map<std::string, unsigned, std::less<>> options;
  // The product's S-registers; their count is the number the product has.
  std::vector<std::uint8_t> sRegisters;

  [[nodiscard]] unsigned Option(std::string_view name) const {
    const auto it = options.find(name);
    return it == options.end() ? 0U : it->second;
  }
  [[nodiscard]] std::uint8_t Register(std::size_t index) const {
    return index < sRegisters.size() ? sRegisters[index] : std::uint8_t{0};
  }
  [[nodiscard]] bool Echo() const { return Option("E") != 0; }
  [[nodiscard]] bool Verbose() const { return Option("V") != 0; }
  [[nodiscard]] bool Quiet() const { return Option("Q") != 0; }

  friend bool operator==(const ModemSettings&, const ModemSettings&) = default;
};

// Factory settings every Hayes product starts from: echo on, verbose result
// codes, results shown, and the usual S-register values (S2 '+', S3 CR, S4 LF,
// S5 BS, S6 2 s dial tone wait, S7 50 s carrier wait, ...). `registerCount`
// must be at least 13.
[[nodiscard]] ModemSettings StandardFactorySettings(std::size_t registerCount);

}  // namespace norix::sim
