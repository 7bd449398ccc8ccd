// A simulated product served on a pseudo-terminal, as `norix-sim` serves its
// products and as tests use one in-process: the program under test opens
// `path` as its serial port, and the test reads what the product received
// through `product` (its transcript) while it runs.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/product_options.h"
#include "sim/simulated_product.h"

namespace norix::sim {

struct PtyProduct {
  std::unique_ptr<SimulatedProduct> product;  // started; null on failure
  std::string path;                           // the pty slave, e.g. /dev/pts/7
  std::string error;                          // why it failed
};

// Makes the model named `modelName` (model_registry.h) and starts it on a
// new pty. Fails for an unknown model or when no pty can be had. Stopping or
// destroying the product closes the pty.
[[nodiscard]] PtyProduct StartOnPty(std::string_view modelName, ProductOptions options = {});

}  // namespace norix::sim
