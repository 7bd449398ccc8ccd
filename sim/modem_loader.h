// The boot firmware of an analogue modem and the flash loader it takes: what
// answers on the line while the modem's firmware does not run, because an
// upgrade is under way or because a failed one left the flash damaged
// (rescue mode).
//
// The boot firmware waiting for commands (rescue mode) is no Hayes
// interpreter: it echoes, answers "AT" with OK, "AT*" with the model's index
// in the maker's rescue model table (older boot firmware: ERROR), "AT**" by
// taking a flash loader, and any other command line with ERROR:
//
//   "AT\r"   -> "AT\r" "\r\nOK\r\n"
//   "AT*\r"  -> "AT*\r" "\r\n1\r\n" "\r\nOK\r\n"
//   "AT**\r" -> "AT**\r" "\r\nDownload initiated\r\n"
//   "ATI3\r" -> "ATI3\r" "\r\nERROR\r\n"
//
// It talks at one port speed only. A host at half that speed still reaches
// its UART, which samples every host bit twice and makes garbage of each
// byte; the boot firmware echoes the garbage and answers nothing. At any
// other speed it hears nothing at all.
//
// An upgrade (the running firmware hands "AT**" over, or the boot firmware
// takes it itself) marks the firmware invalid and then takes the flash
// loader as raw bytes (flash_image.h: it carries its length and CRC), the
// first of them within 10 s. A loader that arrives short or damaged leaves
// the modem silent until the line has been quiet for half a second; it then
// waits for commands again. A whole loader starts (its start-up time, and
// at least 100 ms of quiet line: what follows the loader on the line is lost
// meanwhile) and announces how it takes the firmware:
//
//   "\r\n....." "\r\nNORIX Flash Loader V2.10\r\nDownload flash code\r\n"
//   "\r\n....." "\r\nUpLoader (XModem) V1.30\r\nUpload flash code ..\r\n"
//   with UpgradeOptions::refuseDevice the line after the first is
//   "Wrong device", and the modem restarts into rescue mode.
//
// Raw firmware comes in chunks of 1024 bytes. The firmware's header (in the
// first chunk) tells its length L; every chunk before the last is
// acknowledged: with "*" (a "." before every 16th), or with "1 Block
// programmed\r\n" ("2 Sector erased\r\n" at each 64 KB). Firmware for other
// hardware, or no firmware at all, is refused at once in place of the
// acknowledgement: "\r\nCode not match hardware\r\n", "\r\nWrong S37 file\r\n".
// X-modem firmware comes in blocks (the receiver of sim/xmodem, CRC mode)
// and is checked once it is all in. The modem programs exactly L bytes as
// they arrived, then ends with its final line and restarts:
//
//   "....\r\nDevice successfully programmed\r\n"   (raw)
//   "....\r\nUpload successfully completed\r\n"    (X-modem)
//
// Once restarted the firmware it received runs: "ATI3" answers the
// identification in its header, "ATI1" the checksum of the L bytes
// (flash_image.h), so firmware damaged on the line shows there. A refusal,
// an aborted X-modem transfer ("\r\nTransfer aborted\r\n") or a raw transfer
// that stops for 5 s ("\r\nRecord error\r\n") restarts into rescue mode; so
// does a power cut, after its dark time and once the line has been quiet
// for 100 ms.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/comm/device_end.h"
#include "sim/flash_image.h"
#include "sim/line_assembler.h"
#include "sim/model.h"
#include "sim/product_link.h"
#include "sim/transfer_faults.h"

namespace norix::sim {

struct ModemBootData {
  // The speed of the boot firmware in rescue mode; 0: any speed (the modem
  // sits behind a USB port, where the speed reaches no wire).
  std::uint32_t baudRate = 57600;
  // What "AT*" answers: the model's index in the program's rescue model
  // table (0 corvid 560 Voice, 1 Netrunner 560 Voice, 2 marlin 560 Voice, 3
  // 560 V Int, 4 to 7 the same with the large flash part, 7 the USB one).
  // None: ERROR, as older boot firmware answers.
  std::optional<unsigned> modelIndex;
  // The large flash part ("_2M_"): it takes firmware for that part only.
  bool largeFlash = false;
  // From the final line to the restarted firmware (before timePercent).
  std::chrono::milliseconds restartTime{1500};
};

// What the modem's flash holds.
struct ModemFlash {
  bool valid = true;          // a whole firmware: it runs after a restart
  bool reprogrammed = false;  // an upgrade programmed it: the texts below hold
  std::string identification;
  std::string checksum;
};

class ModemBootFirmware {
 public:
  ModemBootFirmware(ModemBootData data, bool firmwareValid);

