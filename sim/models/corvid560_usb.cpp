#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/usb_modem.h"

namespace norix::sim::models {

AnalogueModemData Corvid560UsbData() {
  AnalogueModemData data;
  data.identification = {
      {0, "56000"},
      {1, "C41F"},
      {3, "NORIX Corvid 560V USB V1.52"},
      {4, "NX56 USB rev A, flash _2M_"},  // the large flash part
  };
  data.gci = true;
  data.countries = GciCountries();
  data.country = 0x3D;
  data.revision = "V1.52 001128";
  data.calibration = "2D4A";  // "AT\3"
  data.boot.modelIndex = 7;   // "corvid 560 Voice USB" in the rescue model table
  data.boot.largeFlash = true;
  data.boot.baudRate = 0;  // behind USB, as the modem itself
  return data;
}

ModelEntry Corvid560Usb() {
  return {"usb560", "NORIX Corvid 560V USB V1.52, USB modem with +GCI: answers at any port speed",
          [] { return MakeUsbModem(Corvid560UsbData()); }};
}

}  // namespace norix::sim::models
