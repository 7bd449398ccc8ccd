// norix-at: sends AT commands to a product on a serial port and prints what
// the exchange makes of the answers. A diagnostic for real devices and for
// the simulator's ptys.
//
//   norix-at [--speed N] PORT [COMMAND...]
//
// Without commands it reads one command per line from standard input.

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/comm/serial_port.h"

namespace {

constexpr std::string_view kUsage =
    "usage: norix-at [--speed N] PORT [COMMAND...]\n"
    "Opens PORT (e.g. /dev/ttyUSB0) at N bit/s (default 57600), sends each COMMAND\n"
    "(or each line of standard input) and prints the result code and reply line.\n";

const char* ResultName(norix::link::AtResult result) {
  using norix::link::AtResult;
  switch (result) {
    case AtResult::Ok:
      return "OK";
    case AtResult::Error:
      return "ERROR";
    case AtResult::NoCarrier:
      return "NO CARRIER";
    case AtResult::NoDialtone:
      return "NO DIALTONE";
    case AtResult::Vcon:
      return "VCON";
    case AtResult::NoReply:
      break;
  }
  return "no reply";
}

std::string Visible(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void Exchange(norix::platform::comm::Port* port, const std::string& command) {
  std::string reply;
  const auto result = norix::link::SendAtCommand(port, command, reply);
  std::cout << command << " -> " << static_cast<int>(result) << " (" << ResultName(result) << ") \""
            << Visible(reply) << "\"\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::uint32_t speed = 57600;
  std::size_t i = 0;
  if (i < args.size() && (args[i] == "--help" || args[i] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (i + 1 < args.size() && args[i] == "--speed") {
    speed = static_cast<std::uint32_t>(std::strtoul(args[i + 1].c_str(), nullptr, 10));
    i += 2;
  }
  if (i >= args.size() || speed == 0) {
    std::cerr << kUsage;
    return 2;
  }
  auto opened = norix::platform::comm::OpenSerialPort(args[i]);
  if (!opened.port) {
    std::cerr << "norix-at: " << opened.message << "\n";
    return 1;
  }
  norix::link::ConfigurePort(opened.port.get(), speed);
  if (i + 1 < args.size()) {
    for (std::size_t k = i + 1; k < args.size(); ++k) {
      Exchange(opened.port.get(), args[k]);
    }
    return 0;
  }
  std::string command;
  while (std::getline(std::cin, command)) {
    Exchange(opened.port.get(), command);
  }
  return 0;
}
