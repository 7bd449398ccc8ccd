// The dialog templates of a program by id. Filled at start-up (the resources
// register theirs; tests make their own) and read by every dialog thread.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window/dialog_template.h"

namespace norix::platform::window {

class TemplateRegistry {
 public:
  // Adds the template, replacing one with the same id. Returns an empty text
  // on success; for a malformed template the reason (see CheckTemplate), and
  // nothing is added.
  [[nodiscard]] std::string Add(DialogTemplate dialog);

  // The template with this id, or null.
  [[nodiscard]] std::shared_ptr<const DialogTemplate> Find(int id) const;

  [[nodiscard]] std::vector<int> Ids() const;

 private:
  mutable std::mutex mutex_;
  std::map<int, std::shared_ptr<const DialogTemplate>> templates_;
};

}  // namespace norix::platform::window
