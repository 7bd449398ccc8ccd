#include "sim/pty_product.h"

#include <utility>

#include "platform/comm/pty_line.h"
#include "sim/model_registry.h"

namespace norix::sim {

PtyProduct StartOnPty(std::string_view modelName, ProductOptions options) {
  PtyProduct result;
  const ModelEntry* entry = FindModel(modelName);
  if (entry == nullptr) {
    result.error = "unknown model \"" + std::string(modelName) + "\"";
    return result;
  }
  platform::comm::PtyLine pty = platform::comm::OpenPtyLine();
  if (!pty.device) {
    result.error = "cannot open a pty for " + std::string(modelName) + ": " + pty.message;
    return result;
  }
  result.product = std::make_unique<SimulatedProduct>(std::string(modelName), entry->make(),
                                                      std::move(pty.device), std::move(options));
  result.product->Start();
  result.path = std::move(pty.slavePath);
  return result;
}

}  // namespace norix::sim
