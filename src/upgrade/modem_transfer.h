// The firmware upgrade of an analogue modem (and of the modem component of
// a two-component adapter): probe, "AT**" into the boot firmware, the flash
// loader sent raw, the firmware sent as the loader asks (raw 1024-byte
// chunks paced by acknowledgements, or X-modem), the loader's final line,
// the "AT" verification, and the check of the new firmware by "ATI3" and
// "ATI1".
//
//   host                                   modem
//   "AT**\r"                          -->
//                                     <--  "Download initiated"
//   flash loader, 1024-byte chunks    -->
//                                     <--  "....\r\nDownload flash code\r\n"
//   firmware chunk                    -->
//                                     <--  "*" (or "1"/"2" and a text line)
//   ... last chunk + 8 bytes          -->
//                                     <--  "Device successfully programmed"
//   "AT\r"                            -->  <-- "OK"
//
// Everything runs on the upgrade worker's thread and blocks it: the whole
// run takes as long as the product needs (about a minute for a normal
// firmware at 115200 bit/s), each wait bounded by the port's time-outs.
// Message boxes go through the view and block until the user answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/selection_state.h"
#include "platform/comm/port.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/upgrade_image.h"
#include "upgrade/upgrade_view.h"

namespace norix::upgrade {

// Results besides 0 (success), the loader codes 0..10 and the string
// numbers of the messages below.
inline constexpr int kUpgradeSucceeded = 0;
inline constexpr int kNoSignOfLife = -1;     // silent after "AT**" twice; 2068 was shown
inline constexpr int kTransferStopped = -2;  // the page asked the transfer to stop

// Messages of the transfer (string numbers).
inline constexpr int kMsgHardwareMismatch = 2021;  // "This upgrade file is not correct ..."
inline constexpr int kMsgDamagedFile = 2036;
inline constexpr int kMsgInvalidResponse = 2037;  // "Invalid response ... try again?"
inline constexpr int kMsgNotUpgradable = 2066;    // "Modem is not upgradable"
inline constexpr int kMsgDamagedReupgrade = 2068;
inline constexpr int kMsgNoResponse = 2085;  // "There was no response ... OK to try again."
inline constexpr int kMsgSwitchOffAndOn = 2095;
inline constexpr int kMsgFailedTryAgain = 2153;  // "Upgrading failed! ... OK to try again."
// Status texts of the progress page.
inline constexpr int kStatusLoader = 2132;
inline constexpr int kStatusFirmware = 2131;
inline constexpr int kStatusVerifying = 2133;
inline constexpr int kStatusCompleted = 2157;
inline constexpr int kStatusFailed = 2158;
inline constexpr int kStatusStandardSettings = 2113;
// Texts of our own: the loader's answer when it refused to start or took
// the wrong file ("%s" is the answer).
inline constexpr int kMsgLoaderAnswered = 2412;

// Sizes of the dialogue.
inline constexpr std::size_t kChunkBytes = 1024;
inline constexpr std::size_t kTrailingBytes = 8;       // sent after the last raw chunk
inline constexpr std::size_t kFinalLineCapacity = 40;  // the loader's final line

// What the transfer is for.
struct ModemTarget {
  // The modem component of a two-component adapter (upgrade kind with bit
  // value 2, modem component chosen): its dialogue is relayed by the
  // adapter, identification commands carry "AT!M".
  bool modemComponent = false;
  // The adapter has the internal modem flag (the success text reminds of
  // the ISDN cord).
  bool internalModem = false;
  // An upgrade kind without bit value 2: a plain modem, whose settings are
  // put back (or the country asked for) after the upgrade.
  bool plainModem = true;
};

// What one run leaves behind.
struct ModemTransferRecord {
  // The "AT\3" answer when it was a value ("05\r\n"); empty when the modem
  // answered only OK or ERROR, or nothing: then no "AT%7" is sent.
  std::string savedAt3;
  std::string savedIdent;  // the "ATI3" identification before the transfer
  std::string identAfter;  // the identification the new firmware gave, up to its CR
  // The user wants the nationality page after a rescue transfer.
  bool nationalityWanted = false;
  // The loader's answer that ended the run, for diagnostics.
  std::string lastLoaderLine;
};

class ModemTransfer {
 public:
  // `image` holds the cut sections; `flags` are the run's rescue flags, of
  // which the transfer sets rescue transfer and damaged.
  ModemTransfer(platform::comm::Port* port, const UpgradeImage& image, UpgradeView& view,
                TransferClock& clock, device::RescueFlags& flags, ModemTarget target);

  // The whole driver with its questions: returns 0, a message's string
  // number (2021, 2036, 2037, 2066, 2085, 2153), a loader code, -1 or
  // kTransferStopped. The port's time-outs are as they were when it returns.
  int Run(std::uint32_t speed, bool rescue);

  // One transfer from "AT**" to the post-upgrade check, without the
  // driver's questions.
  int Transfer(bool rescue);

  // Proves the new firmware ("ATI3" names a product, "ATI1" begins with the
  // file's modem checksum text), shows the outcome and puts the settings
  // back: 0 or 2037.
  int PostUpgradeCheck(bool rescue);

  // "ATI3" directly or through the adapter's relay: 0 with the
  // identification in `ident`, or 2037.
  int GetProductIdentification(bool passThrough, std::string& ident);

  [[nodiscard]] const ModemTransferRecord& Record() const { return record_; }

 private:
  enum class AckKind : std::uint8_t { Ack, Letter, Silence };
  struct Ack {
    AckKind kind = AckKind::Silence;
    char letter = 0;
  };

  bool Probe(bool rescue);
  int TransferSteps(bool rescue);
  int LoaderRefused(const std::string& line, int code);
  int SendLoader();
  void SkipToLoaderLine();
  int LoaderLines(std::optional<char>& early);
  int SendRawFirmware(std::optional<char>& early);
  int SendXmodemFirmware();
  Ack ReadAcknowledgement();
  void ProgressStepWithTime(std::int64_t phaseBytes, std::int64_t bytesDone);
  int FinalLine(std::optional<char> early);
  std::string ReadFinalLine(std::optional<char> early);
  int Verify();
  int CheckFirmwareChecksum(bool passThrough);
  void RestoreSettings();
  std::string NextLine();
  bool Stopped() const { return clock_.StopRequested(); }

  platform::comm::Port* port_;
  const UpgradeImage& image_;
  UpgradeView& view_;
  TransferClock& clock_;
  device::RescueFlags& flags_;
  ModemTarget target_;
  ModemTransferRecord record_;
  std::int64_t phaseStart_ = 0;
  std::int64_t lastShown_ = 0;
};

// The bytes of the last raw chunk: the rest of the firmware from `offset`
// and the kTrailingBytes that follow the firmware's last byte in the image,
// as zeros where the image ends first.
[[nodiscard]] std::vector<std::uint8_t> LastRawChunk(const UpgradeImage& image,
                                                     std::span<const std::uint8_t> firmware,
                                                     std::size_t offset);

// The firmware as the raw transfer sends it (firmware start to end, the end
// included) and as the X-modem transfer sends it (firmware start to the end
// of the image); both clamped to the image.
[[nodiscard]] std::span<const std::uint8_t> RawFirmware(const UpgradeImage& image);
[[nodiscard]] std::span<const std::uint8_t> XmodemFirmware(const UpgradeImage& image);

// A letter of the program's character set (Windows-1252), which starts the
// loader's final line during the raw firmware. 0xFF is no letter here: the
// port layer used to hand it over like "no byte", as an acknowledgement.
[[nodiscard]] bool IsLoaderLetter(std::uint8_t byte);

}  // namespace norix::upgrade
