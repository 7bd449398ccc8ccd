// Simulated products served inside the program: each model runs on a pty of
// its own (the product's thread reads the master side) and is listed as a
// line device, so the wizard finds and talks to it as to a real product.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::telephony {
class LineDirectory;
}
namespace norix::sim {
class SimulatedProduct;
}

namespace norix::app {

// The line device name of a simulated model: the product it stands for, so
// the program counts it as the maker's and tells adapters from modems by it
// ("NORIX solano 1280i (simulated)"); "NORIX <model> (simulated)" for a
// model that names no product of the maker.
[[nodiscard]] std::string SimulatedLineName(std::string_view model);

class SimulatedLines {
 public:
  SimulatedLines();
  SimulatedLines(const SimulatedLines&) = delete;
  SimulatedLines& operator=(const SimulatedLines&) = delete;
  SimulatedLines(SimulatedLines&&) = delete;
  SimulatedLines& operator=(SimulatedLines&&) = delete;
  // Stop().
  ~SimulatedLines();

  // Starts a product of `model` on a new pty and adds its line to `lines`.
  // Returns why it could not (unknown model, no pty, line refused), or "".
  std::string Serve(std::string_view model, platform::telephony::LineDirectory& lines);

  // The pty paths of the products served, in order.
  [[nodiscard]] const std::vector<std::string>& Ports() const { return ports_; }

  // Stops every product and joins its thread. The lines stay listed; their
  // ports no longer answer.
  void Stop();

 private:
  std::vector<std::unique_ptr<sim::SimulatedProduct>> products_;
  std::vector<std::string> ports_;
};

}  // namespace norix::app
