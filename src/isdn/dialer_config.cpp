#include "isdn/dialer_config.h"

#include <algorithm>

#include "platform/ascii/ascii_text.h"

namespace norix::isdn {

namespace {

constexpr std::string_view kCarriageReturn = "<cr>";

void AddCommands(std::string_view text, std::vector<std::string>& commands) {
  while (!text.empty()) {
    const std::optional<std::size_t> end = platform::ascii::FindNoCase(text, kCarriageReturn);
    const std::string_view piece = text.substr(0, end.value_or(text.size()));
    if (!piece.empty()) {
      commands.emplace_back(piece);
    }
    text.remove_prefix(end ? *end + kCarriageReturn.size() : text.size());
  }
}

// A file line names the device; one that holds a line break could add lines
// of its own, so control characters go.
std::string Printable(std::string_view text) {
  std::string printable;
  for (const char c : text) {
    printable.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
  }
  return printable;
}

std::string Heading(const DialerDevice& device) {
  return "# " + Printable(device.name) + " on " + Printable(device.port);
}

// Chat reads a backslash as the start of an escape: "\\" sends one.
std::string ChatQuoted(std::string_view command) {
  std::string quoted = "'";
  for (const char c : command) {
    if (c == '\\') {
      quoted += '\\';
    }
    quoted += c;
  }
  return quoted + "'";
}

// The first command that a file could not carry, as a problem.
std::string UnsafeCommand(const std::vector<std::string>& commands) {
  for (const std::string& command : commands) {
    const bool unsafe = std::any_of(command.begin(), command.end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\'' || c == '"' || c == '^';
    });
    if (unsafe) {
      return "the init command \"" + Printable(command) +
             "\" holds a control character, a quote or \"^\", which a dialler's file cannot carry";
    }
  }
  return {};
}

}  // namespace

std::vector<std::string> DialerCommands(const DriverInitStrings& strings) {
  std::vector<std::string> commands;
  for (const std::string& text : strings.driver) {
    AddCommands(text, commands);
  }
  if (strings.protocol) {
    AddCommands(*strings.protocol, commands);
  }
  return commands;
}

std::string DialerProblem(const std::vector<std::string>& commands) {
  if (std::string unsafe = UnsafeCommand(commands); !unsafe.empty()) {
    return unsafe;
  }
  if (commands.size() > kWvdialInitLimit) {
    return std::to_string(commands.size()) + " init commands: wvdial sends nine at most";
  }
  return {};
}

std::string WvdialSection(const DialerDevice& device, std::string_view section) {
  if (const std::string problem = DialerProblem(device.commands); !problem.empty()) {
    return Heading(device) + ": not written: " + problem + "\n";
  }
  // The port goes into a line of its own: a line break in it would add one.
  if (Printable(device.port) != device.port) {
    return Heading(device) + ": not written: the port name holds a control character\n";
  }
  std::string text = Heading(device) + ": wvdial " + std::string(section) + "\n";
  text += "[Dialer " + std::string(section) + "]\n";
  text += "Modem = " + device.port + "\n";
  text += "Baud = " + std::to_string(kDialerSpeed) + "\n";
  for (std::size_t i = 0; i < device.commands.size(); ++i) {
    text += "Init" + std::to_string(i + 1) + " = " + device.commands[i] + "\n";
  }
  return text;
}

std::string ChatLines(const DialerDevice& device) {
  // wvdial's limit of nine does not concern chat.
  if (const std::string problem = UnsafeCommand(device.commands); !problem.empty()) {
    return Heading(device) + ": not written: " + problem + "\n";
  }
  std::string text =
      Heading(device) + ": chat script for pppd (" + std::to_string(kDialerSpeed) + " bit/s)\n";
  text += "ABORT 'NO CARRIER'\nABORT 'NO DIALTONE'\nABORT 'BUSY'\nABORT 'ERROR'\n";
  std::string_view expect = "''";
  for (const std::string& command : device.commands) {
    text += std::string(expect) + " " + ChatQuoted(command) + "\n";
    expect = "OK";
  }
  text += "# then dial: OK 'ATD<number>' CONNECT ''\n";
  return text;
}

}  // namespace norix::isdn
