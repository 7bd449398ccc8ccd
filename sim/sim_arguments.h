// The command line of `norix-sim`.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/product_options.h"

namespace norix::sim {

struct SimArguments {
  bool help = false;
  bool version = false;
  bool list = false;
  ProductOptions options;
  std::vector<std::string> models;  // one product per name, in order
  std::string error;                // set when the command line is unusable
};

// Parses the arguments after the program name. Every model name must be a
// known model; numbers must be whole decimal numbers within their range.
[[nodiscard]] SimArguments ParseSimArguments(std::span<const std::string_view> arguments);

// The text of `norix-sim --help`.
[[nodiscard]] std::string SimUsage();

}  // namespace norix::sim
