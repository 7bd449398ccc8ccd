// The upgrade's record of the run, beside the rescue flags and the ISDN
// target that product selection shares (device::RescueFlags): what upgrade
// start found (speed, the chosen file's version and checksum text), the
// flags of the progress page and its worker, and the countries read around
// a transfer. The page threads write it while no worker runs; a running
// worker writes only the atomics, which the page reads after the worker's
// end message.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "device/selected_product.h"
#include "link/modem_context.h"
#include "shell/worker.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_file_dialog.h"
#include "upgrade/upgrade_image.h"
#include "upgrade/upgrade_view.h"

namespace norix::upgrade {

inline constexpr std::size_t kMsnSlots = 6;

struct UpgradeState {
  std::atomic<bool> running{false};      // a worker is active
  std::atomic<bool> probeSpeed{true};    // the port speed is probed before the transfer
  std::atomic<int> speedIndex{1};        // 1, 2, 4 or 8 (the speed probe's result)
  std::atomic<bool> v130Refusal{false};  // the same version page refuses the file
  std::atomic<std::uint16_t> countryBefore{0};
  std::atomic<std::uint16_t> countryAfter{0};
  // The six MSN slots of an ISDN adapter, kept across its upgrade by the
  // ISDN worker.
  std::array<std::string, kMsnSlots> savedMsn{};

  // The chosen file: its path, version number and modem checksum text from
  // the file selection, the large flash flag from the rescue probe. The
  // progress page loads and cuts it.
  UpgradeImage image;
  UpgradeFolderMemory folder;
  std::string programFolder;  // where the file dialog opens the first time
};

// The ISDN adapter's worker (its own transfer), which a later part of the
// program provides. Everything it needs is in the job; it runs on the
// worker's thread and returns the finish message to post.
struct IsdnWorkerJob {
  platform::comm::Port* port = nullptr;
  device::SelectedProduct* product = nullptr;
  link::ModemContext* context = nullptr;  // versions and GCI support, read only
  UpgradeState* state = nullptr;
  std::uint32_t speed = 0;  // the transfer speed the port is set to
};
using IsdnWorker = std::function<shell::EndMessage(const IsdnWorkerJob& job, UpgradeView& view,
                                                   TransferClock& clock)>;

// What the upgrade asks of the product subsystem, which it may not call by
// itself: the catalogue's upgrade kind of a name, and the identification
// parsed into the context. The program fills them in.
struct UpgradeHooks {
  std::function<device::UpgradeClass(std::string_view name)> lookupUpgradeKind;
  std::function<void(std::string_view ident, link::ModemContext& context)> parseIdentification;
  IsdnWorker isdnWorker;  // unset: ISDN adapters are not upgraded yet
  // The clock of a transfer, woken by `stop`; unset: the real one, which
  // sleeps. Tests hand in one whose pauses take no time.
  std::function<std::unique_ptr<TransferClock>(shell::StopSignal* stop)> makeClock;
};

}  // namespace norix::upgrade
