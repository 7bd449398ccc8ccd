#include "sim/modem_loader.h"

#include <algorithm>
#include <utility>

#include "sim/command_interpreter.h"
#include "sim/xmodem/xmodem_receiver.h"

namespace norix::sim {
namespace {

using namespace std::chrono_literals;

// The product's own times, scaled by UpgradeOptions::timePercent.
constexpr std::chrono::milliseconds kLoaderStart = 500ms;
constexpr std::chrono::milliseconds kProgramming = 2000ms;
// Receive time-outs of the boot firmware and the loader: protocol, not
// product pace, so they are not scaled.
constexpr std::chrono::milliseconds kLoaderFirstByte = 10000ms;  // the host pauses first
constexpr std::chrono::milliseconds kLoaderQuiet = 500ms;
constexpr std::chrono::milliseconds kRawQuiet = 5000ms;
// A loader starts, and a modem whose power was cut comes back, only once the
// line has been quiet this long, however fast the product is made: the bytes
// the host sends meanwhile (the rest of the loader's last chunk, the rest of
// a firmware chunk in flight) are lost, as on a real product, and are never
// taken for the firmware's first bytes or a command of the boot firmware.
constexpr std::chrono::milliseconds kSettle = 100ms;

constexpr std::size_t kChunk = 1024;
constexpr std::size_t kDotEvery = 16;      // star loaders show a dot every 16 chunks
constexpr std::size_t kSectorChunks = 64;  // 64 KB flash sectors

constexpr std::string_view kDownloadInitiated = "Download initiated";
constexpr std::string_view kLoaderDots = "\r\n.....";
constexpr std::string_view kRawBanner = "\r\nNORIX Flash Loader V2.10\r\n";
constexpr std::string_view kXmodemBanner = "\r\nUpLoader (XModem) V1.30\r\n";
constexpr std::string_view kRawRequest = "Download flash code\r\n";
constexpr std::string_view kXmodemRequest = "Upload flash code ..\r\n";
constexpr std::string_view kWrongDevice = "Wrong device\r\n";

// The command line from its "AT" on: what came before (the rest of a loader
// that was no loader) is noise to the boot firmware.
std::string_view FromAttention(std::string_view line) {
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if ((line[i] == 'A' && line[i + 1] == 'T') || (line[i] == 'a' && line[i + 1] == 't')) {
      return line.substr(i);
    }
  }
  return {};
}

}  // namespace

ModemBootFirmware::ModemBootFirmware(ModemBootData data, bool firmwareValid)
    : data_(data), state_(firmwareValid ? State::Firmware : State::Idle) {
  flash_.valid = firmwareValid;
}

bool ModemBootFirmware::AnswersAt(std::uint32_t baudRate) const {
  switch (state_) {
    case State::Firmware:
    case State::Restarting:
    case State::PowerOff:
      return false;
    case State::Idle:
      return data_.baudRate == 0 || baudRate == data_.baudRate || baudRate * 2 == data_.baudRate;
    default:
      // An upgrade runs at the speed the host had when it began.
      return true;
  }
}

std::optional<std::string> ModemBootFirmware::RequestLoader() {
  if (faults_.SilenceRequest()) {
    return std::nullopt;
  }
  flash_.valid = false;
  loader_.clear();
  loaderBroken_ = false;
  faults_.Begin(TransferPhase::Loader);
  Enter(State::LoaderIn);
  lastByte_ = Clock::now();
  return std::string(kDownloadInitiated);
}

std::string ModemBootFirmware::AnswerCommand(std::string_view line) const {
  const std::string_view command = FromAttention(line);
  if (command.empty()) {
    return {};
  }
  if (command.size() == 2) {
    return "\r\nOK\r\n";
  }
  if (command.substr(2) == "*" && data_.modelIndex) {
    return "\r\n" + std::to_string(*data_.modelIndex) + "\r\n\r\nOK\r\n";
  }
  return "\r\nERROR\r\n";
}

