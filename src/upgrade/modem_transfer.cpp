#include "upgrade/modem_transfer.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "link/timeouts_keeper.h"
#include "upgrade/fill_in.h"
#include "upgrade/loader_reply.h"
#include "upgrade/xmodem_sender.h"

namespace norix::upgrade {

namespace W = platform::window;
namespace comm = platform::comm;
using namespace std::chrono_literals;

namespace {

constexpr int kProbeTries = 5;
constexpr std::array<std::uint32_t, 2> kRescueProbeSpeeds{57600, 38400};
constexpr std::string_view kLoaderRequest = "AT**";
constexpr std::size_t kEchoLength = 5;        // "AT**" and its CR
constexpr std::size_t kSecondEchoLength = 4;  // as the second request's line was cut
// Lines the loader may send before it names the firmware mode.
constexpr int kLoaderLineLimit = 64;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::span<const std::uint8_t> Clamped(const UpgradeImage& image, std::size_t start,
                                      std::size_t end) {
  const auto contents = Contents(image);
  start = std::min(start, contents.size());
  end = std::clamp(end, start, contents.size());
  return contents.subspan(start, end - start);
}

// The answer as a message shows it: without its line end and the control
// characters of a binary answer.
std::string Printable(std::string_view line) {
  std::string text;
  for (const char c : line) {
    if (c == '\r' || c == '\n') {
      break;
    }
    const auto byte = static_cast<unsigned char>(c);
    text.push_back(byte < 0x20 || byte == 0x7F ? '?' : c);
  }
  return text;
}

}  // namespace

std::span<const std::uint8_t> RawFirmware(const UpgradeImage& image) {
  const std::size_t end = image.firmwareEndInclusive
                              ? image.firmwareEnd + (image.firmwareEnd < SIZE_MAX ? 1 : 0)
                              : image.firmwareEnd;
  return Clamped(image, image.firmwareStart, end);
}

std::span<const std::uint8_t> XmodemFirmware(const UpgradeImage& image) {
  return Clamped(image, image.firmwareStart, image.size);
}

std::vector<std::uint8_t> LastRawChunk(const UpgradeImage& image,
                                       std::span<const std::uint8_t> firmware, std::size_t offset) {
  offset = std::min(offset, firmware.size());
  std::vector<std::uint8_t> chunk(firmware.begin() + static_cast<std::ptrdiff_t>(offset),
                                  firmware.end());
  // The bytes after the firmware's last byte, from the file only.
  const auto contents = Contents(image);
  const std::size_t after = image.firmwareStart + firmware.size();
  for (std::size_t i = 0; i < kTrailingBytes; ++i) {
    const std::size_t at = after + i;
    chunk.push_back(at < contents.size() && at >= after ? contents[at] : 0);
  }
  return chunk;
}

bool IsLoaderLetter(std::uint8_t byte) {
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
    return true;
  }
  switch (byte) {
    case 0x83:  // f with hook
    case 0x8A:  // S caron
    case 0x8C:  // OE
    case 0x8E:  // Z caron
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:  // Y diaeresis
    case 0xAA:  // feminine ordinal
    case 0xB5:  // micro
    case 0xBA:  // masculine ordinal
      return true;
    default:
      break;
  }
  return byte >= 0xC0 && byte != 0xD7 && byte != 0xF7 && byte != 0xFF;
}

ModemTransfer::ModemTransfer(comm::Port* port, const UpgradeImage& image, UpgradeView& view,
                             TransferClock& clock, device::RescueFlags& flags, ModemTarget target)
    : port_(port), image_(image), view_(view), clock_(clock), flags_(flags), target_(target) {}

bool ModemTransfer::Probe(bool rescue) {
  const link::TimeoutsKeeper keeper(port_);
  UsualWaitsByClock(port_, clock_);
  std::string reply;
  for (int attempt = 0; attempt < kProbeTries && !Stopped(); ++attempt) {
    if (link::SendAtCommand(port_, "AT", reply) != link::AtResult::NoReply) {
      return true;
    }
  }
  if (rescue) {
    for (const std::uint32_t speed : kRescueProbeSpeeds) {
      link::SetPortSpeed(port_, speed);
      if (!Stopped() && link::SendAtCommand(port_, "AT", reply) != link::AtResult::NoReply) {
        return true;
      }
    }
  }
  return false;
}

