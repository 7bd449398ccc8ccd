#include "sim/command_interpreter.h"

#include <array>
#include <cstdio>
#include <utility>

namespace norix::sim {
namespace {

std::string WithoutSpaces(std::string_view text) {
  std::string out;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
    }
    if (c != ' ' || quoted) {
      out.push_back(c);
    }
  }
  return out;
}

std::string ThreeDigits(unsigned value) {
  std::array<char, 8> text{};
  static_cast<void>(std::snprintf(text.data(), text.size(), "%03u", value));
  return text.data();
}

}  // namespace

CommandInterpreter::CommandInterpreter(ModemSettings factory, std::size_t profileCount)
    : factory_(std::move(factory)),
      current_(factory_),
      stored_(profileCount == 0 ? 1 : profileCount, factory_) {
  AddStandardCommands();
}

bool CommandInterpreter::IsCommandLine(std::string_view line) {
  return line.starts_with("AT") || line.starts_with("at");
}

Reply CommandInterpreter::Execute(std::string_view line, bool overflowed) {
  Reply reply;
  if (!IsCommandLine(line)) {
    return reply;
  }
  if (overflowed) {
    reply.result = ResultCode::Error;
    return reply;
  }
  lastLine_ = line;
  const std::string text = WithoutSpaces(line.substr(2));
  CommandCursor cursor(text);
  reply_ = &reply;
  reply.result = ResultCode::Ok;
  while (!cursor.AtEnd()) {
    if (cursor.Consume(";")) {
      continue;
    }
    std::size_t nameLength = 0;
    const CommandHandler* handler = commands_.Find(cursor.Rest(), nameLength);
    if (handler == nullptr) {
      reply.result = ResultCode::Error;
      break;
    }
    cursor.Advance(nameLength);
    const CommandOutcome outcome = (*handler)(cursor, *this);
    if (outcome.endsLine) {
      reply.result = outcome.result;
      break;
    }
  }
  reply_ = nullptr;
  return reply;
}

Reply CommandInterpreter::Repeat() {
  const std::string line = lastLine_.empty() ? std::string("AT") : lastLine_;
  return Execute(line);
}

void CommandInterpreter::ResetToFactory() {
  for (ModemSettings& profile : stored_) {
    profile = factory_;
  }
  current_ = factory_;
  selectedRegister_ = 0;
  lastLine_.clear();
}

void CommandInterpreter::Info(std::string text) {
  if (reply_ != nullptr) {
    reply_->information.push_back(std::move(text));
  }
}

void CommandInterpreter::AddStandardCommands() {
  commands_.AddOption("E", 1);
  commands_.AddOption("V", 1);
  commands_.AddOption("Q", 1);

  commands_.Add("S", [](CommandCursor& args, CommandInterpreter& modem) {
    const std::uint32_t index = args.NumberOrZero();
    auto& registers = modem.current_.sRegisters;
    if (index >= registers.size()) {
      return CommandOutcome::Error();
    }
    modem.selectedRegister_ = index;
    if (args.Consume("=")) {
      const std::uint32_t value = args.NumberOrZero();
      if (value > 255) {
        return CommandOutcome::Error();
      }
      registers[index] = static_cast<std::uint8_t>(value);
    } else if (args.Consume("?")) {
      modem.Info(ThreeDigits(registers[index]));
    }
    return CommandOutcome::Next();
  });
  commands_.Add("?", [](CommandCursor&, CommandInterpreter& modem) {
    modem.Info(ThreeDigits(modem.current_.Register(modem.selectedRegister_)));
    return CommandOutcome::Next();
  });
  commands_.Add("=", [](CommandCursor& args, CommandInterpreter& modem) {
    const std::uint32_t value = args.NumberOrZero();
    if (value > 255 || modem.selectedRegister_ >= modem.current_.sRegisters.size()) {
      return CommandOutcome::Error();
    }
    modem.current_.sRegisters[modem.selectedRegister_] = static_cast<std::uint8_t>(value);
    return CommandOutcome::Next();
  });

  commands_.Add("Z", [](CommandCursor& args, CommandInterpreter& modem) {
    const std::uint32_t profile = args.NumberOrZero();
    if (profile >= modem.stored_.size()) {
      return CommandOutcome::Error();
    }
    modem.current_ = modem.stored_[profile];
    return CommandOutcome::Next();
  });
  commands_.Add("&F", [](CommandCursor& args, CommandInterpreter& modem) {
    if (args.NumberOrZero() != 0) {
      return CommandOutcome::Error();
    }
    modem.current_ = modem.factory_;
    return CommandOutcome::Next();
  });
  commands_.Add("&W", [](CommandCursor& args, CommandInterpreter& modem) {
    const std::uint32_t profile = args.NumberOrZero();
    if (profile >= modem.stored_.size()) {
      return CommandOutcome::Error();
    }
    modem.stored_[profile] = modem.current_;
    return CommandOutcome::Next();
  });
}

}  // namespace norix::sim
