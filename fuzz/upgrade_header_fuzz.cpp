// Reads arbitrary bytes as an upgrade file header. Whatever parses must write
// back and parse again to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "upgrade/upgrade_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace norix::upgrade;
  const UpgradeHeader header = ParseUpgradeHeader(std::span(data, size));
  const HeaderWriteResult written = WriteUpgradeHeader(header);
  // The reader trims blanks and quotes and cuts at NUL, so some values it
  // returns cannot be written; those that can must read back unchanged.
  if (written.ok() && !(ParseUpgradeHeaderText(written.text) == header)) {
    std::abort();
  }
  return 0;
}
