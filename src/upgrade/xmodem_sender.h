// Sends one memory range to a product's flash loader by the X-modem protocol
// over the open port, in CRC or checksum mode as the receiver asks, with
// 128-byte blocks, or 1024-byte blocks followed by 128-byte ones.
//
//   sender                      receiver
//                          <--  'C' (CRC) or NAK (checksum)
//   (300 ms pause)
//   STX 01 FE data CRC     -->
//                          <--  ACK        (NAK: send it again, up to 5 times)
//   SOH 02 FD data CRC     -->
//                          <--  ACK
//   EOT                    -->
//                          <--  ACK        (else EOT again, up to 10 times)
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/comm/port.h"
#include "upgrade/transfer_clock.h"
#include "upgrade/xmodem_block.h"
#include "upgrade/xmodem_progress.h"

namespace norix::upgrade {

// The waits of a transfer, in milliseconds. The defaults are the product's;
// tests shorten them so that silent receivers do not take minutes.
struct XmodemTimings {
  std::uint32_t startReadMs = 1000;  // read time-out of each of the 59 start-byte reads
  std::uint32_t startPauseMs = 300;  // pause after the start byte, before block 1
  std::uint32_t replyReadMs = 4000;  // wait for the answer to a block or to EOT
};

// The timings above with each wait for the receiver's answer as long as
// `clock` allows it.
[[nodiscard]] inline XmodemTimings TimingsFor(const TransferClock& clock) {
  XmodemTimings timings;
  timings.startReadMs = AnswerTimeout(clock, std::chrono::milliseconds(timings.startReadMs));
  timings.replyReadMs = AnswerTimeout(clock, std::chrono::milliseconds(timings.replyReadMs));
  return timings;
}

// Why the last Send returned false.
enum class XmodemFailure : std::uint8_t {
  None,
  NoStartByte,      // no NAK or 'C' within the 59 start reads
  WriteFailed,      // the port refused a block or EOT
  BlockRefused,     // a block was answered with NAK (or 'C') five times
  ReplyTimeouts,    // the fourth reply time-out of the transfer
  Cancelled,        // the receiver sent CAN
  UnexpectedReply,  // any other answer to a block
  NoEndAck,         // EOT was not acknowledged in 10 tries
  Stopped,          // the clock's stop request ended it
};

[[nodiscard]] const char* XmodemFailureText(XmodemFailure failure);

// Counts of one transfer, for diagnostics.
struct XmodemStats {
  std::size_t blocks = 0;         // blocks in the plan
  std::size_t blocksAcked = 0;    // blocks the receiver acknowledged
  std::size_t frameWrites = 0;    // block frames written, repeats included
  std::size_t replyTimeouts = 0;  // answers that did not come
  std::size_t eotWrites = 0;
  XmodemCheck check = XmodemCheck::Crc;  // as the start byte chose
};

// One transfer at a time per object; not shared between threads.
class XmodemSender {
 public:
  // Pauses and the remaining-time seconds go through `clock` (none: plain
  // sleeps and the steady clock); its stop request ends the transfer before
  // the next block.
  explicit XmodemSender(XmodemTimings timings = {}, TransferClock* clock = nullptr)
      : timings_(timings), clock_(clock != nullptr ? clock : &ownClock_) {}

  // Waits for the receiver's start byte (up to 59 reads of startReadMs),
  // sends `data` as blocks and ends with EOT. Blocks the calling thread for
  // the whole transfer. True when the receiver acknowledged every block and
  // the EOT; false otherwise (LastFailure() says why), and after a failed
  // block no EOT is sent. With `progress`, the progress bar gets one step
  // per block and the remaining time is shown. The port's time-outs are as
  // they were when Send returns.
  [[nodiscard]] bool Send(XmodemProgress* progress, platform::comm::Port* port,
                          std::span<const std::uint8_t> data, bool use1K);

  [[nodiscard]] XmodemFailure LastFailure() const { return failure_; }
  [[nodiscard]] const XmodemStats& LastStats() const { return stats_; }

 private:
  [[nodiscard]] bool WaitForStartByte(platform::comm::Port* port);
  [[nodiscard]] bool SendBlock(platform::comm::Port* port, const XmodemFrame& frame);
  [[nodiscard]] bool EndTransmission(platform::comm::Port* port);
  // One byte within `ms`, the read time-out set for this read only; -1 when
  // none came.
  [[nodiscard]] static int ReadReply(platform::comm::Port* port, std::uint32_t ms);
  bool Fail(XmodemFailure failure);

  XmodemTimings timings_;
  SleepingClock ownClock_;
  TransferClock* clock_;
  XmodemFailure failure_ = XmodemFailure::None;
  XmodemStats stats_;
  std::uint8_t startByte_ = 0;
  std::uint32_t delayMs_ = 0;  // inter-block delay, grows with each reply time-out
};

}  // namespace norix::upgrade
