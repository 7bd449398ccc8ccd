// The solano 1280 adapters. The 1280i and the 1280mi are the same adapter
// with different add-ons; firmware before V1.40 knows neither the add-on
// report "ATI7" nor the add-on selection "AT!M<n>".
#include <string>

#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {
namespace {

constexpr const char* kCurrentVersion = "V1.42";
constexpr const char* kOldVersion = "V1.30";

// Firmware V1.40 brought the country setting; the date query is older.
IsdnAdapterData Solano1280Data(const std::string& name, const std::string& version) {
  const bool current = version == kCurrentVersion;
  IsdnAdapterData data;
  data.firmwareDate = current ? "Firmware date: Mar 15 2000" : "Firmware date: Nov 26 1998";
  if (current) {
    data.countries = EuroIsdnNationalityCodes();
    data.country = 6;  // Germany
  }
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "1280"},
      {1, "5E07"},
      {3, name + " " + version},
      {4, "NORIX ISDN solano 1280 terminal adapter"},
  };
  data.msnSlots = kSolanoMsnSlots;
  return data;
}

}  // namespace

AnalogueModemData Solano1280miModemData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "33600"},
      {1, "2D6B"},
      {3, "NORIX solano 1280mi Modem V1.30"},
      {4, "NX33 ISDN-TA rev A, flash _1M_"},
  };
  data.gci = false;
  data.countries = NationalityCodes();
  data.country = 6;
  data.revision = "V1.30 990210";
  return data;
}

IsdnAdapterData Solano1280iData(AdapterAddOn addOn) {
  IsdnAdapterData data = Solano1280Data("NORIX solano 1280i", kCurrentVersion);
  data.addOn = addOn;
  return data;
}

IsdnAdapterData Solano1280miData() {
  IsdnAdapterData data = Solano1280Data("NORIX solano 1280mi", kCurrentVersion);
  data.addOn = AdapterAddOn::InternalModem;
  data.internalModem = Solano1280miModemData();
  return data;
}

IsdnAdapterData Solano1280iOldData() { return Solano1280Data("NORIX solano 1280i", kOldVersion); }

IsdnAdapterData Solano1280miOldData() {
  IsdnAdapterData data = Solano1280Data("NORIX solano 1280mi", kOldVersion);
  data.internalModem = Solano1280miModemData();
  return data;
}

ModelEntry Solano1280iAnalogue() {
  return {"solano1280i-ab", "NORIX solano 1280i V1.42, ISDN adapter with analogue telephone port",
          [] { return MakeIsdnAdapter(Solano1280iData(AdapterAddOn::AnaloguePort)); }};
}

ModelEntry Solano1280i() {
  return {"solano1280i", "NORIX solano 1280i V1.42, ISDN adapter without internal hardware",
          [] { return MakeIsdnAdapter(Solano1280iData(AdapterAddOn::None)); }};
}

ModelEntry Solano1280mi() {
  return {"solano1280mi",
          "NORIX solano 1280mi V1.42, ISDN adapter with internal modem V1.30 behind AT!M",
          [] { return MakeIsdnAdapter(Solano1280miData()); }};
}

ModelEntry Solano1280iOld() {
  return {"solano1280i-old", "NORIX solano 1280i V1.30, old firmware: ATI7 and ATI5 answer ERROR",
          [] { return MakeIsdnAdapter(Solano1280iOldData()); }};
}

ModelEntry Solano1280miOld() {
  return {"solano1280mi-old",
          "NORIX solano 1280mi V1.30, old firmware: ATI7 and ATI5 answer ERROR, internal "
          "modem behind AT!M",
          [] { return MakeIsdnAdapter(Solano1280miOldData()); }};
}

}  // namespace norix::sim::models
