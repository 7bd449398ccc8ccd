// The loader's side of the modem transfer: the dots and lines after the
// flash loader, the raw firmware with its acknowledgements, the final line
// and the verification.
#include <algorithm>
#include <chrono>

#include "link/port_io.h"
#include "upgrade/loader_reply.h"
#include "upgrade/modem_transfer.h"

namespace norix::upgrade {

namespace comm = platform::comm;
using namespace std::chrono_literals;

namespace {

constexpr std::uint8_t kCr = '\r';
constexpr std::uint8_t kLf = '\n';
constexpr std::uint8_t kDot = '.';
// Dots and line ends the loader may send while it works (erasing,
// programming) before the character that counts.
constexpr int kSkipLimit = 1 << 20;
// Each raw chunk's acknowledgement may take about 10 s: the read time-out
// is 5 ms plus 10000 ms per byte, and one read waits a little longer.
constexpr std::uint32_t kAckReadConstant = 5;
constexpr auto kAckReadMultiplier = 10000ms;
constexpr auto kAckWait = 11s;
// The final line comes when the flash is programmed: 20 s per character.
constexpr auto kFinalReadConstant = 20000ms;
constexpr auto kFinalWait = 21s;
constexpr auto kVerifyReadConstant = 5000ms;
constexpr int kVerifyTries = 5;
// The remaining-time rule's value before any estimate.
constexpr std::int64_t kRawNotShown = 100000;

bool Skipped(std::uint8_t byte) { return byte == kDot || byte == kCr || byte == kLf; }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

void ModemTransfer::SkipToLoaderLine() {
  for (int skipped = 0; skipped < kSkipLimit; ++skipped) {
    const auto byte = link::ReadRawByte(port_);
    if (!byte || !Skipped(*byte)) {
      return;  // that character is dropped: the next line is read without it
    }
  }
}

int ModemTransfer::SendRawFirmware(std::optional<char>& early) {
  view_.SetItemText(kXmodemTimeLabel, kEstimatedTimeTextId);
  const auto firmware = RawFirmware(image_);
  if (firmware.empty()) {
    return kMsgDamagedFile;
  }
  // (end - start) / 1024 steps: one for each acknowledged chunk.
  view_.SetRange(static_cast<int>((firmware.size() - 1) / kChunkBytes));
  view_.SetItemText(kProgressStatusId, kStatusFirmware);
  phaseStart_ = clock_.NowSeconds();
  lastShown_ = kRawNotShown;
  link::SetReadTotals(port_, AnswerTimeout(clock_, kAckReadMultiplier), kAckReadConstant);
  if (!clock_.Pause(1s)) {
    return kTransferStopped;
  }

  const auto total = static_cast<std::int64_t>(firmware.size());
  std::size_t offset = 0;
  while (firmware.size() - offset > kChunkBytes) {
    if (Stopped()) {
      return kTransferStopped;
    }
    std::size_t written = 0;
    const auto chunk = firmware.subspan(offset, kChunkBytes);
    if (!link::PortWrite(port_, chunk, written) || written != chunk.size()) {
      return kMsgFailedTryAgain;
    }
    const Ack ack = ReadAcknowledgement();
    if (Stopped()) {
      return kTransferStopped;
    }
    if (ack.kind == AckKind::Silence) {
      return kMsgNoResponse;  // nothing more is sent to a loader that went quiet
    }
    if (ack.kind == AckKind::Letter) {
      early = ack.letter;  // the final line has begun: the last chunk stays unsent
      return kUpgradeSucceeded;
    }
    ProgressStepWithTime(total, static_cast<std::int64_t>(offset) + 1);
    offset += kChunkBytes;
  }
  const std::vector<std::uint8_t> last = LastRawChunk(image_, firmware, offset);
  std::size_t written = 0;
  if (!link::PortWrite(port_, last, written) || written != last.size()) {
    return kMsgFailedTryAgain;
  }
  return kUpgradeSucceeded;
}

ModemTransfer::Ack ModemTransfer::ReadAcknowledgement() {
  for (int skipped = 0; skipped < kSkipLimit; ++skipped) {
    const auto byte = link::ReadRawByte(port_, clock_.AnswerWait(kAckWait));
    if (!byte) {
      return {};
    }
    if (Skipped(*byte)) {
      continue;
    }
    if (*byte == '1' || *byte == '2') {
      static_cast<void>(NextLine());  // a text line follows; it says nothing we need
      return {AckKind::Ack, 0};
    }
    if (IsLoaderLetter(*byte)) {
      return {AckKind::Letter, static_cast<char>(*byte)};
    }
    return {AckKind::Ack, 0};
  }
  return {};
}

void ModemTransfer::ProgressStepWithTime(std::int64_t phaseBytes, std::int64_t bytesDone) {
  const std::int64_t elapsed = clock_.NowSeconds() - phaseStart_;
  if (const auto text = UpdateRemainingTime(phaseBytes, bytesDone, elapsed, lastShown_)) {
    view_.SetText(kXmodemTimeText, *text);
  }
  view_.Step();
}

std::string ModemTransfer::ReadFinalLine(std::optional<char> early) {
  std::string line;
  if (early) {
    line.push_back(*early);
  }
  int skipped = 0;
  while (line.size() < kFinalLineCapacity && !Stopped()) {
    const auto byte = link::ReadRawByte(port_, clock_.AnswerWait(kFinalWait));
    if (!byte) {
      break;  // silence ends the line
    }
    if (line.empty() && Skipped(*byte)) {
      if (++skipped >= kSkipLimit) {
        break;
      }
      continue;
    }
    if (*byte == kCr || *byte == kLf) {
      break;
    }
    line.push_back(static_cast<char>(*byte));
  }
  return line;
}

int ModemTransfer::FinalLine(std::optional<char> early) {
  view_.SetText(kXmodemTimeText, "");
  view_.SetText(kXmodemTimeLabel, "");
  view_.SetItemText(kProgressStatusId, kStatusVerifying);
  link::SetReadTimeout(port_, AnswerTimeout(clock_, kFinalReadConstant));
  if (!clock_.Pause(5s)) {
    return kTransferStopped;
  }
  std::string line = ReadFinalLine(early);
  record_.lastLoaderLine = line;
  if (!clock_.Pause(500ms)) {
    return kTransferStopped;
  }
  link::DiscardInput(port_, comm::kPurgeRxClear);
  link::SetReadTimeout(port_, AnswerTimeout(clock_, kVerifyReadConstant));
  if (target_.modemComponent && !clock_.Pause(300ms)) {
    return kTransferStopped;
  }
  for (int attempt = 0;; ++attempt) {
    switch (LoaderReply(line)) {
      case kLoaderProgrammed:
        return Verify();
      case kLoaderWrongDevice:
      case kLoaderError:
        return kMsgNotUpgradable;
      case kLoaderHardwareMismatch:
        return kMsgHardwareMismatch;
      case kLoaderUnknown:
        if (attempt > 0) {
          return kMsgNoResponse;
        }
        // Once more with what comes now, as it comes.
        line.clear();
        static_cast<void>(link::ReadBlock(port_, line, kFinalLineCapacity));
        record_.lastLoaderLine = line;
        break;
      default:
        return kMsgInvalidResponse;
    }
  }
}

int ModemTransfer::Verify() {
  for (int attempt = 0; attempt < kVerifyTries; ++attempt) {
    if (Stopped()) {
      return kTransferStopped;
    }
    link::WriteLine(port_, "AT");
    std::string line = NextLine();
    if (line.empty()) {
      line = NextLine();
    }
    if (StartsWith(line, "AT")) {
      line = NextLine();
    }
    if (StartsWith(line, "OK")) {
      return kUpgradeSucceeded;
    }
    if (StartsWith(line, "ERROR")) {
      return kMsgInvalidResponse;
    }
  }
  return kMsgNoResponse;
}

}  // namespace norix::upgrade
