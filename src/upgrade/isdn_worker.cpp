#include "upgrade/isdn_worker.h"

#include <string>

#include "device/nationality_exchange.h"
#include "device/nationality_table.h"
#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "shell/page_messages.h"
#include "upgrade/fill_in.h"
#include "upgrade/isdn_transfer.h"
#include "upgrade/modem_worker.h"

namespace norix::upgrade {

namespace W = platform::window;
namespace comm = platform::comm;

namespace {

constexpr std::size_t kNumbersWithModem = 3;
// What a slot may hold: the adapter takes up to 20 digits.
constexpr std::size_t kMsnDigits = 20;

std::string Stem(int slot) { return "AT&Z*" + std::to_string(slot); }

// The country could not be put back: the user sets it by hand.
void AskToSetCountry(UpgradeView& view, std::uint16_t country) {
  const auto entry = device::FindNationality(country);
  const std::string name = entry ? view.Text(device::kNationalityTable[*entry].nameText) : "";
  view.MessageText(FillIn(view.Text(kMsgSetCountryByHand), name), W::MB_ICONEXCLAMATION);
}

void RestoreCountry(const IsdnWorkerJob& job, UpgradeView& view) {
  UpgradeState& state = *job.state;
  const bool gci = job.context->gciSupport;
  const std::uint16_t before = state.countryBefore;
  const std::uint16_t after = device::ReadCountryCode(job.port, gci);
  state.countryAfter = after;
  if (!device::FindNationality(before) || after == before || job.product->rescue.damaged) {
    return;
  }
  const device::NationalityResult result = device::SetNationality(job.port, gci, before, after);
  if (result == device::NationalityResult::Refused ||
      result == device::NationalityResult::NoReply) {
    AskToSetCountry(view, before);
  }
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
  return platform::ascii::ContainsNoCase(text, word);
}

}  // namespace

SavedNumber ReadSavedNumber(bool answeredOk, std::string_view reply) {
  if (!answeredOk) {
    return {};
  }
  reply = reply.substr(0, reply.find('\r'));
  if (reply.starts_with("OK")) {
    return {SavedNumber::State::Empty, {}};
  }
  if (reply.empty() || reply.size() > kMsnDigits ||
      reply.find_first_not_of("0123456789") != std::string_view::npos) {
    return {};
  }
  return {SavedNumber::State::Number, std::string(reply)};
}

void SaveNumbers(comm::Port* port, std::size_t count, std::array<SavedNumber, kMsnSlots>& saved) {
  saved.fill({});
  for (std::size_t i = 0; i < count && i < kMsnSlotOrder.size(); ++i) {
    const int slot = kMsnSlotOrder[i];
    // A late answer to the last query must not be read as this slot's.
    link::DiscardInput(port, comm::kPurgeRxClear);
    std::string reply;
    const bool ok = link::SendAtCommand(port, Stem(slot) + "?", reply) == link::AtResult::Ok;
    saved[static_cast<std::size_t>(slot)] = ReadSavedNumber(ok, reply);
  }
}

std::vector<std::string> RestoreNumbers(comm::Port* port, std::size_t count,
                                        const std::array<SavedNumber, kMsnSlots>& saved) {
  std::vector<std::string> failed;
  for (std::size_t i = 0; i < count && i < kMsnSlotOrder.size(); ++i) {
    const int slot = kMsnSlotOrder[i];
    const SavedNumber& number = saved[static_cast<std::size_t>(slot)];
    if (number.state == SavedNumber::State::NotRead) {
      continue;  // nothing known of it: left as the new firmware has it
    }
    link::DiscardInput(port, comm::kPurgeRxClear);
    std::string reply;
    if (link::SendAtCommand(port, Stem(slot) + "=" + number.digits, reply) != link::AtResult::Ok &&
        number.state == SavedNumber::State::Number) {
      failed.push_back(std::to_string(slot + 1) + ": " + number.digits);
    }
  }
  return failed;
}

shell::EndMessage RunIsdnWorker(const IsdnWorkerJob& job, UpgradeView& view, TransferClock& clock) {
  device::SelectedProduct& product = *job.product;
  device::RescueFlags& flags = product.rescue;
  UpgradeState& state = *job.state;
  link::ModemContext& context = *job.context;
  const bool komet = product.features.komet;
  // An adapter in rescue mode runs no firmware to ask.
  const bool keepSettings = !flags.rescueStart;
  const bool keepNumbers =
      keepSettings && !komet && context.firmwareVersionNumber >= kMsnFirstVersion;
  const std::size_t count = product.features.internalModem ? kNumbersWithModem : kMsnSlots;

  std::array<SavedNumber, kMsnSlots> saved{};
  if (keepSettings) {
    state.countryBefore = device::ReadCountryCode(job.port, context.gciSupport);
  }
  if (keepNumbers) {
    SaveNumbers(job.port, count, saved);
    for (std::size_t slot = 0; slot < kMsnSlots; ++slot) {
      state.savedMsn[slot] = saved[slot].digits;
    }
  }

  IsdnAdapterKind kind;
  kind.komet = komet;
  const auto index = static_cast<std::size_t>(context.selectedIndex);
  kind.usbDevice = context.selectedIndex >= 0 && index < context.devices.size() &&
                   ContainsNoCase(context.devices[index].name, "USB");
  IsdnTransfer transfer(context, product, state.image, view, clock, kind);
  static_cast<void>(transfer.Run(job.speed, flags.rescueTransfer));

  if (keepSettings && !clock.StopRequested()) {
    RestoreCountry(job, view);
    if (keepNumbers) {
      // Nothing is written to a boot program: every number is the user's to enter.
      std::vector<std::string> failed;
      if (flags.damaged) {
        for (std::size_t i = 0; i < count; ++i) {
          const int slot = kMsnSlotOrder[i];
          if (saved[static_cast<std::size_t>(slot)].state == SavedNumber::State::Number) {
            failed.push_back(std::to_string(slot + 1) + ": " +
                             saved[static_cast<std::size_t>(slot)].digits);
          }
        }
      } else {
        failed = RestoreNumbers(job.port, count, saved);
      }
      if (!failed.empty()) {
        std::string lines;
        for (const std::string& line : failed) {
          lines += line + "\n";
        }
        view.MessageText(FillIn(view.Text(kMsgNumbersNotRestored), lines), W::MB_ICONEXCLAMATION);
      }
    }
  }
  state.running = false;
  if (flags.rescueStart) {
    flags.rescueTransfer = false;
    flags.rescueStart = false;
    flags.isdnRescueProduct = false;
  }
  return {shell::kUpgradeFinished, 0, 0};
}

}  // namespace norix::upgrade
