#include "app/simulated_lines.h"

#include <utility>

#include "platform/comm/pty_line.h"
#include "platform/registry/driver_key.h"
#include "platform/telephony/line_directory.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"

namespace norix::app {

namespace tapi = platform::telephony;

std::string SimulatedLineName(std::string_view model) {
  return "NORIX " + std::string(model) + " (simulated)";
}

SimulatedLines::SimulatedLines() = default;

SimulatedLines::~SimulatedLines() { Stop(); }

std::string SimulatedLines::Serve(std::string_view model, tapi::LineDirectory& lines) {
  const sim::ModelEntry* entry = sim::FindModel(model);
  if (entry == nullptr) {
    return "no simulated model \"" + std::string(model) + "\" (see --list-models)";
  }
  platform::comm::PtyLine pty = platform::comm::OpenPtyLine();
  if (!pty.device) {
    return "cannot open a pty for " + std::string(model) + ": " + pty.message;
  }
  auto product = std::make_unique<sim::SimulatedProduct>(std::string(model), entry->make(),
                                                         std::move(pty.device));
  // A driver key per model, which start-up seeds with the simulator's driver.
  const std::string driverKey =
      std::string(platform::registry::kModemClassKey) + "\\norix-sim-" + std::string(model);
  const std::string refused = lines.AddLine({SimulatedLineName(model), pty.slavePath,
                                             tapi::kApiVersion13, tapi::kApiVersion14, driverKey});
  if (!refused.empty()) {
    return "cannot list " + std::string(model) + ": " + refused;
  }
  product->Start();
  products_.push_back(std::move(product));
  ports_.push_back(pty.slavePath);
  return {};
}

void SimulatedLines::Stop() {
  for (auto& product : products_) {
    product->Stop();
  }
}

}  // namespace norix::app