  void ApplyOptions(const UpgradeOptions& options) { faults_ = TransferFaults(options); }

  // The boot firmware or a loader has the line; the firmware does not run.
  [[nodiscard]] bool Active() const { return state_ != State::Firmware; }
  // An upgrade is under way (anything but the firmware running and the
  // boot firmware waiting for commands).
  [[nodiscard]] bool Upgrading() const { return Active() && state_ != State::Idle; }
  [[nodiscard]] bool AnswersAt(std::uint32_t baudRate) const;

  // "AT**" handed over by the running firmware: the boot firmware takes a
  // flash loader next. Returns the line to answer ("Download initiated"),
  // none when the request goes unanswered (UpgradeOptions::silentRequests;
  // the firmware then keeps running).
  [[nodiscard]] std::optional<std::string> RequestLoader();

  // What the boot firmware answers a command line with while it waits for
  // commands, framed, without the echo ("\r\nOK\r\n"). "AT**" is not for
  // here: RequestLoader.
  [[nodiscard]] std::string AnswerCommand(std::string_view line) const;

  std::size_t OnData(std::span<const std::uint8_t> bytes, ProductLink& link);
  [[nodiscard]] std::optional<std::chrono::steady_clock::time_point> NextTimer() const;
  void OnTimer(ProductLink& link);
  [[nodiscard]] bool WantsLine() const { return state_ == State::Xmodem; }
  void RunOnLine(platform::comm::DeviceEnd& line);

  // True once after a restart into firmware an upgrade programmed.
  [[nodiscard]] bool TakeReprogrammed();
  [[nodiscard]] const ModemFlash& Flash() const { return flash_; }

 private:
  enum class State : std::uint8_t {
    Firmware,        // the firmware runs; the boot firmware is idle
    Idle,            // rescue mode: waiting for commands
    LoaderIn,        // taking the flash loader
    LoaderStarting,  // the loader starts up
    RawFirmware,     // taking raw firmware chunks
    Xmodem,          // taking firmware by X-modem (on the line, RunOnLine)
    Programming,     // checking what it programmed
    Restarting,      // dark until the restart
    PowerOff,        // dark after a power cut
  };

  using Clock = std::chrono::steady_clock;

  void Enter(State state, std::chrono::milliseconds wait = {});
  void TakeIdleBytes(std::span<const std::uint8_t> bytes, ProductLink& link);
  void TakeLoaderBytes(std::span<const std::uint8_t> bytes);
  void TakeFirmwareBytes(std::span<const std::uint8_t> bytes, ProductLink& link);
  void Announce(ProductLink& link);
  // The refusal line for firmware beginning with `head`; empty when it fits
  // this modem (or more bytes must come to tell).
  [[nodiscard]] std::string Refusal(std::span<const std::uint8_t> head, bool& decided) const;
  // Programs the firmware's L bytes and begins the final step.
  void Program(std::span<const std::uint8_t> image, std::string finalLine);
  // Ends the upgrade with `line` and restarts into rescue mode.
  void Abort(std::string_view line, ProductLink& link);
  void CutPower();

  const ModemBootData data_;
  TransferFaults faults_;
  ModemFlash flash_;
  State state_;
  Clock::time_point due_;
  Clock::time_point lastByte_;
  bool reprogrammedPending_ = false;

  LineAssembler assembler_;           // rescue mode's command line
  std::vector<std::uint8_t> loader_;  // the loader so far
  bool loaderBroken_ = false;         // no use waiting for its end: quiet ends it
  LoaderMode mode_ = LoaderMode::RawStar;
  std::vector<std::uint8_t> firmware_;  // raw firmware so far
  std::size_t firmwareLength_ = 0;      // L, once the header is in
  std::size_t chunksAcknowledged_ = 0;
  std::string finalLine_;
};

// What a UART at twice the sender's speed makes of one byte: its start bit
// samples the sender's start bit, its data bits sample the sender's low four
// data bits twice each (d0 d0 d1 d1 d2 d2 d3).
[[nodiscard]] std::uint8_t HalfSpeedByte(std::uint8_t byte);

}  // namespace norix::sim
