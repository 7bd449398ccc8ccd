// The commands a product understands, by name. A command's name is what
// follows "AT" up to its parameters: "E", "&F", "S", "+GCI", "*NC", "!M".
// The longest name that the rest of the line begins with wins, so "*NC003"
// finds "*NC" even when "*N" exists too.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/command_cursor.h"
#include "sim/result_code.h"

namespace norix::sim {

class CommandInterpreter;

// What a command handler tells the interpreter about the rest of the line.
struct CommandOutcome {
  bool endsLine = false;
  std::optional<ResultCode> result;  // the final code when the line ends; none: no final code

  // Go on with the next command of the line.
  static CommandOutcome Next() { return {}; }
  // Stop the line here and answer with `code`.
  static CommandOutcome End(ResultCode code) { return {true, code}; }
  static CommandOutcome Error() { return End(ResultCode::Error); }
  // Stop the line without a final code (the product left command mode).
  static CommandOutcome EndSilently() { return {true, std::nullopt}; }
};

// Called with the cursor just after the command's name; the handler takes its
// own parameters from it.
using CommandHandler = std::function<CommandOutcome(CommandCursor&, CommandInterpreter&)>;

class CommandSet {
 public:
  // Adds a command, replacing one of the same name (case-insensitive).
  void Add(std::string name, CommandHandler handler);

  // The command whose name is the longest case-insensitive beginning of
  // `text`; null when none is. `nameLength` receives the name's length.
  [[nodiscard]] const CommandHandler* Find(std::string_view text, std::size_t& nameLength) const;

  // An option of the settings ("E", "L", "&C"): the name followed by a number
  // from 0 to `maxValue`, a missing number meaning 0; larger numbers give
  // ERROR. The value lives in ModemSettings::options, so AT&F, AT&W and ATZ
  // cover it.
  void AddOption(std::string name, unsigned maxValue);

  // A command that takes a number from 0 to `maxValue` (missing: 0) and
  // only answers OK.
  void AddAccepted(std::string name, unsigned maxValue);

 private:
  struct Entry {
    std::string name;
    CommandHandler handler;
  };
  std::vector<Entry> entries_;
};

}  // namespace norix::sim
