// norix-sim: serves simulated products on pseudo-terminals until it is told
// to stop by SIGINT or SIGTERM.
#include <csignal>
#include <iostream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include <pthread.h>

#include "platform/cli/options.h"
#include "sim/model_registry.h"
#include "sim/pty_product.h"
#include "sim/sim_arguments.h"
#include "sim/simulated_product.h"

namespace {

using norix::sim::SimulatedProduct;

int Serve(const norix::sim::SimArguments& arguments) {
  // Block the stop signals before any product thread exists, so that every
  // thread inherits the mask and sigwait() below is the only receiver.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
    std::cerr << "norix-sim: cannot block the stop signals\n";
    return 1;
  }

  std::vector<std::unique_ptr<SimulatedProduct>> products;
  for (const std::string& name : arguments.models) {
    norix::sim::PtyProduct served = norix::sim::StartOnPty(name, arguments.options);
    if (!served.product) {
      std::cerr << "norix-sim: " << served.error << '\n';
      return 1;  // the products started so far stop as the vector goes
    }
    products.push_back(std::move(served.product));
    std::cout << name << ' ' << served.path << '\n';
  }
  std::cout << std::flush;

  int signal = 0;
  if (sigwait(&stopSignals, &signal) != 0) {
    std::cerr << "norix-sim: waiting for a stop signal failed\n";
  }
  for (auto& product : products) {
    product->Stop();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto arguments = norix::sim::ParseSimArguments(norix::platform::cli::Arguments(argc, argv));
  if (arguments.help) {
    std::cout << norix::sim::SimUsage();
    return 0;
  }
  if (arguments.version) {
    std::cout << norix::platform::cli::VersionText("norix-sim") << '\n';
    return 0;
  }
  if (!arguments.error.empty()) {
    std::cerr << "norix-sim: " << arguments.error << "\nTry norix-sim --help.\n";
    return 2;
  }
  if (arguments.list) {
    for (const auto& entry : norix::sim::Models()) {
      std::cout << entry.name << "  " << entry.description << '\n';
    }
    return 0;
  }
  return Serve(arguments);
}
