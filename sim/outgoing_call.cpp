#include "sim/outgoing_call.h"

#include <algorithm>

#include "sim/result_code.h"

namespace norix::sim {

namespace {

// `wait` at the options' call pace.
std::chrono::milliseconds CallTime(std::chrono::milliseconds wait, const ProductOptions& options) {
  return wait * options.callTimePercent / 100;
}

}  // namespace

void OutgoingCall::Dial(std::string_view dialString, const ModemSettings& settings) {
  Call call;
  call.due = Clock::now();
  call.dialToneWait = std::chrono::seconds(settings.Register(kDialToneWaitRegister));
  call.carrierWait = std::chrono::seconds(settings.Register(kCarrierWaitRegister));
  const unsigned level = settings.Option("X");
  call.detectsDialTone = level == 2 || level == 4;
  call.staysInCommandMode = dialString.ends_with(";");
  call_ = call;
}

std::optional<OutgoingCall::Clock::time_point> OutgoingCall::Due() const {
  return call_ ? std::optional(call_->due) : std::nullopt;
}

void OutgoingCall::OnTimer(ProductLink& link) {
  if (!call_ || Clock::now() < call_->due) {
    return;
  }
  Call& call = *call_;
  switch (call.phase) {
    case Call::Phase::OffHook: {
      const ProductOptions& line = link.Options();
      if (!line.dialTone && call.detectsDialTone) {
        call.phase = Call::Phase::NoDialTone;
        call.due = Clock::now() + CallTime(call.dialToneWait, line);
      } else if (call.staysInCommandMode) {
        call_.reset();
        link.SendResult(ResultCode::Ok);
      } else {
        // Without a working line only the product's own wait ends the call.
        auto wait = call.carrierWait;
        if (line.dialTone && line.lineDelay.count() > 0) {
          wait = std::min(wait, line.lineDelay);
        }
        call.phase = Call::Phase::WaitingForCarrier;
        call.due = Clock::now() + CallTime(wait, line);
      }
      return;
    }
    case Call::Phase::NoDialTone:
      call_.reset();
      link.SendResult(ResultCode::NoDialtone);
      return;
    case Call::Phase::WaitingForCarrier:
      call_.reset();
      link.SendResult(ResultCode::NoCarrier);
      return;
  }
}

std::size_t OutgoingCall::Abort(std::span<const std::uint8_t> bytes, ProductLink& link) {
  if (!call_ || bytes.empty()) {
    return 0;
  }
  call_.reset();
  link.SendResult(ResultCode::NoCarrier);
  return 1;
}

}  // namespace norix::sim
