// A product's AT command interpreter without any I/O: it runs one complete
// command line against its commands and settings and says what the product
// answers. The standard commands of every product are built in:
//   E, V, Q          echo, verbose result codes, quiet (0 or 1)
//   Sn=v, Sn?, Sn    write, read (three digits) or just select S-register n
//   ?, =v            read or write the S-register selected last
//   Z[n], &F, &W[n]  restore the stored profile, factory settings, store
// Models add their own commands to Commands().
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/command_set.h"
#include "sim/modem_settings.h"
#include "sim/result_code.h"

namespace norix::sim {

struct Reply {
  std::vector<std::string> information;  // informational texts, in order, without framing
  std::optional<ResultCode> result;      // none: not a command line, or no final code
};

class CommandInterpreter {
 public:
  // `factory` is what AT&F restores; the `profileCount` stored profiles and
  // the current settings start as copies of it.
  explicit CommandInterpreter(ModemSettings factory, std::size_t profileCount = 1);

  // A command line begins with "AT" or "at"; any other line gets no answer.
  [[nodiscard]] static bool IsCommandLine(std::string_view line);

  // Runs one line (without its CR). The commands run from left to right; the
  // first that fails ends the line with ERROR, keeping the informational
  // texts and changes of the commands before it. A command line that
  // overflowed the command buffer runs nothing and answers ERROR. Spaces
  // outside double quotes are ignored.
  Reply Execute(std::string_view line, bool overflowed = false);

  // Runs the last command line again ("A/"); a bare "AT" when there was none.
  Reply Repeat();

  [[nodiscard]] CommandSet& Commands() { return commands_; }
  [[nodiscard]] ModemSettings& Current() { return current_; }
  [[nodiscard]] const ModemSettings& Current() const { return current_; }
  [[nodiscard]] const ModemSettings& Factory() const { return factory_; }
  [[nodiscard]] const std::vector<ModemSettings>& StoredProfiles() const { return stored_; }

  // A restart into newly programmed firmware: the stored profiles and the
  // current settings become the factory settings again.
  void ResetToFactory();

  // For command handlers while a line runs: adds an informational text.
  void Info(std::string text);

 private:
  void AddStandardCommands();

  CommandSet commands_;
  ModemSettings factory_;
  ModemSettings current_;
  std::vector<ModemSettings> stored_;
  std::size_t selectedRegister_ = 0;
  std::string lastLine_;
  Reply* reply_ = nullptr;  // the answer being built while Execute runs
};

}  // namespace norix::sim
