#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

AnalogueModemData Netrunner33k6Data() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "33600"},
      {1, "51A0"},
      {3, "NORIX Netrunner 33600 Voice V1.02"},
      {4, "NX33 DSP rev A, flash _1M_"},
  };
  data.gci = false;
  // The maker's nationality codes, ascending.
  data.countries = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 22, 40, 43};
  data.country = 6;  // Germany
  data.revision = "V1.02 970815";
  return data;
}

ModelEntry Netrunner33k6() {
  return {"netrunner33k6", "NORIX Netrunner 33600 Voice V1.02, analogue modem with *NC",
          [] { return MakeAnalogueModem(Netrunner33k6Data()); }};
}

}  // namespace norix::sim::models
