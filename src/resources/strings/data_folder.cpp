#include "resources/strings/data_folder.h"

#include <cstdlib>
#include <system_error>

namespace norix::resources::strings {

namespace {

bool IsFolder(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_directory(path, ec);
}

}  // namespace

std::filesystem::path ChooseDataFolder(const DataFolderPlaces& places) {
  if (places.environment && !places.environment->empty()) return *places.environment;
  if (!places.executable.empty()) {
    auto installed =
        (places.executable.parent_path() / ".." / "share" / "norix").lexically_normal();
    if (IsFolder(installed)) return installed;
  }
  if (IsFolder(places.build_tree)) return places.build_tree;
  return {};
}

DataFolderPlaces DataFolderPlacesOfProcess() {
  DataFolderPlaces places;
  // Read once at start-up, before any other thread exists.
  if (const char* value = std::getenv("NORIX_DATA_DIR")) {  // NOLINT(concurrency-mt-unsafe)
    places.environment = value;
  }
  std::error_code ec;
  places.executable = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) places.executable.clear();
  places.build_tree = BuildTreeDataFolder();
  return places;
}

std::filesystem::path FindDataFolder() { return ChooseDataFolder(DataFolderPlacesOfProcess()); }

}  // namespace norix::resources::strings
