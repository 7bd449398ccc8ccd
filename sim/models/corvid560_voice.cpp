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
  data.calibration = "4B1E";  // "AT\3"
  data.boot.modelIndex = 0;   // "corvid 560 Voice" in the rescue model table
  return data;
}

AnalogueModemData Corvid560VoiceLargeFlashData() {
  AnalogueModemData data = Corvid560VoiceData();
  data.identification[1] = "A3C5";
  data.identification[3] = "NORIX corvid 560 Voice V1.52";
  data.identification[4] = "NX56 DSP rev D, flash _2M_";
  data.revision = "V1.52 001128";
  data.boot.modelIndex = 4;
  data.boot.largeFlash = true;
  return data;
}

ModelEntry Corvid560Voice() {
  return {"corvid560", "NORIX corvid 560 Voice V1.40, desktop modem with +GCI",
          [] { return MakeAnalogueModem(Corvid560VoiceData()); }};
}

ModelEntry Corvid560VoiceLargeFlash() {
  return {"corvid560-2m",
          "NORIX corvid 560 Voice V1.52, desktop modem with +GCI and the large flash part "
          "(_2M_)",
          [] { return MakeAnalogueModem(Corvid560VoiceLargeFlashData()); }};
}

}  // namespace norix::sim::models