int ModemTransfer::Run(std::uint32_t speed, bool rescue) {
  const link::TimeoutsKeeper keeper(port_);
  link::SetPortSpeed(port_, speed);
  record_ = {};
  if (!Probe(rescue)) {
    if (Stopped()) {
      return kTransferStopped;
    }
    // Nothing was sent to the flash; say so rather than end in silence.
    view_.SetItemText(kProgressStatusId, kStatusFailed);
    view_.Message(kStatusFailed, W::MB_ICONEXCLAMATION);
    return kMsgInvalidResponse;
  }
  if (!rescue) {
    std::string reply;
    // Only a value is worth putting back: a bare OK or ERROR is none.
    if (link::SendAtCommand(port_, "AT\\3", reply) == link::AtResult::Ok &&
        !StartsWith(reply, "OK")) {
      record_.savedAt3 = reply;
    }
  }

  int result = kUpgradeSucceeded;
  for (bool again = true; again;) {
    again = false;
    link::DiscardInput(port_, comm::kPurgeRxClear);
    if (rescue) {
      result = Transfer(true);
    } else {
      result = GetProductIdentification(target_.modemComponent, record_.savedIdent);
      if (result == kUpgradeSucceeded) {
        result = Transfer(false);
      }
    }
    keeper.Restore();
    if (result == kTransferStopped || Stopped()) {
      // The product is left wherever the transfer was cut off.
      flags_.damaged = true;
      return kTransferStopped;
    }
    switch (result) {
      case kMsgHardwareMismatch:
      case kMsgNotUpgradable:
        view_.Message(result, W::MB_ICONEXCLAMATION);
        flags_.rescueTransfer = false;
        flags_.damaged = true;
        break;
      case kMsgDamagedFile:
        view_.Message(result, W::MB_ICONEXCLAMATION);
        break;
      case kMsgInvalidResponse:
        again = view_.Message(result, W::MB_YESNO | W::MB_ICONQUESTION) == W::IDYES;
        break;
      case kMsgNoResponse:
      case kMsgFailedTryAgain:
        if (view_.Message(result, W::MB_OKCANCEL | W::MB_ICONEXCLAMATION) == W::IDOK) {
          rescue = true;
          flags_.rescueTransfer = true;
          again = true;
          // A modem that lost its firmware talks through its boot firmware,
          // at that firmware's own speed: find it as a rescue run does.
          static_cast<void>(Probe(true));
        } else {
          flags_.rescueTransfer = false;
          flags_.damaged = true;
        }
        break;
      default:
        break;
    }
  }
  link::DiscardInput(port_, comm::kPurgeRxClear | comm::kPurgeTxClear);
  return result;
}

int ModemTransfer::LoaderRefused(const std::string& line, int code) {
  record_.lastLoaderLine = line;
  view_.SetItemText(kProgressStatusId, kStatusFailed);
  if (code == kLoaderProgrammed && flags_.rescueTransfer) {
    return code;  // the worker asks to switch the modem off and on, and tries again
  }
  view_.MessageText(FillIn(view_.Text(kMsgLoaderAnswered), Printable(line)), W::MB_ICONEXCLAMATION);
  return code;
}

std::string ModemTransfer::NextLine() {
  std::string line;
  if (link::ReadLine(port_, line) == 0) {
    return {};
  }
  return line;
}

int ModemTransfer::Transfer(bool rescue) {
  const int result = TransferSteps(rescue);
  if (result != kUpgradeSucceeded && result != kTransferStopped) {
    view_.SetItemText(kProgressStatusId, kStatusFailed);
  }
  return result;
}

