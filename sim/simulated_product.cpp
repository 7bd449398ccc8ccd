#include "sim/simulated_product.h"

#include <array>
#include <stdexcept>
#include <utility>

namespace norix::sim {
namespace {

using Clock = std::chrono::steady_clock;

// How long one Receive waits before the loop looks at the quit flag again.
// Stop() shuts the line down, which ends a pending Receive at once, so this
// only bounds the reaction to a missed wake-up.
constexpr std::chrono::milliseconds kReceiveWait{500};

LineEditCharacters EditCharacters(const ModemSettings& settings) {
  return {settings.Register(kCrRegister), settings.Register(kLfRegister),
          settings.Register(kBackspaceRegister)};
}

std::unique_ptr<Model> Checked(std::unique_ptr<Model> model) {
  if (!model) {
    throw std::invalid_argument("simulated product without a model");
  }
  return model;
}

}  // namespace

SimulatedProduct::SimulatedProduct(std::string name, std::unique_ptr<Model> model,
                                   std::unique_ptr<platform::comm::DeviceEnd> line,
                                   ProductOptions options)
    : name_(std::move(name)),
      options_(options),
      line_(std::move(line)),
      model_(Checked(std::move(model))),
      interpreter_(model_->FactorySettings(), model_->ProfileCount()) {
  if (!line_) {
    throw std::invalid_argument("simulated product without a line");
  }
  model_->AddCommands(interpreter_.Commands());
}

SimulatedProduct::~SimulatedProduct() { Stop(); }

void SimulatedProduct::Start() {
  if (started_.exchange(true) || quit_) {
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

void SimulatedProduct::Stop() {
  {
    const std::lock_guard lock(sleepMutex_);
    quit_ = true;
  }
  sleepWake_.notify_all();
  line_->Shutdown();
  if (thread_.joinable()) {
    thread_.join();
  }
}

std::vector<TranscriptEntry> SimulatedProduct::Transcript() const {
  const std::lock_guard lock(transcriptMutex_);
  return transcript_;
}

std::vector<std::string> SimulatedProduct::Commands() const {
  const std::lock_guard lock(transcriptMutex_);
  std::vector<std::string> lines;
  for (const TranscriptEntry& entry : transcript_) {
    if (entry.heard) {
      lines.push_back(entry.line);
    }
  }
  return lines;
}

bool SimulatedProduct::WaitForLines(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(transcriptMutex_);
  return transcriptGrew_.wait_for(lock, timeout, [&] { return transcript_.size() >= count; });
}

void SimulatedProduct::Run() {
  std::array<std::uint8_t, 512> buffer{};
  while (!quit_) {
    const std::ptrdiff_t count = line_->Receive(buffer, kReceiveWait);
    if (count < 0) {
      break;
    }
    if (count == 0) {
      continue;
    }
    // The speed that matters is the one the host has set while its bytes
    // travel: a real product hears noise at any speed it does not know.
    const std::uint32_t baudRate = line_->HostState().baudRate;
    HandleBytes(std::span(buffer).first(static_cast<std::size_t>(count)), baudRate,
                model_->AnswersAt(baudRate));
  }
}

void SimulatedProduct::HandleBytes(std::span<const std::uint8_t> bytes, std::uint32_t baudRate,
                                   bool heard) {
  std::string echo;
  for (const std::uint8_t byte : bytes) {
    const auto event = assembler_.Feed(byte, EditCharacters(interpreter_.Current()));
    const bool listening = heard && model_->Listening();
    if (listening && interpreter_.Current().Echo() && LineAssembler::Echoed(event)) {
      echo.push_back(static_cast<char>(byte));
    }
    if (event == LineAssembler::Event::Completed || event == LineAssembler::Event::Repeat) {
      Send(std::exchange(echo, std::string{}), baudRate);
      const bool repeat = event == LineAssembler::Event::Repeat;
      const std::string line = repeat ? std::string("A/") : assembler_.TakeLine();
      HandleLine(line, !repeat && assembler_.Overflowed(), repeat, baudRate, heard);
    }
  }
  Send(std::move(echo), baudRate);
}

void SimulatedProduct::HandleLine(const std::string& line, bool overflowed, bool repeat,
                                  std::uint32_t baudRate, bool heard) {
  const bool listening = heard && model_->Listening();
  if (!line.empty()) {
    Record({line, baudRate, listening});
  }
  if (!heard) {
    return;
  }
  if (!listening) {
    model_->OnUnheardLine(line);
    return;
  }
  Answer(repeat ? interpreter_.Repeat() : interpreter_.Execute(line, overflowed), baudRate);
}

void SimulatedProduct::Answer(const Reply& reply, std::uint32_t baudRate) {
  if (reply.information.empty() && !reply.result) {
    return;
  }
  if (options_.replyDelay.count() > 0 && !SleepUntil(Clock::now() + options_.replyDelay)) {
    return;
  }
  // The settings after the line decide the framing: "ATV0" is answered "0\r".
  const ModemSettings& settings = interpreter_.Current();
  std::string text;
  for (const std::string& info : reply.information) {
    text += FormatInformation(info, settings);
  }
  if (!reply.result) {
    Send(std::move(text), baudRate);
    return;
  }
  if (options_.resultPause.count() > 0 && !text.empty()) {
    Send(std::exchange(text, std::string{}), baudRate);
    if (!SleepUntil(Clock::now() + options_.resultPause)) {
      return;
    }
  }
  text += FormatResult(*reply.result, settings);
  Send(std::move(text), baudRate);
}

void SimulatedProduct::Send(std::string bytes, std::uint32_t baudRate) {
  if (bytes.empty() || quit_) {
    return;
  }
  if (options_.garbleEvery > 0) {
    for (char& c : bytes) {
      if (++bytesSent_ % options_.garbleEvery == 0) {
        c = static_cast<char>(static_cast<std::uint8_t>(c) ^ 0x55U);
      }
    }
  }
  const auto data = std::as_bytes(std::span(bytes));
  const std::span<const std::uint8_t> all(reinterpret_cast<const std::uint8_t*>(data.data()),
                                          data.size());
  if (!options_.pace || baudRate == 0) {
    line_->Send(all);
    return;
  }
  // 10 bits per byte: start bit, 8 data bits, stop bit. Bytes go out in runs
  // of those that are due, so a fast line does not cost a wake-up per byte.
  const auto byteTime = std::chrono::nanoseconds(std::int64_t{10'000'000'000} / baudRate);
  const auto start = Clock::now();
  std::size_t sent = 0;
  while (sent < all.size()) {
    const auto elapsed = Clock::now() - start;
    const auto due = std::min(all.size(), static_cast<std::size_t>(elapsed / byteTime) + 1);
    if (due > sent) {
      if (!line_->Send(all.subspan(sent, due - sent))) {
        return;
      }
      sent = due;
    }
    if (sent < all.size() && !SleepUntil(start + byteTime * static_cast<std::int64_t>(sent))) {
      return;
    }
  }
}

void SimulatedProduct::Record(TranscriptEntry entry) {
  {
    const std::lock_guard lock(transcriptMutex_);
    transcript_.push_back(std::move(entry));
  }
  transcriptGrew_.notify_all();
}

bool SimulatedProduct::SleepUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(sleepMutex_);
  return !sleepWake_.wait_until(lock, deadline, [this] { return quit_.load(); });
}

}  // namespace norix::sim
