#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"
#include "sim/pc_card_modem.h"

namespace norix::sim::models {

AnalogueModemData Marlin560VoiceData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "56000"},
      {1, "91E6"},
      {3, "NORIX Marlin 560 Voice V1.41"},
      {4, "NX56 PCMCIA rev A, flash _1M_"},
  };
  data.gci = true;
  data.countries = GciCountries();
  data.country = 0xB4;
  data.revision = "V1.41 990907";
  data.calibration = "3C2D";  // "AT\3"
  data.boot.modelIndex = 2;   // "marlin 560 Voice" in the rescue model table
  return data;
}

ModelEntry Marlin560Voice() {
  return {"marlin560",
          "NORIX Marlin 560 Voice V1.41, PC Card modem with +GCI: ignores 4 lines at first and "
          "after 60 s without traffic",
          [] { return MakePcCardModem(Marlin560VoiceData(), PcCardSleep{}); }};
}

ModelEntry Marlin560VoiceDeepSleep() {
  return {"marlin560-deep",
          "NORIX Marlin 560 Voice V1.41, PC Card modem that ignores the first 6 lines: "
          "one open's five AT do not wake it",
          [] {
            PcCardSleep sleep;
            sleep.ignoredLines = 6;
            return MakePcCardModem(Marlin560VoiceData(), sleep);
          }};
}

}  // namespace norix::sim::models
