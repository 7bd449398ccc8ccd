#include "sim/simulated_product.h"

#include <algorithm>
#include <array>
#include <functional>
#include <stdexcept>
#include <utility>

#include "sim/command_faults.h"

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

// The product's line as a model gets it for RunOnLine: the bytes the model
// did not take from the last read come first, and what it sends goes out
// paced and garbled like everything else the product sends.
class HandedLine final : public platform::comm::DeviceEnd {
 public:
  HandedLine(platform::comm::DeviceEnd& line, std::span<const std::uint8_t> pending,
             std::function<bool(std::span<const std::uint8_t>)> send)
      : line_(line), pending_(pending.begin(), pending.end()), send_(std::move(send)) {}

  std::ptrdiff_t Receive(std::span<std::uint8_t> buffer,
                         std::chrono::milliseconds timeout) override {
    if (taken_ < pending_.size()) {
      const std::size_t count = std::min(buffer.size(), pending_.size() - taken_);
      std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(taken_), count, buffer.begin());
      taken_ += count;
      return static_cast<std::ptrdiff_t>(count);
    }
    return line_.Receive(buffer, timeout);
  }
  bool Send(std::span<const std::uint8_t> data) override { return send_(data); }
  [[nodiscard]] platform::comm::CommState HostState() const override { return line_.HostState(); }
  void Shutdown() override { line_.Shutdown(); }

 private:
  platform::comm::DeviceEnd& line_;
  std::vector<std::uint8_t> pending_;
  std::size_t taken_ = 0;
  std::function<bool(std::span<const std::uint8_t>)> send_;
};

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
  model_->ApplyOptions(options_);
  model_->AddCommands(interpreter_.Commands());
  AddCommandFaults(interpreter_.Commands(), options_);
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

bool SimulatedProduct::WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(transcriptMutex_);
  return transcriptGrew_.wait_for(lock, timeout, [&] {
    return static_cast<std::size_t>(
               std::count_if(transcript_.begin(), transcript_.end(),
                             [](const TranscriptEntry& entry) { return entry.heard; })) >= count;
  });
}

bool SimulatedProduct::WaitForCommand(std::string_view line,
                                      std::chrono::milliseconds timeout) const {
  std::unique_lock lock(transcriptMutex_);
  return transcriptGrew_.wait_for(lock, timeout, [&] {
    return std::any_of(transcript_.begin(), transcript_.end(), [&](const TranscriptEntry& entry) {
      return entry.heard && entry.line == line;
    });
  });
}

void SimulatedProduct::Run() {
  baudRate_ = line_->HostState().baudRate;
  std::array<std::uint8_t, 512> buffer{};
  while (!quit_) {
    const std::ptrdiff_t count = line_->Receive(buffer, ReceiveWait());
    if (count < 0) {
      break;
    }
    if (count > 0) {
      // The speed that matters is the one the host has set while its bytes
      // travel: a real product hears noise at any speed it does not know.
      baudRate_ = line_->HostState().baudRate;
      HandleBytes(std::span(buffer).first(static_cast<std::size_t>(count)),
                  model_->AnswersAt(baudRate_));
    }
    RunDueTimer();
    if (model_->WantsLine() && !quit_) {
      HandOverLine({});
    }
  }
}

void SimulatedProduct::HandOverLine(std::span<const std::uint8_t> pending) {
  HandedLine handed(*line_, pending, [this](std::span<const std::uint8_t> bytes) {
    Send(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return !quit_.load();
  });
  while (model_->WantsLine() && !quit_) {
    model_->RunOnLine(handed);
  }
  NoticeRestart();
}

void SimulatedProduct::NoticeRestart() {
  if (model_->TakeReprogrammed()) {
    interpreter_.ResetToFactory();
    assembler_ = LineAssembler{};
  }
}

std::chrono::milliseconds SimulatedProduct::ReceiveWait() const {
  const auto timer = model_->NextTimer();
  if (!timer) {
    return kReceiveWait;
  }
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*timer - Clock::now());
  return std::clamp(left, std::chrono::milliseconds{0}, kReceiveWait);
}

void SimulatedProduct::RunDueTimer() {
  const auto timer = model_->NextTimer();
  if (timer && Clock::now() >= *timer && !quit_) {
    model_->OnTimer(*this);
    NoticeRestart();
  }
}

void SimulatedProduct::HandleBytes(std::span<const std::uint8_t> bytes, bool heard) {
  std::string echo;
  std::size_t next = 0;
  while (next < bytes.size()) {
    if (model_->InDataMode()) {
      Send(std::exchange(echo, std::string{}));
      const auto rest = bytes.subspan(next);
      if (!heard) {
        return;  // noise: nothing the model could make sense of
      }
      const std::size_t taken = model_->OnData(rest, *this);
      NoticeRestart();
      if (model_->WantsLine()) {
        HandOverLine(rest.subspan(std::min(taken, rest.size())));
        return;
      }
      next += model_->InDataMode() ? rest.size() : std::min(taken, rest.size());
      continue;
    }
    const std::uint8_t byte = bytes[next++];
    const auto event = assembler_.Feed(byte, EditCharacters(interpreter_.Current()));
    const bool listening = heard && model_->Listening();
    if (listening && interpreter_.Current().Echo() && LineAssembler::Echoed(event)) {
      echo.push_back(static_cast<char>(byte));
    }
    if (event == LineAssembler::Event::Completed || event == LineAssembler::Event::Repeat) {
      Send(std::exchange(echo, std::string{}));
      const bool repeat = event == LineAssembler::Event::Repeat;
      const std::string line = repeat ? std::string("A/") : assembler_.TakeLine();
      HandleLine(line, !repeat && assembler_.Overflowed(), repeat, heard);
    }
  }
  Send(echo);
}

void SimulatedProduct::HandleLine(const std::string& line, bool overflowed, bool repeat,
                                  bool heard) {
  const bool listening = heard && model_->Listening();
  if (!line.empty()) {
    Record({line, baudRate_, listening});
  }
  if (!heard) {
    return;
  }
  if (!listening) {
    model_->OnUnheardLine(line);
    return;
  }
  Answer(repeat ? interpreter_.Repeat() : interpreter_.Execute(line, overflowed));
}

void SimulatedProduct::Answer(const Reply& reply) {
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
    Send(text);
    return;
  }
  if (options_.resultPause.count() > 0 && !text.empty()) {
    Send(std::exchange(text, std::string{}));
    if (!SleepUntil(Clock::now() + options_.resultPause)) {
      return;
    }
  }
  text += FormatResult(*reply.result, settings);
  Send(text);
}

void SimulatedProduct::SendResult(ResultCode code) {
  Send(FormatResult(code, interpreter_.Current()));
}

void SimulatedProduct::Send(std::string_view text) {
  if (text.empty() || quit_) {
    return;
  }
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (options_.garbleEvery > 0) {
    for (std::uint8_t& byte : bytes) {
      if (++bytesSent_ % options_.garbleEvery == 0) {
        byte ^= 0x55U;
      }
    }
  }
  const std::span<const std::uint8_t> all(bytes);
  if (!options_.pace || baudRate_ == 0) {
    line_->Send(all);
    return;
  }
  // 10 bits per byte: start bit, 8 data bits, stop bit. Bytes go out in runs
  // of those that are due, so a fast line does not cost a wake-up per byte.
  const auto byteTime = std::chrono::nanoseconds(std::int64_t{10'000'000'000} / baudRate_);
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
