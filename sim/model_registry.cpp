#include "sim/model_registry.h"

#include "sim/models/models.h"

namespace norix::sim {

const std::vector<ModelEntry>& Models() {
  static const std::vector<ModelEntry> models = {
      models::Netrunner56k(),
      models::Netrunner33k6(),
      models::SilentPort(),
  };
  return models;
}

const ModelEntry* FindModel(std::string_view name) {
  for (const ModelEntry& entry : Models()) {
    if (entry.name == name) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace norix::sim
