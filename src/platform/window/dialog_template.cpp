#include "platform/window/dialog_template.h"

#include <set>

namespace norix::platform::window {

std::string CheckTemplate(const DialogTemplate& dialog) {
  if (dialog.id <= 0) {
    return "dialog template id must be positive";
  }
  const std::string name = "dialog template " + std::to_string(dialog.id);
  if (dialog.width <= 0 || dialog.height <= 0) {
    return name + ": size must be positive";
  }
  std::set<int> ids;
  for (const ControlTemplate& control : dialog.controls) {
    if (control.rect.Width() < 0 || control.rect.Height() < 0) {
      return name + ": control " + std::to_string(control.id) + " has a negative size";
    }
    if (control.id == 0) {
      return name + ": control id 0 is reserved";
    }
    if (control.id != IDC_STATIC && !ids.insert(control.id).second) {
      return name + ": control id " + std::to_string(control.id) + " appears twice";
    }
  }
  return {};
}

}  // namespace norix::platform::window
