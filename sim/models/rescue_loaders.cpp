// Products whose previous upgrade failed: the flash holds no whole firmware,
// so only their boot firmware or boot program answers, at its own speed. An
// upgrade brings them back as the product they are.
#include <utility>

#include "sim/adapter_boot_program.h"
#include "sim/models/models.h"
#include "sim/modem_loader.h"

namespace norix::sim::models {

ModelEntry ModemRescue() {
  return {"modem-rescue",
          "analogue modem in rescue mode (a corvid 560 Voice): its boot firmware answers AT with "
          "OK at 57600 only, AT* with ERROR",
          [] {
            AnalogueModemData data = Corvid560VoiceData();
            data.flashDamaged = true;
            data.boot.modelIndex.reset();  // older boot firmware: the user names the model
            return MakeAnalogueModem(std::move(data));
          }};
}

ModelEntry ModemRescue115200() {
  return {"modem-rescue-115200",
          "analogue modem in rescue mode (a corvid 560 Voice): its boot firmware answers AT with "
          "OK at 115200 only, AT* with its model index 0",
          [] {
            AnalogueModemData data = Corvid560VoiceData();
            data.flashDamaged = true;
            data.boot.baudRate = 115200;
            return MakeAnalogueModem(std::move(data));
          }};
}

ModelEntry SolanoRescue() {
  return {"solano-rescue",
          "solano 1280 in rescue mode (a 1280i a/b): its boot program prompts \"Are You sure to "
          "upgrade\" at 57600",
          [] {
            IsdnAdapterData data = Solano1280iData(AdapterAddOn::AnaloguePort);
            data.flashDamaged = true;
            return MakeIsdnAdapter(std::move(data));
          }};
}

ModelEntry KometIIRescue() {
  return {"komet2-rescue",
          "KOMET II in rescue mode: its boot program prompts \"Do You really want to upgrade\" "
          "at 57600",
          [] {
            IsdnAdapterData data = KometIIData();
            data.flashDamaged = true;
            return MakeIsdnAdapter(std::move(data));
          }};
}

}  // namespace norix::sim::models
