// What a model sees of its product's line while it is out of command mode
// (dialling, a flash loader, an X-modem receiver): sending, result codes in
// the product's current framing, and the product's options.
#pragma once

#include <cstdint>
#include <string_view>

#include "sim/product_options.h"
#include "sim/result_code.h"

namespace norix::sim {

class ProductLink {
 public:
  ProductLink() = default;
  ProductLink(const ProductLink&) = delete;
  ProductLink& operator=(const ProductLink&) = delete;
  ProductLink(ProductLink&&) = delete;
  ProductLink& operator=(ProductLink&&) = delete;
  virtual ~ProductLink() = default;

  // Sends bytes as the product sends everything: paced and disturbed as its
  // options say. Blocks while pacing; returns early when the product stops.
  virtual void Send(std::string_view bytes) = 0;
  // Sends a final result code framed by the current settings (V, Q, S3, S4).
  virtual void SendResult(ResultCode code) = 0;
  [[nodiscard]] virtual const ProductOptions& Options() const = 0;
  // The host's port speed when its last bytes came.
  [[nodiscard]] virtual std::uint32_t HostBaudRate() const = 0;
};

}  // namespace norix::sim
