#pragma once

// The program's data folder, which holds the language catalogues
// (norix045.txt, ...).

#include <filesystem>
#include <optional>
#include <string>

namespace norix::resources::strings {

// Where the data folder may be. Kept apart from the lookup so that tests can
// name every place themselves.
struct DataFolderPlaces {
  std::optional<std::string> environment;  // value of $NORIX_DATA_DIR, if set
  std::filesystem::path executable;        // the running program file, may be empty
  std::filesystem::path build_tree;        // the build tree's copy, may be empty
};

// The data folder: the environment value when it is set and not empty; else
// <folder of the executable>/../share/norix when that folder exists; else the
// build tree's copy when it exists; else an empty path (no language
// catalogues, the program uses its own texts).
[[nodiscard]] std::filesystem::path ChooseDataFolder(const DataFolderPlaces& places);

// The places of this process: $NORIX_DATA_DIR, /proc/self/exe and the build
// tree this program was built in.
[[nodiscard]] DataFolderPlaces DataFolderPlacesOfProcess();

// ChooseDataFolder(DataFolderPlacesOfProcess()).
[[nodiscard]] std::filesystem::path FindDataFolder();

// The build tree's copy of the data folder (set when the program is built).
[[nodiscard]] std::filesystem::path BuildTreeDataFolder();

}  // namespace norix::resources::strings