std::size_t ModemBootFirmware::OnData(std::span<const std::uint8_t> bytes, ProductLink& link) {
  switch (state_) {
    case State::Idle:
      TakeIdleBytes(bytes, link);
      break;
    case State::LoaderIn:
      TakeLoaderBytes(bytes);
      break;
    case State::RawFirmware:
      TakeFirmwareBytes(bytes, link);
      break;
    case State::LoaderStarting:
    case State::PowerOff:
      lastByte_ = Clock::now();  // lost, and what comes next waits for quiet
      break;
    default:
      break;  // starting, programming, dark: the bytes are lost
  }
  return bytes.size();
}

void ModemBootFirmware::TakeIdleBytes(std::span<const std::uint8_t> bytes, ProductLink& link) {
  std::string out;
  if (data_.baudRate != 0 && link.HostBaudRate() != data_.baudRate) {
    for (const std::uint8_t byte : bytes) {
      out.push_back(static_cast<char>(HalfSpeedByte(byte)));
    }
    link.Send(out);
    return;
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t byte = bytes[i];
    const auto event = assembler_.Feed(byte, LineEditCharacters{});
    if (event == LineAssembler::Event::Repeat) {
      continue;  // the boot firmware knows no "A/"
    }
    if (LineAssembler::Echoed(event)) {
      out.push_back(static_cast<char>(byte));
    }
    if (event != LineAssembler::Event::Completed) {
      continue;
    }
    const std::string line = assembler_.TakeLine();
    const std::string_view command = FromAttention(line);
    if (command.size() == 4 && command.substr(2) == "**") {
      if (const auto answer = RequestLoader()) {
        out += "\r\n" + *answer + "\r\n";
        link.Send(out);
        TakeLoaderBytes(bytes.subspan(i + 1));
        return;
      }
      continue;
    }
    out += AnswerCommand(line);
  }
  link.Send(out);
}

void ModemBootFirmware::TakeLoaderBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) {
    return;
  }
  std::vector<std::uint8_t> arrived(bytes.begin(), bytes.end());
  arrived.resize(faults_.Pass(arrived));
  if (faults_.PowerLost()) {
    CutPower();
    return;
  }
  lastByte_ = Clock::now();
  if (loaderBroken_) {
    return;
  }
  loader_.insert(loader_.end(), arrived.begin(), arrived.end());
  if (loader_.size() < kLoaderHeaderSize) {
    return;
  }
  const auto length = LoaderLength(std::span(loader_).first(kLoaderHeaderSize));
  if (!length) {
    loaderBroken_ = true;  // no loader: wait for the line to go quiet
    return;
  }
  if (loader_.size() < *length) {
    return;
  }
  // What follows the loader on the line is not the loader's; it starts
  // while those bytes are lost.
  loader_.resize(*length);
  const auto mode = CheckLoader(loader_);
  if (!mode) {
    loaderBroken_ = true;
    return;
  }
  mode_ = *mode;
  Enter(State::LoaderStarting, faults_.Scaled(kLoaderStart));
}

void ModemBootFirmware::Announce(ProductLink& link) {
  const bool xmodem = mode_ == LoaderMode::Xmodem;
  std::string text(kLoaderDots);
  text += xmodem ? kXmodemBanner : kRawBanner;
  if (faults_.Options().refuseDevice) {
    text += kWrongDevice;
    link.Send(text);
    Enter(State::Restarting, faults_.RestartWait(data_.restartTime));
    return;
  }
  text += xmodem ? kXmodemRequest : kRawRequest;
  link.Send(text);
  faults_.Begin(TransferPhase::Firmware);
  firmware_.clear();
  firmwareLength_ = 0;
  chunksAcknowledged_ = 0;
  lastByte_ = Clock::now();
  Enter(xmodem ? State::Xmodem : State::RawFirmware);
}