int ModemTransfer::TransferSteps(bool rescue) {
  const link::TimeoutsKeeper keeper(port_);
  // The answers to "AT**" and the loader's first lines are awaited with the
  // port's usual time-out (5 s after the speed probe), as the clock allows.
  UsualWaitsByClock(port_, clock_);
  flags_.rescueTransfer = rescue;
  const auto loader = Clamped(image_, image_.loaderStart, image_.loaderEnd);
  view_.SetRange(static_cast<int>(loader.size() / kChunkBytes));

  link::WriteLine(port_, kLoaderRequest);
  std::string line = NextLine();
  std::size_t echoLength = kEchoLength;
  if (line.empty()) {
    view_.Message(kMsgSwitchOffAndOn, W::MB_ICONEXCLAMATION);
    if (Stopped()) {
      return kTransferStopped;
    }
    link::DiscardInput(port_, comm::kPurgeRxClear | comm::kPurgeTxClear);
    link::WriteLine(port_, kLoaderRequest);
    line = NextLine();
    echoLength = kSecondEchoLength;
    if (line.empty()) {
      view_.Message(kMsgDamagedReupgrade, W::MB_ICONEXCLAMATION);
      flags_.rescueTransfer = false;
      flags_.damaged = true;
      return kNoSignOfLife;
    }
  }
  if (StartsWith(line, kLoaderRequest)) {
    if (target_.modemComponent) {
      // Through the adapter the answer follows the echo on its line.
      line.erase(0, std::min(echoLength, line.size()));
    } else {
      line = NextLine();
    }
  }
  const int first = LoaderReply(line);
  if (first != kLoaderDownloadInitiated) {
    return LoaderRefused(line, first);
  }

  if (!clock_.Pause(500ms)) {
    return kTransferStopped;
  }
  view_.SetItemText(kProgressStatusId, kStatusLoader);
  if (const int sent = SendLoader(); sent != kUpgradeSucceeded) {
    return sent;
  }
  SkipToLoaderLine();
  if (!clock_.Pause(1s)) {
    return kTransferStopped;
  }
  std::optional<char> early;
  if (const int lines = LoaderLines(early); lines != kUpgradeSucceeded) {
    return lines;
  }
  const int result = FinalLine(early);
  keeper.Restore();
  if (result != kUpgradeSucceeded) {
    return result;
  }
  view_.SetItemText(kProgressStatusId, kStatusCompleted);
  return PostUpgradeCheck(rescue);
}

int ModemTransfer::SendLoader() {
  const auto loader = Clamped(image_, image_.loaderStart, image_.loaderEnd);
  for (std::size_t offset = 0; offset < loader.size();) {
    if (Stopped()) {
      return kTransferStopped;
    }
    const auto chunk = loader.subspan(offset, std::min(kChunkBytes, loader.size() - offset));
    std::size_t written = 0;
    if (!link::PortWrite(port_, chunk, written) || written != chunk.size()) {
      return kMsgFailedTryAgain;
    }
    offset += chunk.size();
    if (offset < loader.size()) {
      view_.Step();
    }
  }
  return kUpgradeSucceeded;
}

int ModemTransfer::LoaderLines(std::optional<char>& early) {
  for (int count = 0; count < kLoaderLineLimit; ++count) {
    const std::string line = NextLine();
    if (Stopped()) {
      return kTransferStopped;
    }
    if (line.empty()) {
      return kMsgNoResponse;
    }
    // The first line's first character went with the dots before it.
    const int code = LoaderReply(line, count == 0 ? 1 : 0);
    switch (code) {
      case kLoaderRawFirmware:
        return SendRawFirmware(early);
      case kLoaderXmodemFirmware:
        return SendXmodemFirmware();
      case kLoaderWrongDevice:
      case kLoaderError:
        record_.lastLoaderLine = line;
        return kMsgNotUpgradable;
      case kLoaderWrongFile:
        return LoaderRefused(line, code);
      default:
        break;
    }
  }
  return kMsgNoResponse;
}

int ModemTransfer::SendXmodemFirmware() {
  view_.SetItemText(kProgressStatusId, kStatusFirmware);
  XmodemSender sender(TimingsFor(clock_), &clock_);
  // Judged by the loader's final line, not by the sender.
  static_cast<void>(sender.Send(&view_, port_, XmodemFirmware(image_), false));
  return Stopped() ? kTransferStopped : kUpgradeSucceeded;
}

}  // namespace norix::upgrade
