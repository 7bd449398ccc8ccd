#include "app/simulated_lines.h"

#include <string>
#include <string_view>
#include <utility>

#include "platform/comm/pty_line.h"
#include "platform/registry/driver_key.h"
#include "platform/telephony/line_directory.h"
#include "sim/model_registry.h"
#include "sim/simulated_product.h"

namespace norix::app {

namespace tapi = platform::telephony;

namespace {

// The product a model stands for, as its description names it: "NORIX solano
// 1280i V1.42, ..." names "NORIX solano 1280i", "solano 1280 in rescue mode:
// ..." the product "NORIX solano 1280". Empty when the description names none.
std::string ProductNamed(std::string_view description) {
  constexpr std::string_view kMaker = "NORIX ";
  constexpr std::string_view kRescue = " in rescue mode";
  if (description.starts_with(kMaker)) {
    for (std::size_t at = description.find(" V"); at != std::string_view::npos;
         at = description.find(" V", at + 1)) {
      if (at + 2 < description.size() && description[at + 2] >= '0' && description[at + 2] <= '9') {
        return std::string(description.substr(0, at));
      }
    }
    return {};
  }
  if (const std::size_t at = description.find(kRescue); at != std::string_view::npos && at > 0) {
    return std::string(kMaker) + std::string(description.substr(0, at));
  }
  return {};
}

}  // namespace

std::string SimulatedLineName(std::string_view model) {
  // The pages tell the product kinds apart by the line device's name ("solano
  // 1280", "NORIX KOMET II"), as the real products' drivers name them.
  const sim::ModelEntry* entry = sim::FindModel(model);
  const std::string product = entry != nullptr ? ProductNamed(entry->description) : std::string();
  if (!product.empty()) {
    return product + " (simulated)";
  }
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
