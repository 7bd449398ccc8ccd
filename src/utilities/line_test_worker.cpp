#include "utilities/line_test_worker.h"

#include <memory>
#include <string>
#include <utility>

#include "link/at_exchange.h"
#include "link/port_io.h"
#include "platform/comm/comm_types.h"
#include "platform/window/window_api.h"

namespace norix::utilities {

namespace {

using namespace std::chrono_literals;

constexpr auto kDialListenTime = 5000ms;  // the user hears the dial tone meanwhile
constexpr auto kAfterAnswerPause = 100ms;
constexpr auto kBeforeRestorePause = 1000ms;
constexpr std::uint32_t kAnswerReadConstant = 1000;
constexpr int kExtraAnswerReads = 40;  // about 41 s in all for the final answer
constexpr char kLoudVolume = '8';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Dials, lets the user listen, ends the call attempt and classifies the
// product's final answer.
std::uint16_t DialAndListen(platform::comm::Port* port, const LineTestProduct& product,
                            shell::StopSignal& stop, LineTestClock& clock) {
  static_cast<void>(link::WriteLine(port, DialCommand(product)));
  static_cast<void>(clock.Pause(stop, kDialListenTime));
  // Any byte ends the call attempt; the product then gives its final answer.
  static_cast<void>(link::WriteText(port, "\n"));

  std::string answer;
  std::size_t count = link::ReadLine(port, answer);
  for (int more = 0; count == 0 && more < kExtraAnswerReads && !stop.Requested(); ++more) {
    count = link::ReadLine(port, answer);
  }
  static_cast<void>(clock.Pause(stop, kAfterAnswerPause));
  const std::uint16_t outcome = count == 0 ? kLineUndetermined : ClassifyDialAnswer(answer);
  static_cast<void>(clock.Pause(stop, kBeforeRestorePause));

  return outcome;
}

}  // namespace

std::uint16_t RunLineTest(platform::comm::Port* port, const LineTestProduct& product,
                          shell::StopSignal& stop, LineTestClock& clock) {
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  std::string reply;
  static_cast<void>(link::SendAtCommand(port, "AT*K0", reply));
  if (link::SendAtCommand(port, LineTestSetupCommand(product), reply) != link::AtResult::Ok) {
    return kLineUndetermined;
  }

  // Turn the loudspeaker up so that the user hears the line, remembering
  // the volume to put it back (a digit, as the products report it).
  char volume = 0;
  std::string volumeReply;
  if (link::SendAtCommand(port, VolumeQuery(product), volumeReply) == link::AtResult::Ok) {
    if (!volumeReply.empty() && IsDigit(volumeReply[0])) {
      volume = volumeReply[0];
    }
    static_cast<void>(link::SendAtCommand(port, VolumeSetting(product, kLoudVolume), reply));
  }

  // A test stopped before it dials does not dial: the product is only put
  // back as it was.
  std::uint16_t outcome = kLineUndetermined;
  const std::uint32_t previousRead = link::SetReadTimeout(port, kAnswerReadConstant);
  if (!stop.Requested()) {
    outcome = DialAndListen(port, product, stop, clock);
  }
  if (link::SendAtCommand(port, VolumeQuery(product), reply) == link::AtResult::Ok && volume != 0) {
    static_cast<void>(link::SendAtCommand(port, VolumeSetting(product, volume), reply));
  }
  if (HangsUpAfterTest(product)) {
    static_cast<void>(link::SendAtCommand(port, "ATH", reply));
  }
  static_cast<void>(link::SendAtCommand(port, "AT&F", reply));
  link::SetReadTimeout(port, previousRead);
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
  return outcome;
}

LineTestWorker::~LineTestWorker() { Stop(); }

bool LineTestWorker::Start(platform::comm::Port* port, const LineTestProduct& product,
                           platform::window::HWND page, platform::window::UINT message,
                           std::shared_ptr<LineTestClock> clock) {
  // An outcome that cannot be had (the work threw) is undetermined.
  const shell::EndMessage undetermined{message, platform::window::MAKEWPARAM(kLineUndetermined, 0),
                                       0};
  if (!clock) {
    clock = std::make_shared<LineTestClock>();
  }
  return worker_.Start(
      page,
      [port, product, message, clock = std::move(clock)](shell::StopSignal& stop) {
        const std::uint16_t outcome = RunLineTest(port, product, stop, *clock);
        return shell::EndMessage{message, platform::window::MAKEWPARAM(outcome, 0), 0};
      },
      undetermined);
}

void LineTestWorker::Join() { worker_.Wait(); }

void LineTestWorker::Stop() { worker_.Stop(); }

}  // namespace norix::utilities
