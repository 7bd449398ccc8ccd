#include <memory>

#include "sim/models/models.h"

namespace norix::sim::models {
namespace {

class SilentPortModel final : public Model {
 public:
  [[nodiscard]] bool AnswersAt(std::uint32_t) const override { return false; }
  [[nodiscard]] ModemSettings FactorySettings() const override {
    return StandardFactorySettings(13);
  }
  void AddCommands(CommandSet&) override {}
};

}  // namespace

ModelEntry SilentPort() {
  return {"silent", "a port with nothing attached: never answers",
          [] { return std::make_unique<SilentPortModel>(); }};
}

}  // namespace norix::sim::models
