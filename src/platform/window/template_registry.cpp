#include "platform/window/template_registry.h"

#include <utility>

namespace norix::platform::window {

std::string TemplateRegistry::Add(DialogTemplate dialog) {
  std::string problem = CheckTemplate(dialog);
  if (!problem.empty()) {
    return problem;
  }
  auto stored = std::make_shared<const DialogTemplate>(std::move(dialog));
  const std::lock_guard lock(mutex_);
  templates_[stored->id] = std::move(stored);
  return {};
}

std::shared_ptr<const DialogTemplate> TemplateRegistry::Find(int id) const {
  const std::lock_guard lock(mutex_);
  const auto found = templates_.find(id);
  return found == templates_.end() ? nullptr : found->second;
}

std::vector<int> TemplateRegistry::Ids() const {
  const std::lock_guard lock(mutex_);
  std::vector<int> ids;
  ids.reserve(templates_.size());
  for (const auto& entry : templates_) {
    ids.push_back(entry.first);
  }
  return ids;
}

}  // namespace norix::platform::window
