#include "upgrade/isdn_transfer.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "device/adapter_queries.h"
#include "link/at_exchange.h"
#include "link/port_io.h"
#include "link/timeouts_keeper.h"
#include "platform/ascii/ascii_text.h"
#include "upgrade/modem_transfer.h"
#include "upgrade/xmodem_sender.h"

namespace norix::upgrade {

namespace W = platform::window;
namespace comm = platform::comm;
namespace ascii = platform::ascii;
using namespace std::chrono_literals;

namespace {

// The boot program's texts. The prompts are searched with their case and
// their trailing blank; the lines are compared at their beginning.
constexpr std::string_view kSolanoPrompt = "Are You sure to upgrade (Y/N)? ";
constexpr std::string_view kKometPrompt = "Do You really want to upgrade Your KOMET II (Y/N)? ";
constexpr std::string_view kWarning = "Do NOT power of";
constexpr std::string_view kErased = "Erasing FLASH ....... OK";
constexpr std::string_view kUploadRequest = "Please upload binary file using X-MODEM/CRC.";
constexpr std::string_view kBooting = "Booting the TA";
constexpr std::string_view kRequest = "ATUPX";

constexpr std::uint32_t kRescueSpeed = 57600;
constexpr std::size_t kBlockBytes = 1024;
constexpr std::size_t kEchoOnlyBelow = 10;
constexpr int kMostMenuLines = 64;  // of the boot program's menu, read and passed over
// The waits for the adapter's answers, each as long as the transfer's clock
// allows of it.
constexpr std::chrono::milliseconds kDialogueRead{5000};
constexpr std::chrono::milliseconds kDialogueInterval{1000};
// The erase may keep the adapter silent longer than one port read lasts:
// its line is read a byte at a time, each byte waited for this long.
constexpr std::chrono::milliseconds kEraseRead{20000};
constexpr std::chrono::milliseconds kEraseInterval{5000};
// A KOMET II behind USB goes away during its restart and says "OK" when it
// is found again, after up to this long.
constexpr std::chrono::milliseconds kUsbRestartRead{30000};
constexpr std::chrono::milliseconds kUsbTryRead{5000};
constexpr int kUsbTries = 5;
constexpr std::chrono::milliseconds kTryRead{2000};
constexpr int kTries = 15;
constexpr std::int64_t kTryPeriodMs = 2000;
constexpr std::int64_t kLongRestartMs = 8000;
constexpr std::chrono::milliseconds kSolanoRestartRead{7000};

struct AddOnRow {
  std::string_view line;
  std::string_view command;
};
constexpr std::array<AddOnRow, 3> kAddOnRows{{
    {"Added Internal Analog Interface", "AT!M2"},
    {"Added No Internal HW", "AT!M0"},
    {"Added Internal Modem", "AT!M12"},
}};

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

// A line read a byte at a time, each byte waited for up to `wait` (longer
// than one port read may last): blank lines skipped, the line end kept out.
// Empty when the adapter fell silent first.
std::string ReadPatientLine(comm::Port* port, std::chrono::milliseconds wait) {
  std::string line;
  while (line.size() < link::kLineCapacity) {
    const auto byte = link::ReadRawByte(port, wait);
    if (!byte) {
      return {};
    }
    if (*byte == '\n') {
      if (!line.empty()) {
        return line;
      }
      continue;
    }
    if (*byte != '\r') {
      line.push_back(static_cast<char>(*byte));
    }
  }
  return line;
}

std::chrono::milliseconds WaitOf(std::uint32_t readConstant) {
  // A little longer than the port's own time-out, so that it decides.
  return std::chrono::milliseconds(readConstant) + 1s;
}

// Sets the read time-out to what `clock` allows of `wait`; returns the
// previous one.
std::uint32_t SetAnswerTimeout(comm::Port* port, const TransferClock& clock,
                               std::chrono::milliseconds wait) {
  return link::SetReadTimeout(port, AnswerTimeout(clock, wait));
}

// Up to kBlockBytes as they come. Nothing coming waits the port's whole
// time-out of so many bytes, as long as `clock` allows.
void ReadAnswerBlock(comm::Port* port, const TransferClock& clock, std::string& text) {
  const link::TimeoutsKeeper keeper(port);
  const comm::CommTimeouts timeouts = link::CurrentTimeouts(port);
  const std::chrono::milliseconds whole(static_cast<std::int64_t>(timeouts.readMultiplier) *
                                            static_cast<std::int64_t>(kBlockBytes) +
                                        timeouts.readConstant);
  if (clock.AnswerWait(whole) < whole) {
    link::SetReadTotals(port, 0, AnswerTimeout(clock, whole));
  }
  static_cast<void>(link::ReadBlock(port, text, kBlockBytes));
}

// A line read with the read time-out of `wait` as `clock` allows it; a read
// that ran out counts as the whole wait on `clock`.
std::string ReadAnswerLine(comm::Port* port, TransferClock& clock, std::chrono::milliseconds wait) {
  std::string line;
  if (link::ReadLine(port, line) == 0) {
    clock.AnswerWaitRanOut(wait);
    return {};
  }
  return line;
}

}  // namespace

int AddOnIndex(std::string_view line) {
  for (std::size_t row = 0; row < kAddOnRows.size(); ++row) {
    if (ascii::StartsWithNoCase(line, kAddOnRows[row].line)) {
      return static_cast<int>(row) * 2;
    }
  }
  return kAddOnNone;
}

std::string_view AddOnCommand(int index) {
  if (index < 0 || index >= kAddOnNone || index % 2 != 0) {
    return {};
  }
  return kAddOnRows[static_cast<std::size_t>(index / 2)].command;
}

int QueryAddOn(comm::Port* port) {
  std::string reply;
  if (device::QueryAdapterInterfaces(port, reply) != link::AtResult::Ok) {
    return kAddOnNone;
  }
  return AddOnIndex(reply);
}

std::optional<std::uint16_t> ReportedBootCodeVersion(std::string_view reply) {
  while (!reply.empty() && (reply.front() == ' ' || reply.front() == '\t')) {
    reply.remove_prefix(1);
  }
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (; digits < 4 && digits < reply.size(); ++digits) {
    const char c = reply[digits];
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else {
      break;
    }
    value = value * 16 + digit;
  }
  if (digits == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

std::span<const std::uint8_t> AdapterFirmware(const UpgradeImage& image) {
  return FirmwareSection(image);
}

std::span<const std::uint8_t> AdapterBootCode(const UpgradeImage& image) {
  const auto contents = Contents(image);
  if (image.loaderStart <= image.firmwareStart || image.loaderStart >= contents.size()) {
    return {};
  }
  return contents.subspan(image.loaderStart);
}

KometRestartResult WaitForKometRestart(comm::Port* port, TransferClock& clock, bool usbDevice) {
  const link::TimeoutsKeeper keeper(port);
  KometRestartResult result;
  const std::int64_t start = clock.NowMilliseconds();
  int tries = kTries;
  std::chrono::milliseconds tryRead = kTryRead;
  if (usbDevice) {
    const std::uint32_t restartRead = AnswerTimeout(clock, kUsbRestartRead);
    link::SetReadTimeout(port, restartRead);
    std::string line = ReadPatientLine(port, WaitOf(restartRead));
    if (line.empty()) {
      clock.AnswerWaitRanOut(kUsbRestartRead);
    }
    SetAnswerTimeout(port, clock, kUsbTryRead);
    for (int more = 0; more < 2 && !Contains(line, "OK"); ++more) {
      line = ReadAnswerLine(port, clock, kUsbTryRead);
    }
    tries = kUsbTries;
    tryRead = kUsbTryRead;
  } else {
    SetAnswerTimeout(port, clock, kTryRead);
  }
  while (result.tries < tries && !result.answered && !clock.StopRequested()) {
    ++result.tries;
    const std::int64_t tryStart = clock.NowMilliseconds();
    std::string reply;
    const link::AtResult answer = link::SendAtCommand(port, "AT&F", reply);
    if (answer == link::AtResult::Ok) {
      result.answered = true;
      break;
    }
    if (answer == link::AtResult::NoReply) {
      clock.AnswerWaitRanOut(tryRead);
    }
    const std::int64_t left = kTryPeriodMs - (clock.NowMilliseconds() - tryStart);
    if (left > 0 && !clock.Pause(std::chrono::milliseconds(left))) {
      return result;
    }
  }
  if (!result.answered || !clock.Pause(2s)) {
    result.answered = false;
    return result;
  }
  if (clock.NowMilliseconds() - start > kLongRestartMs) {
    // A long restart: the adapter stores its factory settings afresh.
    std::string reply;
    static_cast<void>(link::SendAtCommand(port, "AT&F&W&F1&W1", reply));
    result.settingsStored = true;
  }
  return result;
}

IsdnTransfer::IsdnTransfer(link::ModemContext& context, device::SelectedProduct& product,
                           const UpgradeImage& image, UpgradeView& view, TransferClock& clock,
                           IsdnAdapterKind kind)
    : context_(context),
      port_(context.Port()),
      product_(product),
      image_(image),
      view_(view),
      clock_(clock),
      kind_(kind) {}

std::string IsdnTransfer::NextLine() {
  std::string line;
  if (link::ReadLine(port_, line) == 0) {
    return {};
  }
  return line;
}

int IsdnTransfer::Run(std::uint32_t speed, bool rescue) {
  device::RescueFlags& flags = product_.rescue;
  link::SetPortSpeed(port_, rescue ? kRescueSpeed : speed);
  int result = kUpgradeSucceeded;
  for (bool again = true; again;) {
    again = false;
    link::DiscardInput(port_, comm::kPurgeRxClear);
    if (rescue) {
      link::SetPortSpeed(port_, kRescueSpeed);
      result = Flash(true);
    } else {
      std::string reply;
      if (link::SendAtCommand(port_, "ATI3", reply) != link::AtResult::Ok) {
        result = kMsgInvalidResponse;
      } else {
        record_.identBefore = reply.substr(0, reply.find('\r'));
        record_.addOnBefore = QueryAddOn(port_);
        result = Flash(false);
      }
    }
    if (result == kTransferStopped || Stopped()) {
      flags.damaged = true;  // left wherever the transfer was cut off
      return kTransferStopped;
    }
    switch (result) {
      case kMsgInvalidResponse:
        again = view_.Message(result, W::MB_YESNO) == W::IDYES;
        break;
      case kMsgFailedTryAgain:
        if (view_.Message(result, W::MB_OKCANCEL) == W::IDOK) {
          rescue = true;
          flags.rescueTransfer = true;
          again = true;
        } else {
          // Its flash was erased: the adapter is left in its boot program.
          flags.rescueTransfer = false;
          flags.damaged = true;
        }
        break;
      default:
        if (result == kUpgradeSucceeded && kind_.komet && !AdapterBootCode(image_).empty()) {
          record_.bootCode = UpgradeBootCode();
        }
        break;
    }
  }
  link::DiscardInput(port_, comm::kPurgeRxClear);
  return result;
}

int IsdnTransfer::Flash(bool rescue) {
  const int result = FlashSteps(rescue);
  if (result == kTransferStopped) {
    return result;
  }
  if (result != kUpgradeSucceeded) {
    view_.SetItemText(kProgressStatusId, kStatusFailed);
    return result;
  }
  view_.SetItemText(kProgressStatusId, kStatusCompleted);
  KeepAddOn(rescue);
  if (Stopped()) {
    return kTransferStopped;
  }
  // The new firmware proven by "ATI3" and "ATI1", as after a modem upgrade.
  ModemTarget target;
  target.plainModem = false;
  target.internalModem = product_.features.internalModem;
  ModemTransfer check(port_, image_, view_, clock_, product_.rescue, target);
  return check.PostUpgradeCheck(rescue);
}

int IsdnTransfer::Confirm(bool rescue) {
  view_.SetItemText(kProgressStatusId, kStatusPreparing);
  SetAnswerTimeout(port_, clock_, kDialogueRead);
  link::SetReadInterval(port_, AnswerGapTimeout(clock_, kDialogueInterval));
  if (rescue) {
    link::WriteText(port_, "\r");  // the boot program waits at its prompt
  } else {
    link::WriteLine(port_, kRequest);
  }
  std::string text;
  ReadAnswerBlock(port_, clock_, text);
  if (text.size() < kEchoOnlyBelow && text.starts_with(kRequest)) {
    // The echo came alone: the prompt follows when the boot program runs.
    std::string more;
    ReadAnswerBlock(port_, clock_, more);
    text += more;
  }
  if (!Contains(text, kSolanoPrompt) && !Contains(text, kKometPrompt)) {
    return kMsgInvalidResponse;
  }
  link::WriteText(port_, "y");
  static_cast<void>(NextLine());
  if (!ascii::StartsWithNoCase(NextLine(), kWarning)) {
    return kMsgInvalidResponse;
  }
  return kUpgradeSucceeded;
}

int IsdnTransfer::FlashSteps(bool rescue) {
  const link::TimeoutsKeeper keeper(port_);
  if (const int confirmed = Confirm(rescue); confirmed != kUpgradeSucceeded) {
    return confirmed;
  }
  if (Stopped()) {
    return kTransferStopped;
  }
  const std::uint32_t eraseRead = AnswerTimeout(clock_, kEraseRead);
  link::SetReadTimeout(port_, eraseRead);
  link::SetReadInterval(port_, AnswerTimeout(clock_, kEraseInterval));
  view_.SetItemText(kProgressStatusId, kStatusErasing);
  const std::string erased = ReadPatientLine(port_, WaitOf(eraseRead));
  keeper.Restore();
  UsualWaitsByClock(port_, clock_);
  if (Stopped()) {
    return kTransferStopped;
  }
  if (!ascii::StartsWithNoCase(erased, kErased)) {
    // The erase had begun: whatever the adapter says now, its flash may be
    // gone, and asking its firmware again would find none. Only a rescue
    // transfer helps.
    return kMsgFailedTryAgain;
  }
  if (!ascii::StartsWithNoCase(NextLine(), kUploadRequest)) {
    return kMsgFailedTryAgain;
  }

  view_.SetItemText(kProgressStatusId, kStatusFirmware);
  XmodemSender sender(TimingsFor(clock_), &clock_);
  const bool sent = sender.Send(&view_, port_, AdapterFirmware(image_), true);
  if (Stopped()) {
    return kTransferStopped;
  }
  view_.SetItemText(kProgressStatusId, kStatusVerifying);
  view_.SetText(kXmodemTimeText, "");
  view_.SetText(kXmodemTimeLabel, "");
  if (!sent) {
    // The adapter did not take the whole firmware: its flash is erased
    // whatever a line read now might say. Only a rescue transfer helps.
    return kMsgFailedTryAgain;
  }
  static_cast<void>(NextLine());  // "Transfer Complete"
  static_cast<void>(NextLine());  // "Booting the TA"

  bool restarted = false;
  if (kind_.komet) {
    const KometRestartResult restart = WaitForKometRestart(port_, clock_, kind_.usbDevice);
    record_.settingsStored = restart.settingsStored;
    restarted = restart.answered;
    if (restarted) {
      device::ReadKometFeatureWord(context_, product_.features);
    }
  } else {
    restarted = SolanoRestart(rescue);
  }
  if (Stopped()) {
    return kTransferStopped;
  }
  return restarted ? kUpgradeSucceeded : kMsgFailedTryAgain;
}

bool IsdnTransfer::SolanoRestart(bool rescue) {
  const std::uint32_t previous = SetAnswerTimeout(port_, clock_, kSolanoRestartRead);
  const std::string line = NextLine();
  link::SetReadTimeout(port_, previous);
  return rescue || Contains(line, "OK") || Contains(NextLine(), "OK");
}

void IsdnTransfer::KeepAddOn(bool rescue) {
  std::string reply;
  if (rescue) {
    // A KOMET II has no add-on to choose.
    if (kind_.komet) {
      return;
    }
    const int line = view_.PickIsdnModel();
    if (line < 0 || line > 2) {
      return;
    }
    static_cast<void>(link::SendAtCommand(port_, AddOnCommand(line * 2), reply));
    product_.features.isdnAdapter = true;
    return;
  }
  const int before = record_.addOnBefore;
  if (before >= kAddOnNone) {
    return;
  }
  const int now = QueryAddOn(port_);
  if (before == kAddOnAnalogue && now == kAddOnAnalogue) {
    return;
  }
  static_cast<void>(link::SendAtCommand(port_, AddOnCommand(before), reply));
}

BootCodeOutcome IsdnTransfer::UpgradeBootCode() {
  const auto bootCode = AdapterBootCode(image_);
  const auto fileVersion = BootCodeVersion(bootCode);
  std::string reply;
  if (!fileVersion || link::SendAtCommand(port_, "ATI6", reply) != link::AtResult::Ok) {
    return BootCodeOutcome::NotNeeded;
  }
  const auto adapterVersion = ReportedBootCodeVersion(reply);
  if (!adapterVersion || *adapterVersion >= *fileVersion) {
    return BootCodeOutcome::NotNeeded;
  }
  const BootCodeOutcome outcome = BootCodeSteps(bootCode);
  if (outcome == BootCodeOutcome::Failed && !Stopped()) {
    view_.Message(kMsgBootCodeMayBeDamaged, W::MB_ICONEXCLAMATION);
  }
  return outcome;
}

BootCodeOutcome IsdnTransfer::BootCodeSteps(std::span<const std::uint8_t> bootCode) {
  const link::TimeoutsKeeper keeper(port_);
  const std::chrono::milliseconds usual(link::CurrentTimeouts(port_).readConstant);
  SetAnswerTimeout(port_, clock_, usual);
  link::SetPortSpeed(port_, kRescueSpeed);
  link::WriteLine(port_, "ATUPZ");
  // The menu, as long as lines come: the first once the boot program runs,
  // the others with it.
  if (!NextLine().empty()) {
    link::SetReadTimeout(port_, AnswerGapTimeout(clock_, usual));
    int lines = 1;
    while (lines < kMostMenuLines && !NextLine().empty()) {
      ++lines;
    }
    SetAnswerTimeout(port_, clock_, usual);
  }
  link::WriteText(port_, "1");
  std::string text;
  ReadAnswerBlock(port_, clock_, text);
  if (!Contains(text, kKometPrompt) || Stopped()) {
    return BootCodeOutcome::Refused;
  }
  link::WriteText(port_, "y");
  static_cast<void>(NextLine());
  if (!ascii::StartsWithNoCase(NextLine(), kWarning) ||
      !ascii::StartsWithNoCase(NextLine(), kUploadRequest)) {
    return BootCodeOutcome::Failed;
  }
  XmodemSender sender(TimingsFor(clock_), &clock_);
  if (!sender.Send(nullptr, port_, bootCode, true)) {
    return BootCodeOutcome::Failed;
  }
  static_cast<void>(NextLine());  // "Transfer Complete"
  const std::string verdict = NextLine();
  if (!ascii::StartsWithNoCase(NextLine(), kBooting) || ascii::ContainsNoCase(verdict, "Invalid")) {
    return BootCodeOutcome::Failed;
  }
  static_cast<void>(NextLine());
  if (!clock_.Pause(2s)) {
    return BootCodeOutcome::Failed;
  }
  return BootCodeOutcome::Replaced;
}

}  // namespace norix::upgrade
