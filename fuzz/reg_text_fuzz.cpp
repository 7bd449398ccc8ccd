// Reads arbitrary bytes as a registry store file. The keys it reads must
// write back and parse again to the same keys without a problem, and every
// problem it reports must be one line of printable ASCII of bounded length,
// whatever bytes the file held.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/reg_text.h"

namespace {

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

bool PrintableLine(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) {
      return false;
    }
  }
  return text.size() <= 512;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace norix::platform::registry;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as text
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ParsedStore parsed = ParseRegText(text, "registry.reg");
  for (const StoreProblem& problem : parsed.problems) {
    Check(PrintableLine(problem.Text()));
  }
  const ParsedStore again = ParseRegText(FormatRegText(parsed.root), "registry.reg");
  Check(again.problems.empty());
  Check(again.root == parsed.root);
  return 0;
}
