// The firmware upgrade of an ISDN adapter (solano 1280, KOMET II) through
// its boot program, and the KOMET II's boot code upgrade.
//
//   host                                   adapter
//   "ATUPX\r" (a rescue: "\r" alone)  -->
//                                     <--  "ATUPX\r" (the echo, alone)
//                                     <--  "\r\nAre You sure to upgrade (Y/N)? "
//   "y"                               -->
//                                     <--  "y\r\n" "\r\nDo NOT power off the TA ...\r\n"
//                                     <--  "Erasing FLASH ....... OK\r\n"  (up to 20 s)
//                                     <--  "Please upload binary file using X-MODEM/CRC.\r\n"
//   firmware, X-modem CRC, 1K blocks  -->
//                                     <--  "Transfer Complete\r\n" "Booting the TA\r\n"
//   solano: the restarted firmware says "OK"; KOMET II: "AT&F" until it
//   answers OK (a USB KOMET II first says "OK" after up to 30 s).
//
// Everything runs on the ISDN upgrade worker's thread and blocks it; pauses
// go through the transfer clock, the other waits are the port's read
// time-outs, each as long as the clock allows (AnswerWait, AnswerGap). A
// stalled erase, like a missing upload request, leaves the flash in doubt:
// the rescue transfer is offered. Message boxes and the model picker go through the view.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/selected_product.h"
#include "link/modem_context.h"
#include "platform/comm/port.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_image.h"
#include "upgrade/upgrade_view.h"

namespace norix::upgrade {

// Text of our own: the KOMET II's boot code upgrade failed after the
// adapter had agreed to it.
inline constexpr int kMsgBootCodeMayBeDamaged = 2440;

// Status texts of the adapter transfer (the others are the modem's).
inline constexpr int kStatusPreparing = 2160;
inline constexpr int kStatusErasing = 2035;

// Rows of the add-on table: the "ATI7" line's beginning, the command that
// selects the add-on. kAddOnNone is the row of every other line.
inline constexpr int kAddOnAnalogue = 0;
inline constexpr int kAddOnNoHardware = 2;
inline constexpr int kAddOnModem = 4;
inline constexpr int kAddOnNone = 6;

// The row of an "ATI7" answer line (kAddOnNone for anything unknown).
[[nodiscard]] int AddOnIndex(std::string_view line);
// The command that selects the add-on of a row; empty for kAddOnNone.
[[nodiscard]] std::string_view AddOnCommand(int index);
// "ATI7" exchanged and its first answer line looked up.
[[nodiscard]] int QueryAddOn(platform::comm::Port* port);

// The KOMET II boot code version an "ATI6" answer reports: up to four
// hexadecimal digits at its start; none when it begins with no digit.
[[nodiscard]] std::optional<std::uint16_t> ReportedBootCodeVersion(std::string_view reply);

// What the boot code upgrade did.
enum class BootCodeOutcome : std::uint8_t {
  NotNeeded,  // the adapter's boot code is not older, or it could not tell
  Refused,    // a step before the adapter agreed failed: the old code stays
  Replaced,   // transferred and the adapter restarted
  Failed,     // it failed after the adapter agreed: the code may be damaged
};

// What one run leaves behind.
struct IsdnTransferRecord {
  std::string identBefore;  // "ATI3" before the upgrade, up to its CR
  int addOnBefore = kAddOnNone + 1;
  bool settingsStored = false;  // "AT&F&W&F1&W1" after a long restart
  BootCodeOutcome bootCode = BootCodeOutcome::NotNeeded;
};

struct IsdnAdapterKind {
  bool komet = false;
  bool usbDevice = false;  // the device's name holds "USB"
};

// The KOMET II's restart after new firmware: with `usbDevice` the adapter's
// own "OK" first (up to 30 s) and 5 tries of "AT&F", else 15 tries two
// seconds apart; a restart longer than 8 s (by `clock`) is followed by
// "AT&F&W&F1&W1". The port's time-outs are as they were when it returns.
struct KometRestartResult {
  bool answered = false;  // "AT&F" was answered with OK
  int tries = 0;
  bool settingsStored = false;
};
[[nodiscard]] KometRestartResult WaitForKometRestart(platform::comm::Port* port,
                                                     TransferClock& clock, bool usbDevice);

class IsdnTransfer {
 public:
  // `context` gives the port and takes the KOMET II's feature word into
  // `product`'s features; `image` holds the cut sections.
  IsdnTransfer(link::ModemContext& context, device::SelectedProduct& product,
               const UpgradeImage& image, UpgradeView& view, TransferClock& clock,
               IsdnAdapterKind kind);

  // The driver with its questions: 0, 2037 or 2153 (the user gave up),
  // kTransferStopped, or the post-upgrade check's result. The boot code of a
  // KOMET II follows a successful firmware upgrade when the file has one.
  int Run(std::uint32_t speed, bool rescue);

  // One transfer from the request to the post-upgrade check: 0 or a
  // message's string number (2037, 2153), kTransferStopped.
  int Flash(bool rescue);

  // The KOMET II boot code, replaced when the file's is newer.
  BootCodeOutcome UpgradeBootCode();

  [[nodiscard]] const IsdnTransferRecord& Record() const { return record_; }

 private:
  int FlashSteps(bool rescue);
  int Confirm(bool rescue);
  bool SolanoRestart(bool rescue);
  void KeepAddOn(bool rescue);
  BootCodeOutcome BootCodeSteps(std::span<const std::uint8_t> bootCode);
  std::string NextLine();
  bool Stopped() const { return clock_.StopRequested(); }

  link::ModemContext& context_;
  platform::comm::Port* port_;
  device::SelectedProduct& product_;
  const UpgradeImage& image_;
  UpgradeView& view_;
  TransferClock& clock_;
  IsdnAdapterKind kind_;
  IsdnTransferRecord record_;
};

// The firmware the adapter takes: the firmware section as the layout cut it.
[[nodiscard]] std::span<const std::uint8_t> AdapterFirmware(const UpgradeImage& image);
// The KOMET II boot code: from its start to the end of the image; empty
// when the file has none (its start does not lie after the firmware's).
[[nodiscard]] std::span<const std::uint8_t> AdapterBootCode(const UpgradeImage& image);

}  // namespace norix::upgrade
