#include "upgrade/modem_worker.h"

#include <string>

#include "device/nationality_exchange.h"
#include "device/nationality_table.h"
#include "link/timeouts_keeper.h"
#include "shell/page_messages.h"
#include "upgrade/fill_in.h"
#include "upgrade/loader_reply.h"

namespace norix::upgrade {

namespace W = platform::window;

namespace {

// The country could not be put back: the user sets it by hand.
void AskToSetCountry(UpgradeView& view, std::uint16_t country) {
  const auto entry = device::FindNationality(country);
  const std::string name = entry ? view.Text(device::kNationalityTable[*entry].nameText) : "";
  view.MessageText(FillIn(view.Text(kMsgSetCountryByHand), name), W::MB_ICONEXCLAMATION);
}

// Puts back the country the product had before the upgrade: only a country
// of the table, read from working firmware, on a product the upgrade did not
// leave damaged.
// A product the transfer left silent (restarting, or in rescue mode at
// another speed) is waited for as long as the transfer's clock allows.
void RestoreCountry(const ModemWorkerJob& job, UpgradeView& view, const TransferClock& clock) {
  const link::TimeoutsKeeper keeper(job.port);
  UsualWaitsByClock(job.port, clock);
  UpgradeState& state = *job.state;
  const std::uint16_t before = state.countryBefore;
  const std::uint16_t after = device::ReadCountryCode(job.port, job.gciSupport);
  state.countryAfter = after;
  if (!device::FindNationality(before) || after == before || job.product->rescue.damaged) {
    return;
  }
  const device::NationalityResult result =
      device::SetNationality(job.port, job.gciSupport, before, after);
  if (result == device::NationalityResult::Refused ||
      result == device::NationalityResult::NoReply) {
    AskToSetCountry(view, before);
  }
}

}  // namespace

shell::EndMessage RunModemWorker(const ModemWorkerJob& job, UpgradeView& view,
                                 TransferClock& clock) {
  device::RescueFlags& flags = job.product->rescue;
  UpgradeState& state = *job.state;
  const bool rescueStart = flags.rescueStart;
  state.countryBefore =
      rescueStart ? device::kNationalityUnknown : device::ReadCountryCode(job.port, job.gciSupport);

  ModemTransfer transfer(job.port, state.image, view, clock, flags, job.target);
  int result = transfer.Run(job.speed, flags.rescueTransfer);
  if (result == kLoaderProgrammed && flags.rescueTransfer && !clock.StopRequested()) {
    view.Message(kMsgSwitchOffAndOn, W::MB_ICONEXCLAMATION);
    result = transfer.Run(job.speed, flags.rescueTransfer);
    if (result == kLoaderProgrammed) {
      view.Message(kMsgDamagedReupgrade, W::MB_ICONEXCLAMATION);
      flags.rescueTransfer = false;
      flags.damaged = true;
    }
  }

  if (!rescueStart && !clock.StopRequested()) {
    RestoreCountry(job, view, clock);
  }
  const bool toNationality = transfer.Record().nationalityWanted && result == kUpgradeSucceeded;
  if (toNationality) {
    job.product->nationality.afterUpgrade = true;
  }
  if (rescueStart) {
    flags.rescueTransfer = false;
    flags.rescueStart = false;
  }
  state.running = false;
  return {toNationality ? shell::kUpgradeFinishedToNationality : shell::kUpgradeFinished, 0, 0};
}

}  // namespace norix::upgrade
