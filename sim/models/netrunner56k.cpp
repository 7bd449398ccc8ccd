#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

AnalogueModemData Netrunner56kData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "56000"},
      {1, "7C4E"},  // firmware checksum, compared with an upgrade file's checksum text
      {3, "NORIX Netrunner 56000 Voice V1.10"},
      {4, "NX56 DSP rev B, flash _1M_"},  // a large flash part would read "_2M_"
  };
  data.gci = true;
  // T.35 codes of the countries the maker sells in, ascending.
  data.countries = {0x00, 0x09, 0x0A, 0x0F, 0x31, 0x3C, 0x3D, 0x42, 0x46, 0x57,
                    0x59, 0x7B, 0x82, 0x8B, 0xA0, 0xA5, 0xA6, 0xB4, 0xB5};
  data.country = 0xB5;
  data.revision = "V1.10 990312";
  data.calibration = "5A3C";  // "AT\3"
  data.boot.modelIndex = 1;   // "Netrunner 560 Voice" in the rescue model table
  return data;
}

ModelEntry Netrunner56k() {
  return {"netrunner56k", "NORIX Netrunner 56000 Voice V1.10, analogue modem with +GCI",
          [] { return MakeAnalogueModem(Netrunner56kData()); }};
}

AnalogueModemData Netrunner56kDenmarkUsaData() {
  AnalogueModemData data = Netrunner56kData();
  data.countries = {0x31, 0xB5};
  return data;
}

ModelEntry Netrunner56kDenmarkUsa() {
  return {"netrunner56k-dkus",
          "NORIX Netrunner 56000 Voice V1.10 for Denmark and the U.S.A. only: +GCI=? lists 31 "
          "and B5",
          [] { return MakeAnalogueModem(Netrunner56kDenmarkUsaData()); }};
}

}  // namespace norix::sim::models
