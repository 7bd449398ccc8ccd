#include "upgrade/xmodem_sender.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>

#include "link/port_io.h"
#include "link/timeouts_keeper.h"

namespace norix::upgrade {
namespace {

namespace comm = platform::comm;

constexpr int kStartReads = 59;
constexpr int kSendsPerBlock = 5;
constexpr int kEotTries = 10;
// Each reply time-out adds this to the pause before every later block; a
// transfer whose pause would pass kDelayLimitMs has lost its line.
constexpr std::uint32_t kDelayStepMs = 5;
constexpr std::uint32_t kDelayLimitMs = 15;

int ClampToInt(std::size_t value) {
  return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

const char* XmodemFailureText(XmodemFailure failure) {
  switch (failure) {
    case XmodemFailure::None:
      return "no failure";
    case XmodemFailure::NoStartByte:
      return "the receiver sent no start byte";
    case XmodemFailure::WriteFailed:
      return "the port refused a write";
    case XmodemFailure::BlockRefused:
      return "a block was refused five times";
    case XmodemFailure::ReplyTimeouts:
      return "the receiver did not answer four times";
    case XmodemFailure::Cancelled:
      return "the receiver cancelled the transfer";
    case XmodemFailure::UnexpectedReply:
      return "the receiver answered a block with an unknown byte";
    case XmodemFailure::NoEndAck:
      return "the end of transmission was not acknowledged";
    case XmodemFailure::Stopped:
      return "the transfer was stopped";
  }
  return "unknown failure";
}

bool XmodemSender::Send(XmodemProgress* progress, comm::Port* port,
                        std::span<const std::uint8_t> data, bool use1K) {
  failure_ = XmodemFailure::None;
  stats_ = {};
  startByte_ = 0;
  delayMs_ = 0;
  // Everything the transfer changes on the port is put back when Send ends,
  // also the read interval and multipliers that SetReadTimeout resets.
  const link::TimeoutsKeeper keeper(port);

  const XmodemBlockPlan plan = PlanXmodemBlocks(data.size(), use1K);
  const std::size_t blocks = plan.Count();
  stats_.blocks = blocks;
  if (progress != nullptr) {
    progress->SetRange(ClampToInt(blocks));
  }

  if (!WaitForStartByte(port)) {
    return Fail(XmodemFailure::NoStartByte);
  }
  const XmodemCheck check =
      startByte_ == kXmodemCrcStart ? XmodemCheck::Crc : XmodemCheck::Checksum;
  stats_.check = check;

  // Anything the receiver sent meanwhile (repeated start bytes) is stale.
  link::DiscardInput(port, comm::kPurgeRxClear | comm::kPurgeTxClear);
  if (!clock_->Pause(std::chrono::milliseconds(timings_.startPauseMs))) {
    return Fail(XmodemFailure::Stopped);
  }
  std::size_t position = 0;
  const std::int64_t startSeconds = clock_->NowSeconds();
  std::int64_t lastShown = kRemainingTimeNotShown;

  if (progress != nullptr) {
    progress->SetItemText(kXmodemTimeLabel, kEstimatedTimeTextId);
  }

  for (std::size_t i = 1; i <= blocks; ++i) {
    const std::size_t blockSize = plan.BlockSize(i);
    const std::size_t take = std::min(blockSize, data.size() - position);
    const XmodemFrame frame = BuildXmodemFrame(i, data.subspan(position, take), blockSize, check);
    position += take;
    if (clock_->StopRequested()) {
      return Fail(XmodemFailure::Stopped);
    }
    if (!SendBlock(port, frame)) {
      return false;
    }
    ++stats_.blocksAcked;

    if (progress != nullptr) {
      const auto text =
          UpdateRemainingTime(static_cast<std::int64_t>(blocks), static_cast<std::int64_t>(i),
                              clock_->NowSeconds() - startSeconds, lastShown);
      if (text) {
        progress->SetText(kXmodemTimeText, *text);
      }
      progress->Step();
    }
  }
  return EndTransmission(port);
}

bool XmodemSender::WaitForStartByte(comm::Port* port) {
  const std::uint32_t previous = link::SetReadTimeout(port, timings_.startReadMs);
  bool found = false;
  for (int read = 0; read < kStartReads && !found && !clock_->StopRequested(); ++read) {
    const int byte = link::ReadByte(port);
    if (byte == kXmodemNak || byte == kXmodemCrcStart) {
      startByte_ = static_cast<std::uint8_t>(byte);
      found = true;
    }
  }
  link::SetReadTimeout(port, previous);
  return found;
}

bool XmodemSender::SendBlock(comm::Port* port, const XmodemFrame& frame) {
  for (int attempt = 0;;) {
    link::DiscardInput(port, comm::kPurgeRxClear | comm::kPurgeTxClear);
    if (delayMs_ != 0 && !clock_->Pause(std::chrono::milliseconds(delayMs_))) {
      return Fail(XmodemFailure::Stopped);
    }
    std::size_t written = 0;
    ++stats_.frameWrites;
    if (!link::PortWrite(port, frame.View(), written)) {
      return Fail(XmodemFailure::WriteFailed);
    }
    const int reply = ReadReply(port, timings_.replyReadMs);
    if (reply == kXmodemAck) {
      return true;
    }
    if (reply < 0) {
      // No answer: the line or the receiver is slow. Give it more time
      // before every later block, and treat the silence as a refusal.
      ++stats_.replyTimeouts;
      delayMs_ += kDelayStepMs;
      if (delayMs_ > kDelayLimitMs) {
        return Fail(XmodemFailure::ReplyTimeouts);
      }
    } else if (reply == kXmodemCan) {
      return Fail(XmodemFailure::Cancelled);
    } else if (reply != kXmodemNak && reply != kXmodemCrcStart) {
      return Fail(XmodemFailure::UnexpectedReply);
    }
    if (++attempt >= kSendsPerBlock) {
      return Fail(XmodemFailure::BlockRefused);
    }
  }
}

bool XmodemSender::EndTransmission(comm::Port* port) {
  const std::array<std::uint8_t, 1> eot{kXmodemEot};
  for (int attempt = 0; attempt < kEotTries; ++attempt) {
    std::size_t written = 0;
    ++stats_.eotWrites;
    if (!link::PortWrite(port, eot, written)) {
      return Fail(XmodemFailure::WriteFailed);
    }
    if (ReadReply(port, timings_.replyReadMs) == kXmodemAck) {
      return true;
    }
  }
  return Fail(XmodemFailure::NoEndAck);
}

int XmodemSender::ReadReply(comm::Port* port, std::uint32_t ms) {
  const std::uint32_t previous = link::SetReadTimeout(port, ms);
  const int byte = link::ReadByte(port);
  link::SetReadTimeout(port, previous);
  return byte;
}

bool XmodemSender::Fail(XmodemFailure failure) {
  failure_ = failure;
  return false;
}

}  // namespace norix::upgrade