std::string ModemBootFirmware::Refusal(std::span<const std::uint8_t> head, bool& decided) const {
  bool complete = false;
  const auto header = ReadFirmwareHeader(head, complete);
  decided = complete;
  if (!complete) {
    return {};
  }
  if (!header) {
    return "Wrong S37 file";
  }
  const char wanted = static_cast<char>(data_.largeFlash ? FirmwareTarget::ModemLargeFlash
                                                         : FirmwareTarget::ModemNormalFlash);
  if (header->target == wanted) {
    return {};
  }
  const bool known = header->target == static_cast<char>(FirmwareTarget::ModemNormalFlash) ||
                     header->target == static_cast<char>(FirmwareTarget::ModemLargeFlash) ||
                     header->target == static_cast<char>(FirmwareTarget::Solano) ||
                     header->target == static_cast<char>(FirmwareTarget::KometII);
  return known ? "Code not match hardware" : "Wrong S37 file";
}

void ModemBootFirmware::TakeFirmwareBytes(std::span<const std::uint8_t> bytes, ProductLink& link) {
  std::vector<std::uint8_t> arrived(bytes.begin(), bytes.end());
  arrived.resize(faults_.Pass(arrived));
  if (faults_.PowerLost()) {
    CutPower();
    return;
  }
  if (arrived.empty()) {
    return;
  }
  lastByte_ = Clock::now();
  firmware_.insert(firmware_.end(), arrived.begin(), arrived.end());
  if (firmwareLength_ == 0) {
    bool decided = false;
    const std::string refusal = Refusal(firmware_, decided);
    if (!decided) {
      return;
    }
    if (!refusal.empty()) {
      Abort(refusal, link);
      return;
    }
    bool complete = false;
    firmwareLength_ = ReadFirmwareHeader(firmware_, complete)->length;
  }
  const std::size_t chunks = (firmwareLength_ + kChunk - 1) / kChunk;
  std::string acks;
  while (chunksAcknowledged_ + 1 < chunks &&
         firmware_.size() >= (chunksAcknowledged_ + 1) * kChunk) {
    ++chunksAcknowledged_;
    if (mode_ == LoaderMode::RawStar) {
      acks += chunksAcknowledged_ % kDotEvery == 0 ? ".*" : "*";
    } else {
      acks += chunksAcknowledged_ % kSectorChunks == 0 ? "2 Sector erased\r\n"
                                                       : "1 Block programmed\r\n";
    }
  }
  link.Send(acks);
  if (firmware_.size() >= firmwareLength_) {
    // The bytes after the firmware (those that end the last chunk) are not
    // programmed.
    Program(std::span(firmware_).first(firmwareLength_), "Device successfully programmed");
  }
}

void ModemBootFirmware::Program(std::span<const std::uint8_t> image, std::string finalLine) {
  bool complete = false;
  const auto header = ReadFirmwareHeader(image, complete);
  flash_.valid = true;
  flash_.reprogrammed = true;
  flash_.identification = header ? header->identification : std::string();
  flash_.checksum = FirmwareChecksum(image);
  firmware_.clear();
  finalLine_ = std::move(finalLine);
  Enter(State::Programming, faults_.Scaled(kProgramming));
}

void ModemBootFirmware::Abort(std::string_view line, ProductLink& link) {
  link.Send("\r\n" + std::string(line) + "\r\n");
  firmware_.clear();
  Enter(State::Restarting, faults_.RestartWait(data_.restartTime));
}

void ModemBootFirmware::CutPower() {
  loader_.clear();
  firmware_.clear();
  assembler_ = LineAssembler{};
  lastByte_ = Clock::now();
  Enter(State::PowerOff, faults_.Scaled(faults_.Options().powerOffTime));
}

void ModemBootFirmware::Enter(State state, std::chrono::milliseconds wait) {
  state_ = state;
  due_ = Clock::now() + wait;
}

