#include <chrono>

#include "sim/models/country_codes.h"
#include "sim/models/models.h"
#include "sim/models/standard_speeds.h"

namespace norix::sim::models {

namespace {

// PPP over one or two channels with bandwidth on demand and call bumping,
// HDLC, X.75 and X.75 Multilink, V.120, V.110, and Auto Mode for incoming
// calls.
constexpr std::uint32_t kKometFeatureWord = 0x1FBC;
// The firmware that brought "AT!P0".
constexpr std::uint32_t kFeatureWordVersion = 205;

}  // namespace

IsdnAdapterData KometIIData() {
  IsdnAdapterData data;
  data.speeds = StandardSpeeds();
  data.identification = {
      {0, "2B"},
      {1, "E3A0"},
      {3, "NORIX KOMET II V2.05"},
      {4, "NORIX ISDN KOMET II terminal adapter"},
  };
  data.profileCount = 2;
  data.boot.prompt = kKometUpgradePrompt;
  data.boot.target = FirmwareTarget::KometII;
  data.boot.okAfterRestart = false;
  data.boot.bootCodeVersion = 0x0101;  // "ATI6" answers 0101
  data.featureWord = kKometFeatureWord;
  data.featureWordSince = kFeatureWordVersion;
  data.revision = "V2.05 001023";
  data.countries = EuroIsdnNationalityCodes();
  data.country = 6;  // Germany
  data.providerServices = KometProviderServices();
  return data;
}

IsdnAdapterData KometIIEarlyData() {
  IsdnAdapterData data = KometIIData();
  data.identification[3] = "NORIX KOMET II V2.01";
  data.boot.bootCodeVersion = 0x0100;
  // The same hardware: its firmware is too old to report the feature word.
  data.revision = "V2.01 000410";
  return data;
}

ModelEntry KometII() {
  return {"komet2", "NORIX KOMET II V2.05, ISDN adapter reporting feature word 1FBC to AT!P0",
          [] { return MakeIsdnAdapter(KometIIData()); }};
}

// Behind USB the adapter answers at any speed and takes long to come back
// after an upgrade: the USB device goes away and is found anew.
IsdnAdapterData KometIIUsbData() {
  IsdnAdapterData data = KometIIData();
  data.boot.anySpeed = true;
  data.boot.okAfterRestart = true;
  data.boot.restartTime = std::chrono::milliseconds(10000);
  return data;
}

ModelEntry KometIIUsb() {
  return {"komet2-usb",
          "NORIX KOMET II USB V2.05, the KOMET II behind a USB port: any speed, 10 s restart "
          "after an upgrade",
          [] { return MakeIsdnAdapter(KometIIUsbData()); }};
}

ModelEntry KometIIEarly() {
  return {"komet2-early", "NORIX KOMET II V2.01, early firmware: AT!P0 answers ERROR",
          [] { return MakeIsdnAdapter(KometIIEarlyData()); }};
}

}  // namespace norix::sim::models
