// Products whose previous upgrade failed: only their loader answers, and
// only at the loader's speed.
#include <string>

#include "sim/adapter_boot_program.h"
#include "sim/models/models.h"
#include "sim/modem_loader.h"

namespace norix::sim::models {

ModelEntry ModemRescue() {
  return {"modem-rescue",
          "analogue modem in rescue mode: its loader answers AT with OK at 57600 only",
          [] { return MakeModemLoader(57600); }};
}

ModelEntry ModemRescue115200() {
  return {"modem-rescue-115200",
          "analogue modem in rescue mode: its loader answers AT with OK at 115200 only",
          [] { return MakeModemLoader(115200); }};
}

ModelEntry SolanoRescue() {
  return {"solano-rescue",
          "solano 1280 in rescue mode: its boot program prompts \"Are You sure to upgrade\" "
          "at 57600",
          [] {
            return MakeAdapterBootProgram(std::string(kSolanoUpgradePrompt), kBootProgramBaudRate);
          }};
}

ModelEntry KometIIRescue() {
  return {"komet2-rescue",
          "KOMET II in rescue mode: its boot program prompts \"Do You really want to upgrade\" "
          "at 57600",
          [] {
            return MakeAdapterBootProgram(std::string(kKometUpgradePrompt), kBootProgramBaudRate);
          }};
}

}  // namespace norix::sim::models
