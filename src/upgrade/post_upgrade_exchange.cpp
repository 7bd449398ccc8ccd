// The modem's identification, and the check of new firmware after the
// transfer: "ATI3" directly or through the adapter's relay ("AT!M"), the
// "ATI1" checksum text, the outcome message and the settings put back.
//
// Through the relay, with echo on in both parts:
//   "AT!MATI3\r"  ->  "AT!MATI3\r\r\n" "Modem command: ATI3\r\n" "\r\nOK\r\n"
//                     "ATI3\r\r\n" "NORIX solano 1280mi Modem V1.30\r\n" "\r\nOK\r\n"
#include <chrono>
#include <string>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/ascii/ascii_text.h"
#include "upgrade/modem_transfer.h"

namespace norix::upgrade {

namespace W = platform::window;
namespace comm = platform::comm;

namespace {

// Text of "NORIX solano 1280mi" after its modem component's upgrade.
constexpr int kMsgCompletedIsdnCord = 2202;
constexpr int kMsgReconnectPower = 2140;
constexpr int kMsgNationalityQuestion = 2016;
constexpr std::uint32_t kAti4ReadInterval = 7000;
constexpr std::uint32_t kCheckReadInterval = 1000;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Puts the read interval back on every way out of the check.
class IntervalKeeper {
 public:
  explicit IntervalKeeper(comm::Port* port)
      : port_(port), interval_(link::CurrentTimeouts(port).readInterval) {}
  IntervalKeeper(const IntervalKeeper&) = delete;
  IntervalKeeper& operator=(const IntervalKeeper&) = delete;
  IntervalKeeper(IntervalKeeper&&) = delete;
  IntervalKeeper& operator=(IntervalKeeper&&) = delete;
  ~IntervalKeeper() { link::SetReadInterval(port_, interval_); }

 private:
  comm::Port* port_;
  std::uint32_t interval_;
};

}  // namespace

int ModemTransfer::GetProductIdentification(bool passThrough, std::string& ident) {
  if (!passThrough) {
    std::string reply;
    static_cast<void>(link::SendAtCommand(port_, "ATI3", reply));
    if (reply.find("NORIX") == std::string::npos) {
      return kMsgInvalidResponse;
    }
    ident = reply;
    return kUpgradeSucceeded;
  }
  link::WriteLine(port_, "AT!MATI3");
  std::string line = NextLine();
  if (StartsWith(line, "AT!MATI3")) {
    line = NextLine();
  }
  if (!StartsWith(line, "Modem command: ATI3") || !StartsWith(NextLine(), "OK")) {
    return kMsgInvalidResponse;
  }
  line = NextLine();
  if (StartsWith(line, "ATI3")) {
    line = NextLine();
  }
  ident = line;
  static_cast<void>(NextLine());
  return kUpgradeSucceeded;
}

int ModemTransfer::CheckFirmwareChecksum(bool passThrough) {
  const std::string& expected = image_.modemChecksum;
  if (!passThrough) {
    std::string reply;
    static_cast<void>(link::SendAtCommand(port_, "ATI1", reply));
    return platform::ascii::StartsWithNoCase(reply, expected) ? kUpgradeSucceeded
                                                              : kMsgInvalidResponse;
  }
  link::WriteLine(port_, "AT!MATI1");
  std::string line = NextLine();
  if (StartsWith(line, "AT!MATI1")) {
    line = NextLine();
  }
  if (!StartsWith(line, "Modem command: ATI1") || !StartsWith(NextLine(), "OK")) {
    return kMsgInvalidResponse;
  }
  line = NextLine();
  if (StartsWith(line, "ATI1")) {
    line = NextLine();
  }
  if (!platform::ascii::StartsWithNoCase(line, expected)) {
    return kMsgInvalidResponse;
  }
  static_cast<void>(NextLine());
  return kUpgradeSucceeded;
}

int ModemTransfer::PostUpgradeCheck(bool rescue) {
  const IntervalKeeper keeper(port_);
  bool passThrough = false;
  if (target_.modemComponent) {
    link::SetReadInterval(port_, kAti4ReadInterval);
    std::string reply;
    static_cast<void>(link::SendAtCommand(port_, "ATI4", reply));
    passThrough = reply.find("NORIX ISDN") != std::string::npos;
  }
  link::SetReadInterval(port_,
                        AnswerGapTimeout(clock_, std::chrono::milliseconds(kCheckReadInterval)));

  std::string ident;
  if (const int result = GetProductIdentification(passThrough, ident);
      result != kUpgradeSucceeded) {
    return result;
  }
  if (ident.find("NORIX") == std::string::npos) {
    return kMsgInvalidResponse;
  }
  record_.identAfter = ident.substr(0, ident.find('\r'));
  if (const int result = CheckFirmwareChecksum(passThrough); result != kUpgradeSucceeded) {
    return result;
  }

  view_.Message(
      target_.internalModem && target_.modemComponent ? kMsgCompletedIsdnCord : kStatusCompleted,
      W::MB_ICONEXCLAMATION);
  view_.SetItemText(kProgressStatusId, kStatusStandardSettings);
  if (target_.plainModem) {
    if (rescue) {
      record_.nationalityWanted =
          view_.Message(kMsgNationalityQuestion, W::MB_YESNO | W::MB_ICONQUESTION) == W::IDYES;
    } else {
      RestoreSettings();
    }
  }
  if (target_.modemComponent) {
    view_.Message(kMsgReconnectPower, W::MB_ICONEXCLAMATION);
  }
  link::DiscardInput(port_, comm::kPurgeRxClear);
  return kUpgradeSucceeded;
}

void ModemTransfer::RestoreSettings() {
  const std::string& value = record_.savedAt3;
  if (value.empty() || static_cast<unsigned char>(value.front()) < '0') {
    return;
  }
  // The bytes the modems have always received: "AT%7", then the answer with
  // its line end, twice.
  std::string reply;
  static_cast<void>(link::SendAtCommand(port_, "AT%7" + value + value, reply));
}

}  // namespace norix::upgrade
