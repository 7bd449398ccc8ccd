// Upgrade files for the tests, made with the same writer the norix-lfu tool
// uses, and small helpers to view them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "upgrade/upgrade_file_builder.h"
#include "upgrade/upgrade_file_writer.h"
#include "upgrade/upgrade_header.h"
#include "upgrade/upgrade_image.h"

namespace norix::upgrade::testing {

inline std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

inline std::string Text(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

inline UpgradeImage ImageOf(std::string_view text) { return MakeUpgradeImage(Bytes(text)); }

// A built file, or a failed test when the builder refuses the recipe.
std::vector<std::uint8_t> Build(const UpgradeFileRecipe& recipe);

// Recipes with seeded sections of the given sizes.
UpgradeFileRecipe ModemRecipe(std::size_t loaderSize, std::size_t firmwareSize,
                              std::size_t firmware2Size = 0);
UpgradeFileRecipe KometRecipe(std::size_t firmwareSize, std::size_t bootSize,
                              std::uint16_t bootVersion = 0x0102);
UpgradeFileRecipe SolanoRecipe(std::size_t firmwareSize);

// A modem file written with the low-level writer whose total size is exactly
// `totalSize`: loader and firmware as given, "[FileThree]" data filling the
// rest. FileChecksum and FileChecksum2 are left empty.
std::vector<std::uint8_t> ModemFileOfSize(std::size_t totalSize, std::size_t loaderSize,
                                          std::size_t firmwareSize);

}  // namespace norix::upgrade::testing
