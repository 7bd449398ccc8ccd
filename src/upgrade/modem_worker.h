// The modem upgrade worker's work: the country read before the upgrade,
// the modem transfer (once more after a rescue transfer that the product
// answered as already programmed), the country put back, and the one finish
// message for the progress page. Runs on the worker's thread and owns the
// port from start to end; blocks for the whole upgrade.
#pragma once

#include <cstdint>

#include "device/selected_product.h"
#include "platform/comm/port.h"
#include "shell/worker.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_state.h"
#include "upgrade/upgrade_view.h"

namespace norix::upgrade {

// Text of our own: the country could not be put back ("%s" the country).
inline constexpr int kMsgSetCountryByHand = 2413;

struct ModemWorkerJob {
  platform::comm::Port* port = nullptr;
  device::SelectedProduct* product = nullptr;
  UpgradeState* state = nullptr;  // its image holds the cut sections
  bool gciSupport = false;
  std::uint32_t speed = 0;
  ModemTarget target;
};

// The finish message: kUpgradeFinishedToNationality when the user asked for
// the nationality page after a rescue transfer, else kUpgradeFinished; it is
// the worker's last act, after every exchange with the product. Clears the
// running flag, and the rescue start and rescue transfer flags after a
// rescue start.
[[nodiscard]] shell::EndMessage RunModemWorker(const ModemWorkerJob& job, UpgradeView& view,
                                               TransferClock& clock);

}  // namespace norix::upgrade