std::optional<std::chrono::steady_clock::time_point> ModemBootFirmware::NextTimer() const {
  switch (state_) {
    case State::LoaderIn:
      return lastByte_ + (loader_.empty() && !loaderBroken_ ? kLoaderFirstByte : kLoaderQuiet);
    case State::RawFirmware:
      return lastByte_ + kRawQuiet;
    case State::LoaderStarting:
    case State::PowerOff:
      return std::max(due_, lastByte_ + kSettle);
    case State::Programming:
    case State::Restarting:
      return due_;
    default:
      return std::nullopt;
  }
}

void ModemBootFirmware::OnTimer(ProductLink& link) {
  const auto now = Clock::now();
  switch (state_) {
    case State::LoaderIn:
      if (now >= *NextTimer()) {
        // A loader that stopped short or came damaged never runs.
        loader_.clear();
        assembler_ = LineAssembler{};
        Enter(State::Idle);
      }
      break;
    case State::RawFirmware:
      if (now >= lastByte_ + kRawQuiet) {
        Abort("Record error", link);
      }
      break;
    case State::LoaderStarting:
      if (now >= *NextTimer()) {
        Announce(link);
      }
      break;
    case State::Programming:
      if (now >= due_) {
        link.Send("....\r\n" + finalLine_ + "\r\n");
        Enter(State::Restarting, faults_.RestartWait(data_.restartTime));
      }
      break;
    case State::Restarting:
    case State::PowerOff:
      if (now >= *NextTimer()) {
        faults_.Restore();
        assembler_ = LineAssembler{};
        if (flash_.valid) {
          reprogrammedPending_ = flash_.reprogrammed;
          Enter(State::Firmware);
        } else {
          Enter(State::Idle);
        }
      }
      break;
    default:
      break;
  }
}

void ModemBootFirmware::RunOnLine(platform::comm::DeviceEnd& line) {
  FaultyLine faulty(line, faults_);
  const xmodem::ReceiverOptions options;
  const xmodem::ReceiveResult result = xmodem::ReceiveXmodem(faulty, options);
  if (faulty.LineClosed()) {
    Enter(State::Idle);  // the product is stopping
    return;
  }
  if (faults_.PowerLost()) {
    CutPower();
    return;
  }
  const auto say = [&line](std::string_view text) {
    const std::string framed = "\r\n" + std::string(text) + "\r\n";
    line.Send(std::span(reinterpret_cast<const std::uint8_t*>(framed.data()), framed.size()));
  };
  if (result.end != xmodem::ReceiveEnd::Completed) {
    say("Transfer aborted");
    Enter(State::Restarting, faults_.RestartWait(data_.restartTime));
    return;
  }
  bool decided = false;
  std::string refusal = Refusal(result.data, decided);
  if (!decided) {
    refusal = "Wrong S37 file";
  }
  bool complete = false;
  const auto header = ReadFirmwareHeader(result.data, complete);
  if (refusal.empty() && header->length > result.data.size()) {
    refusal = "Wrong S37 file";  // it ends before its own length
  }
  if (!refusal.empty()) {
    say(refusal);
    Enter(State::Restarting, faults_.RestartWait(data_.restartTime));
    return;
  }
  Program(std::span(result.data).first(header->length), "Upload successfully completed");
}

bool ModemBootFirmware::TakeReprogrammed() { return std::exchange(reprogrammedPending_, false); }

std::uint8_t HalfSpeedByte(std::uint8_t byte) {
  unsigned sampled = 0;  // bit 0, the sender's start bit, stays 0
  for (unsigned bit = 1; bit < 8; ++bit) {
    if (((static_cast<unsigned>(byte) >> ((bit - 1) / 2)) & 1U) != 0) {
      sampled |= 1U << bit;
    }
  }
  return static_cast<std::uint8_t>(sampled);
}

}  // namespace norix::sim
