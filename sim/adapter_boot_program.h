// The boot program of an ISDN adapter (solano 1280, KOMET II): what answers
// while the adapter's firmware does not run, because an upgrade is under way
// or because a failed one left the flash damaged (rescue mode).
//
// "ATUPX" hands the line from the running firmware to the boot program,
// which starts up (the echo "ATUPX\r" comes alone) and asks:
//
//   "\r\nAre You sure to upgrade (Y/N)? "                     (solano 1280)
//   "\r\nDo You really want to upgrade Your KOMET II (Y/N)? "
//
// There it waits without echo: a CR shows the prompt again, "n" returns to
// the firmware (if there is one), "y" goes on:
//
//   "y\r\n" "\r\nDo NOT power off the TA during the upgrade!\r\n"
//   "Erasing FLASH " "." x 7 (over the erase time) " OK\r\n"
//   "Please upload binary file using X-MODEM/CRC.\r\n"
//   X-modem with CRC, 1024- or 128-byte blocks (sim/xmodem)
//   "\r\nTransfer Complete\r\nBooting the TA\r\n"
//   restart; a solano (and a KOMET II behind USB) then says "\r\nOK\r\n"
//
// The firmware it received runs after the restart, its identification and
// checksum answering "ATI3" and "ATI1" (flash_image.h). Firmware for other
// hardware ("Invalid firmware file") or an aborted transfer ("Transfer
// failed") leaves the flash erased: the adapter restarts into its boot
// program. A power cut does the same after its dark time. In rescue mode the
// boot program talks at 57600 bit/s only (behind USB at any speed) and waits
// at its prompt without showing it: the host's CR asks for it.
//
// The KOMET II also replaces its boot code: "ATUPZ" shows a menu,
//   "\r\nBoot code upgrade\r\n1: Upgrade boot code\r\n2: Exit\r\n"
// "1" asks the prompt above, "y" gives the warning and the upload request
// without an erase, the code comes by X-modem, and the adapter answers
//   "\r\nTransfer Complete\r\nBoot code programmed\r\nBooting the TA\r\n"
// and restarts with the firmware as it was. Code that does not begin with
// "NORIX BOOT" and its version is refused ("Invalid boot code"); the old boot
// code stays then.
//
// UpgradeOptions::refuseDevice answers "y" with "Wrong device" and leaves
// the flash as it is; UpgradeOptions::stallErase stops the first erase after
// "Erasing FLASH " and restarts the adapter into rescue mode.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/comm/device_end.h"
#include "sim/flash_image.h"
#include "sim/product_link.h"
#include "sim/transfer_faults.h"

namespace norix::sim {

inline constexpr std::string_view kSolanoUpgradePrompt = "Are You sure to upgrade (Y/N)? ";
inline constexpr std::string_view kKometUpgradePrompt =
    "Do You really want to upgrade Your KOMET II (Y/N)? ";

// The boot program's speed in rescue mode.
inline constexpr std::uint32_t kBootProgramBaudRate = 57600;

struct BootProgramData {
  std::string_view prompt = kSolanoUpgradePrompt;
  FirmwareTarget target = FirmwareTarget::Solano;  // the firmware it takes
  // From "Booting the TA" to the firmware running (before timePercent).
  std::chrono::milliseconds restartTime{3000};
  bool okAfterRestart = true;  // the restarted adapter says "OK"
  bool anySpeed = false;       // behind a USB port: the speed reaches no wire
  // The boot code version "ATI6" reports; none: no "ATUPZ".
  std::optional<std::uint16_t> bootCodeVersion;
};

// What the adapter's flash holds.
struct AdapterFlash {
  bool valid = true;          // a whole firmware: it runs after a restart
  bool reprogrammed = false;  // an upgrade programmed it: the texts below hold
  std::string identification;
  std::string checksum;
};

class AdapterBootProgram {
 public:
  AdapterBootProgram(BootProgramData data, bool firmwareValid);

  void ApplyOptions(const UpgradeOptions& options) { faults_ = TransferFaults(options); }

  // The boot program has the line; the firmware does not run.
  [[nodiscard]] bool Active() const { return state_ != State::Firmware; }
  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const;

  // "ATUPX" taken by the running firmware (unless it goes unanswered,
  // UpgradeOptions::silentRequests).
  void StartUpgrade();
  // "ATUPZ": false when the adapter has no boot code to replace.
  bool StartBootCodeUpgrade();

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link);
  [[nodiscard]] std::optional<std::chrono::steady_clock::time_point> NextTimer() const;
  void OnTimer(ProductLink& link);
  [[nodiscard]] bool WantsLine() const {
    return state_ == State::Upload || state_ == State::BootUpload;
  }
  void RunOnLine(platform::comm::DeviceEnd& line);

  // True once after a restart into firmware an upgrade programmed.
  [[nodiscard]] bool TakeReprogrammed();
  [[nodiscard]] const AdapterFlash& Flash() const { return flash_; }
  [[nodiscard]] std::optional<std::uint16_t> BootCodeVersion() const { return bootCodeVersion_; }

 private:
  enum class State : std::uint8_t {
    Firmware,      // the firmware runs
    Starting,      // after "ATUPX", before the prompt
    Prompt,        // waiting for the answer to the prompt
    Erasing,       // a dot at a time
    Upload,        // firmware by X-modem (on the line, RunOnLine)
    MenuStarting,  // after "ATUPZ", before the menu
    Menu,          // waiting for "1" or "2"
    BootPrompt,    // the boot code upgrade's confirmation
    BootUpload,    // boot code by X-modem
    Restarting,    // dark until the restart
    PowerOff,      // dark after a power cut
  };

  using Clock = std::chrono::steady_clock;

  void Enter(State state, std::chrono::milliseconds wait = {});
  void Confirmed(ProductLink& link);
  void ReceiveFirmware(platform::comm::DeviceEnd& line);
  void ReceiveBootCode(platform::comm::DeviceEnd& line);
  void Restart();
  [[nodiscard]] std::string Prompt() const { return "\r\n" + std::string(data_.prompt); }

  const BootProgramData data_;
  TransferFaults faults_;
  AdapterFlash flash_;
  std::optional<std::uint16_t> bootCodeVersion_;
  State state_;
  Clock::time_point due_;
  bool fromFirmware_ = false;  // the firmware started it: any speed goes
  int dots_ = 0;
  bool programmed_ = false;  // this upgrade programmed the flash
  bool reprogrammedPending_ = false;
};

}  // namespace norix::sim
