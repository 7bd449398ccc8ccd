// norix-config: the NORIX configuration wizard, on a display (Qt) or a terminal.
#include <iostream>
#include <string_view>
#include <vector>

#include "app/app_options.h"
#include "app/run_app.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(argv[i]);  // NOLINT(cppcoreguidelines-pro-bounds-pointer-arithmetic)
  }
  const norix::app::AppOptions options = norix::app::ParseAppOptions(arguments);
  return norix::app::RunNorixConfig(argc > 0 ? argv[0] : nullptr, options, std::cout, std::cerr);
}
