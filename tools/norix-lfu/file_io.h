// Reading input files and writing the output file of the tool. The output is
// written to a temporary file beside it and renamed into place, so a failed
// run never leaves a half-written file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace norix::tools::lfu {

// The whole file, at most `limit` bytes; none with `error` set otherwise.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                                     std::size_t limit,
                                                                     std::string& error);

// True when `path` now holds exactly `bytes`; else `error` says why and any
// earlier file at `path` is untouched.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                       std::string& error);

}  // namespace norix::tools::lfu
