// Times "AT" and "ATI3" exchanges with a simulated modem on a pty that sends
// at the byte rate of 57600 bit/s, against what the exchange cannot avoid:
// the answer's bytes on the wire plus, for an informational answer, the read
// interval that ends the read of its rest.

#include <chrono>
#include <cstdio>
#include <string>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/comm/pty_line.h"
#include "platform/comm/serial_port.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"

namespace {

constexpr std::uint32_t kSpeed = 57600;
constexpr int kRounds = 20;

struct Figures {
  double measuredMs = 0;
  double referenceMs = 0;
};

Figures Time(norix::platform::comm::Port* port, const std::string& command) {
  using Clock = std::chrono::steady_clock;
  Figures figures;
  for (int i = 0; i < kRounds; ++i) {
    std::string reply;
    const auto start = Clock::now();
    const auto result = norix::link::SendAtCommand(port, command, reply);
    figures.measuredMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (result != norix::link::AtResult::Ok) {
      std::fprintf(stderr, "%s: unexpected result %d\n", command.c_str(), static_cast<int>(result));
      std::exit(1);
    }
    // Echo with its CR, CR LF, the reply line; an informational line is
    // followed by CR LF "OK" CR LF and the read interval that ends the rest.
    const bool informational = reply != "OK\r\n";
    const std::size_t bytes = command.size() + 1 + 2 + reply.size() + (informational ? 6 : 0);
    figures.referenceMs += static_cast<double>(bytes) * 10.0 * 1000.0 / kSpeed;
    if (informational) {
      figures.referenceMs += norix::link::kDefaultReadInterval;
    }
  }
  return figures;
}

}  // namespace

int main() {
  auto pty = norix::platform::comm::OpenPtyLine();
  if (!pty.device) {
    std::fprintf(stderr, "no pty: %s\n", pty.message.c_str());
    return 1;
  }
  const std::string path = pty.slavePath;
  norix::sim::ProductOptions options;
  options.pace = true;
  const auto* model = norix::sim::FindModel("netrunner56k");
  norix::sim::SimulatedProduct product("netrunner56k", model->make(), std::move(pty.device),
                                       options);
  product.Start();
  auto opened = norix::platform::comm::OpenSerialPort(path);
  if (!opened.port) {
    std::fprintf(stderr, "%s\n", opened.message.c_str());
    return 1;
  }
  norix::link::ConfigurePort(opened.port.get(), kSpeed);

  std::printf("AT exchange over a pty, product paced at %u bit/s, %d rounds each\n", kSpeed,
              kRounds);
  for (const std::string command : {"AT", "ATI3"}) {
    const Figures f = Time(opened.port.get(), command);
    std::printf("%-5s measured %7.2f ms  reference %7.2f ms  ratio %.3f\n", command.c_str(),
                f.measuredMs / kRounds, f.referenceMs / kRounds, f.measuredMs / f.referenceMs);
  }
  return 0;
}
