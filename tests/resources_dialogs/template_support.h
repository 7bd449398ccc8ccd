// Helpers shared by the template tests.
#pragma once

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/window/dialog_template.h"
#include "resources/dialogs/dialog_templates.h"

namespace norix::resources::dialogs::testing {

using platform::window::ControlTemplate;
using platform::window::DialogTemplate;

// Every template by id, built once.
inline const std::map<int, DialogTemplate>& TemplatesById() {
  static const std::map<int, DialogTemplate> kById = [] {
    std::map<int, DialogTemplate> byId;
    for (DialogTemplate& dialog : DialogTemplates()) {
      const int id = dialog.id;
      byId.emplace(id, std::move(dialog));
    }
    return byId;
  }();
  return kById;
}

// The template with this id; throws std::out_of_range (a test failure naming
// it) when there is none.
inline const DialogTemplate& TemplateOf(int id) {
  const auto found = TemplatesById().find(id);
  if (found == TemplatesById().end()) {
    throw std::out_of_range("no template " + std::to_string(id));
  }
  return found->second;
}

inline bool HasControl(const DialogTemplate& dialog, int id) {
  return std::any_of(dialog.controls.begin(), dialog.controls.end(),
                     [id](const ControlTemplate& control) { return control.id == id; });
}

// The control with this id; throws std::out_of_range when there is none.
inline const ControlTemplate& ControlOf(const DialogTemplate& dialog, int id) {
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == id) {
      return control;
    }
  }
  throw std::out_of_range("template " + std::to_string(dialog.id) + " has no control " +
                          std::to_string(id));
}

inline std::string Describe(const ControlTemplate& control) {
  return "control " + std::to_string(control.id) + " (" + std::to_string(control.rect.left) + "," +
         std::to_string(control.rect.top) + " " + std::to_string(control.rect.Width()) + "x" +
         std::to_string(control.rect.Height()) + ")";
}

}  // namespace norix::resources::dialogs::testing
