#include "sim/adapter_boot_program.h"

#include <utility>

#include "sim/xmodem/xmodem_receiver.h"

namespace norix::sim {
namespace {

using namespace std::chrono_literals;

// The adapter's own times, scaled by UpgradeOptions::timePercent.
constexpr std::chrono::milliseconds kBootStart = 1500ms;
constexpr std::chrono::milliseconds kErase = 7000ms;
constexpr int kEraseDots = 7;

constexpr std::string_view kWarning = "\r\nDo NOT power off the TA during the upgrade!\r\n";
constexpr std::string_view kErasing = "Erasing FLASH ";
constexpr std::string_view kUploadRequest = "Please upload binary file using X-MODEM/CRC.\r\n";
constexpr std::string_view kMenu = "\r\nBoot code upgrade\r\n1: Upgrade boot code\r\n2: Exit\r\n";

void Say(platform::comm::DeviceEnd& line, std::string_view text) {
  line.Send(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

AdapterBootProgram::AdapterBootProgram(BootProgramData data, bool firmwareValid)
    : data_(data),
      bootCodeVersion_(data.bootCodeVersion),
      state_(firmwareValid ? State::Firmware : State::Prompt) {
  flash_.valid = firmwareValid;
}

bool AdapterBootProgram::AnswersAt(std::uint32_t baudRate) const {
  switch (state_) {
    case State::Firmware:
    case State::Restarting:
    case State::PowerOff:
      return false;
    default:
      return data_.anySpeed || fromFirmware_ || baudRate == kBootProgramBaudRate;
  }
}

void AdapterBootProgram::StartUpgrade() {
  if (faults_.SilenceRequest()) {
    return;
  }
  fromFirmware_ = true;
  Enter(State::Starting, faults_.Scaled(kBootStart));
}

bool AdapterBootProgram::StartBootCodeUpgrade() {
  if (!bootCodeVersion_) {
    return false;
  }
  fromFirmware_ = true;
  Enter(State::MenuStarting, faults_.Scaled(kBootStart));
  return true;
}

std::size_t AdapterBootProgram::OnData(std::span<const std::uint8_t> bytes, ProductLink& link) {
  for (const std::uint8_t byte : bytes) {
    const char c = static_cast<char>(byte);
    switch (state_) {
      case State::Prompt:
        if (c == '\r') {
          link.Send(Prompt());
        } else if (c == 'y' || c == 'Y') {
          link.Send(std::string(1, c) + "\r\n");
          Confirmed(link);
        } else if (c == 'n' || c == 'N') {
          link.Send(std::string(1, c) + "\r\n");
          if (flash_.valid) {
            Enter(State::Firmware);
          }
        }
        break;
      case State::Menu:
        if (c == '1') {
          link.Send("1\r\n" + Prompt());
          Enter(State::BootPrompt);
        } else if (c == '2') {
          link.Send("2\r\n");
          Enter(State::Firmware);
        }
        break;
      case State::BootPrompt:
        if (c == 'y' || c == 'Y') {
          link.Send(std::string(1, c) + "\r\n" + std::string(kWarning) +
                    std::string(kUploadRequest));
          faults_.Begin(TransferPhase::BootCode);
          Enter(State::BootUpload);
        } else if (c == 'n' || c == 'N') {
          link.Send(std::string(1, c) + "\r\n");
          Enter(State::Firmware);
        }
        break;
      default:
        break;  // starting, erasing, dark: the bytes are lost
    }
  }
  return bytes.size();
}

void AdapterBootProgram::Confirmed(ProductLink& link) {
  if (faults_.Options().refuseDevice) {
    link.Send("Wrong device\r\n");
    if (flash_.valid) {
      Enter(State::Firmware);
    }
    return;
  }
  link.Send(std::string(kWarning) + std::string(kErasing));
  flash_.valid = false;
  dots_ = 0;
  if (faults_.StallErase()) {
    // Dark until the restart: the boot program then waits in rescue mode.
    Enter(State::Restarting, faults_.Scaled(kErase));
    return;
  }
  Enter(State::Erasing, faults_.Scaled(kErase) / kEraseDots);
}

std::optional<std::chrono::steady_clock::time_point> AdapterBootProgram::NextTimer() const {
  switch (state_) {
    case State::Starting:
    case State::Erasing:
    case State::MenuStarting:
    case State::Restarting:
    case State::PowerOff:
      return due_;
    default:
      return std::nullopt;
  }
}

void AdapterBootProgram::OnTimer(ProductLink& link) {
  if (Clock::now() < due_) {
    return;
  }
  switch (state_) {
    case State::Starting:
      link.Send(Prompt());
      Enter(State::Prompt);
      break;
    case State::MenuStarting:
      link.Send(std::string(kMenu));
      Enter(State::Menu);
      break;
    case State::Erasing:
      if (++dots_ < kEraseDots) {
        link.Send(".");
        Enter(State::Erasing, faults_.Scaled(kErase) / kEraseDots);
        break;
      }
      link.Send(". OK\r\n" + std::string(kUploadRequest));
      faults_.Begin(TransferPhase::Firmware);
      Enter(State::Upload);
      break;
    case State::Restarting:
    case State::PowerOff:
      faults_.Restore();
      if (flash_.valid) {
        reprogrammedPending_ = std::exchange(programmed_, false);
        Enter(State::Firmware);
        if (data_.okAfterRestart) {
          link.Send("\r\nOK\r\n");
        }
      } else {
        // Rescue mode: the boot program waits at its prompt.
        fromFirmware_ = false;
        Enter(State::Prompt);
      }
      break;
    default:
      break;
  }
}

void AdapterBootProgram::RunOnLine(platform::comm::DeviceEnd& line) {
  if (state_ == State::BootUpload) {
    ReceiveBootCode(line);
  } else {
    ReceiveFirmware(line);
  }
}

void AdapterBootProgram::ReceiveFirmware(platform::comm::DeviceEnd& line) {
  FaultyLine faulty(line, faults_);
  const xmodem::ReceiverOptions options;
  const xmodem::ReceiveResult result = xmodem::ReceiveXmodem(faulty, options);
  if (faulty.LineClosed()) {
    Enter(State::Prompt);  // the product is stopping
    return;
  }
  if (faults_.PowerLost()) {
    Enter(State::PowerOff, faults_.Scaled(faults_.Options().powerOffTime));
    return;
  }
  if (result.end != xmodem::ReceiveEnd::Completed) {
    Say(line, "\r\nTransfer failed\r\n");
    Restart();
    return;
  }
  bool complete = false;
  const auto header = ReadFirmwareHeader(result.data, complete);
  if (!header || header->target != static_cast<char>(data_.target) ||
      header->length > result.data.size()) {
    Say(line, "\r\nTransfer Complete\r\nInvalid firmware file\r\nBooting the TA\r\n");
    Restart();
    return;
  }
  const auto image = std::span(result.data).first(header->length);
  flash_.valid = true;
  flash_.reprogrammed = true;
  flash_.identification = header->identification;
  flash_.checksum = FirmwareChecksum(image);
  programmed_ = true;
  Say(line, "\r\nTransfer Complete\r\nBooting the TA\r\n");
  Restart();
}

void AdapterBootProgram::ReceiveBootCode(platform::comm::DeviceEnd& line) {
  FaultyLine faulty(line, faults_);
  const xmodem::ReceiverOptions options;
  const xmodem::ReceiveResult result = xmodem::ReceiveXmodem(faulty, options);
  if (faulty.LineClosed()) {
    Enter(State::Firmware);
    return;
  }
  if (result.end != xmodem::ReceiveEnd::Completed) {
    Say(line, "\r\nTransfer failed\r\nBooting the TA\r\n");
  } else if (const auto version = sim::BootCodeVersion(result.data)) {
    bootCodeVersion_ = *version;
    Say(line, "\r\nTransfer Complete\r\nBoot code programmed\r\nBooting the TA\r\n");
  } else {
    Say(line, "\r\nTransfer Complete\r\nInvalid boot code\r\nBooting the TA\r\n");
  }
  Restart();
}

void AdapterBootProgram::Restart() {
  Enter(State::Restarting, faults_.RestartWait(data_.restartTime));
}

void AdapterBootProgram::Enter(State state, std::chrono::milliseconds wait) {
  state_ = state;
  due_ = Clock::now() + wait;
}

bool AdapterBootProgram::TakeReprogrammed() { return std::exchange(reprogrammedPending_, false); }

}  // namespace norix::sim
