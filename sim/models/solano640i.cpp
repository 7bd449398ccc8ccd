#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

// The small solano: no add-ons, so no "ATI7" either.
IsdnAdapterData Solano640iData() {
  IsdnAdapterData data;
  data.speeds = StandardSpeeds();
  data.firmwareDate = "Firmware date: Jun 7 1999";
  data.countries = EuroIsdnNationalityCodes();
  data.country = 16;  // England
  data.identification = {
      {0, "640"},
      {1, "1A5C"},
      {3, "NORIX solano 640i V1.12"},
      {4, "NORIX ISDN solano 640 terminal adapter"},
  };
  data.msnSlots = kSolanoMsnSlots;
  return data;
}

ModelEntry Solano640i() {
  return {"solano640i", "NORIX solano 640i V1.12, ISDN adapter without add-ons (ATI7: ERROR)",
          [] { return MakeIsdnAdapter(Solano640iData()); }};
}

}  // namespace norix::sim::models
