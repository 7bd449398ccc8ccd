// norix-at: sends AT commands to a product on a serial port and prints what
// the exchange makes of the answers. A diagnostic for real devices and for
// the simulator's ptys.
//
//   norix-at [--speed N] [--trace FILE] PORT [COMMAND...]
//
// Without commands it reads one command per line from standard input.

#include <array>
#include <charconv>
#include <iostream>
#include <string>
#include <utility>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/cli/options.h"
#include "platform/comm/port_trace.h"
#include "platform/comm/serial_port.h"
#include "platform/comm/traced_port.h"

namespace {

constexpr std::string_view kUsage =
    "usage: norix-at [--speed N] [--trace FILE] PORT [COMMAND...]\n"
    "Opens PORT (e.g. /dev/ttyUSB0) at N bit/s (default 57600), sends each COMMAND\n"
    "(or each line of standard input) and prints the result code and reply line.\n"
    "  -s, --speed N   the port speed in bit/s\n"
    "  --trace FILE    write every byte exchanged with the product to FILE\n"
    "  -h, --help      show this text and end\n"
    "  --version       show the program's version and end\n";

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
  namespace cli = norix::platform::cli;
  enum Key : int { kSpeed = 's', kTrace = 0x200 };
  static constexpr std::array<cli::Option, 4> kOptions{{
      cli::kHelpOption,
      cli::kVersionOption,
      {"speed", 's', true, kSpeed},
      {"trace", '\0', true, kTrace},
  }};
  std::uint32_t speed = 57600;
  std::string tracePath;
  bool help = false;
  bool version = false;
  const auto parsed = cli::ParseCommandLine(
      cli::Arguments(argc, argv), kOptions,
      [&](int key, const std::string& value, cli::Following&) -> std::string {
        if (key == cli::kHelpKey) {
          help = true;
        } else if (key == cli::kVersionKey) {
          version = true;
        } else if (key == kTrace) {
          tracePath = value;
        } else if (key == kSpeed) {
          const auto* end = value.data() + value.size();
          const auto [stop, error] = std::from_chars(value.data(), end, speed);
          if (value.empty() || error != std::errc() || stop != end || speed == 0) {
            return "--speed takes a speed in bit/s, not \"" + value + "\"";
          }
        }
        return {};
      });
  if (help) {
    std::cout << kUsage;
    return 0;
  }
  if (version) {
    std::cout << cli::VersionText("norix-at") << '\n';
    return 0;
  }
  if (!parsed.error.empty() || parsed.operands.empty()) {
    std::cerr << "norix-at: " << (parsed.error.empty() ? "no port given" : parsed.error) << '\n'
              << kUsage;
    return 2;
  }
  auto opened = norix::platform::comm::OpenSerialPort(parsed.operands.front());
  if (!opened.port) {
    std::cerr << "norix-at: " << opened.message << "\n";
    return 1;
  }
  if (!tracePath.empty()) {
    std::string problem;
    auto trace =
        norix::platform::comm::PortTrace::Create(tracePath, cli::VersionText("norix-at"), problem);
    if (!trace) {
      std::cerr << "norix-at: " << problem << '\n';
      return 2;
    }
    opened.port = norix::platform::comm::TracePort(std::move(opened.port), std::move(trace));
  }
  norix::link::ConfigurePort(opened.port.get(), speed);
  if (parsed.operands.size() > 1) {
    for (std::size_t k = 1; k < parsed.operands.size(); ++k) {
      Exchange(opened.port.get(), parsed.operands[k]);
    }
    return 0;
  }
  std::string command;
  while (std::getline(std::cin, command)) {
    Exchange(opened.port.get(), command);
  }
  return 0;
}
