#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

AnalogueModemData Corvid336VoiceData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "33600"},
      {1, "3B9D"},
      {3, "NORIX corvid 336 Voice V1.09"},  // the firmware writes its name in lower case
      {4, "NX33 DSP rev C, flash _1M_"},
  };
  data.gci = false;
  data.countries = NationalityCodes();
  data.country = 3;  // Denmark
  data.revision = "V1.09 980420";
  return data;
}

ModelEntry Corvid336Voice() {
  return {"corvid336", "NORIX corvid 336 Voice V1.09, desktop modem with *NC",
          [] { return MakeAnalogueModem(Corvid336VoiceData()); }};
}

}  // namespace norix::sim::models
