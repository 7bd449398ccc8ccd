// What the upgrade page asks of the file dialog, and where the dialog starts:
// in the program's own folder the first time, later in the folder of the file
// chosen last. The dialog itself belongs to the window layer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norix::upgrade {

struct UpgradeFileDialogRequest {
  int titleId = 0;               // 2096 "Select a NORIX upgrade file"
  std::string filterName;        // "NORIX flash upgrade files (.lfu)"
  std::string filterPattern;     // "*.lfu"
  std::string defaultExtension;  // "lfu"
  std::string startFolder;
  std::optional<std::string> fileName;  // none: the name field keeps what it held
  bool fileMustExist = true;            // the file and its folder must exist
  bool showReadOnlyBox = false;
  bool showNetworkButton = false;
};

// Lives for the whole program run.
struct UpgradeFolderMemory {
  std::string lastChosenFile;  // empty until a file has been chosen
};

// The folder of the file chosen last, else `programFolder`.
[[nodiscard]] std::string StartFolder(const UpgradeFolderMemory& memory,
                                      std::string_view programFolder);

// Call with the path the dialog returned (not on cancel).
void RememberChosenFile(UpgradeFolderMemory& memory, std::string_view path);

[[nodiscard]] UpgradeFileDialogRequest MakeUpgradeFileDialogRequest(
    std::optional<std::string> defaultFileName, const UpgradeFolderMemory& memory,
    std::string_view programFolder);

}  // namespace norix::upgrade
