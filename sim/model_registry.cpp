#include "sim/model_registry.h"

#include "sim/models/models.h"

namespace norix::sim {

const std::vector<ModelEntry>& Models() {
  static const std::vector<ModelEntry> models = {
      models::Netrunner56k(),
      models::Netrunner56kDenmarkUsa(),
      models::Netrunner33k6(),
      models::Corvid336Voice(),
      models::Corvid560Voice(),
      models::Corvid560VoiceLargeFlash(),
      models::Marlin560Voice(),
      models::Marlin560VoiceDeepSleep(),
      models::Modem560Int(),
      models::Corvid560Usb(),
      models::Solano1280iAnalogue(),
      models::Solano1280i(),
      models::Solano1280mi(),
      models::Solano1280iOld(),
      models::Solano1280miOld(),
      models::Solano640i(),
      models::KometII(),
      models::KometIIEarly(),
      models::KometIIUsb(),
      models::ModemRescue(),
      models::ModemRescue115200(),
      models::SolanoRescue(),
      models::KometIIRescue(),
      models::ForeignModem(),
      models::SilentPort(),
      models::RefusingProduct(),
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
