#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

// A modem of another maker on the same port. Its "ATI3" reply is long: with
// the echo it fills the first 50 bytes the program reads, so the final OK is
// not among them.
AnalogueModemData ForeignModemData() {
  AnalogueModemData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "56000"},
      {1, "255"},
      {3, "External Data/Fax/Voice Modem, firmware release 3.12.07 built Nov 23 1998"},
      {4, "Controller rev 2, DSP rev 5"},
  };
  data.gci = true;
  data.countries = GciCountries();
  data.country = 0xB5;
  data.revision = "3.12.07 981123";
  return data;
}

ModelEntry ForeignModem() {
  return {"foreign", "a modem of another maker: long ATI3 reply without NORIX",
          [] { return MakeAnalogueModem(ForeignModemData()); }};
}

}  // namespace norix::sim::models
