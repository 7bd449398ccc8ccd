#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

AnalogueModemData Corvid560VoiceData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "56000"},
      {1, "8D21"},
      {3, "NORIX corvid 560 Voice V1.40"},
      {4, "NX56 DSP rev C, flash _1M_"},
  };
  data.gci = true;
  data.countries = GciCountries();
  data.country = 0x3D;
  data.revision = "V1.40 000214";
  return data;
}

ModelEntry Corvid560Voice() {
  return {"corvid560", "NORIX corvid 560 Voice V1.40, desktop modem with +GCI",
          [] { return MakeAnalogueModem(Corvid560VoiceData()); }};
}

}  // namespace norix::sim::models
