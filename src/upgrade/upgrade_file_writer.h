// Writing an upgrade file: the text header, then each data section as a
// header line ("[FileOne]" CR LF) followed by its bytes, with CR LF between a
// section's bytes and the next header line. The last section runs to the end
// of the file. This is the shape the layouts cut (see file_layout.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "upgrade/upgrade_header.h"

namespace norix::upgrade {

struct DataSection {
  std::string_view header;  // kFileOne, kFileTwo or kFileThree
  std::vector<std::uint8_t> data;
};

struct FileWriteResult {
  std::vector<std::uint8_t> bytes;
  std::string error;  // why the file cannot be written; bytes are empty then

  [[nodiscard]] bool ok() const { return error.empty(); }
};

// Refuses what would not read back as written: a header WriteUpgradeHeader
// refuses, an unknown or repeated section header, and section data holding a
// section header text (the search would find it there).
[[nodiscard]] FileWriteResult WriteUpgradeFile(const UpgradeHeader& header,
                                               const std::vector<DataSection>& sections);

}  // namespace norix::upgrade
