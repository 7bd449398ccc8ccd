#include "upgrade/upgrade_file_dialog.h"

#include "upgrade/upgrade_file_messages.h"

namespace norix::upgrade {

std::string StartFolder(const UpgradeFolderMemory& memory, std::string_view programFolder) {
  const auto slash = memory.lastChosenFile.rfind('/');
  if (slash == std::string::npos) {
    return std::string(programFolder);
  }
  if (slash == 0) {
    return "/";
  }
  return memory.lastChosenFile.substr(0, slash);
}

void RememberChosenFile(UpgradeFolderMemory& memory, std::string_view path) {
  memory.lastChosenFile = std::string(path);
}

UpgradeFileDialogRequest MakeUpgradeFileDialogRequest(std::optional<std::string> defaultFileName,
                                                      const UpgradeFolderMemory& memory,
                                                      std::string_view programFolder) {
  UpgradeFileDialogRequest request;
  request.titleId = kMsgSelectFileTitle;
  request.filterName = "NORIX flash upgrade files (.lfu)";
  request.filterPattern = "*.lfu";
  request.defaultExtension = "lfu";
  request.startFolder = StartFolder(memory, programFolder);
  request.fileName = std::move(defaultFileName);
  return request;
}

}  // namespace norix::upgrade
