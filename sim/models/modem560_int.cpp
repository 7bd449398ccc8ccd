#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

AnalogueModemData Modem560IntData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "56000"},
      {1, "6F0A"},
      {3, "NORIX 560 V Int V1.40"},
      {4, "NX56 ISA rev B, flash _1M_"},
  };
  data.gci = true;
  data.countries = GciCountries();
  data.country = 0x3D;
  data.revision = "V1.40 990615";
  data.calibration = "6E0F";  // "AT\3"
  data.boot.modelIndex = 3;   // "560 V Int" in the rescue model table
  return data;
}

ModelEntry Modem560Int() {
  return {"int560", "NORIX 560 V Int V1.40, internal modem with +GCI",
          [] { return MakeAnalogueModem(Modem560IntData()); }};
}

}  // namespace norix::sim::models
