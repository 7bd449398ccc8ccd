#include "sim/pc_card_modem.h"

#include <optional>
#include <string_view>
#include <utility>

#include "sim/model_decorator.h"

namespace norix::sim {
namespace {

using Clock = std::chrono::steady_clock;

class PcCardModem final : public ModelDecorator {
 public:
  PcCardModem(AnalogueModemData data, PcCardSleep sleep)
      : ModelDecorator(MakeAnalogueModem(std::move(data))),
        sleep_(sleep),
        awake_(sleep.ignoredLines == 0) {}

  // The product asks this whenever bytes arrive at a speed the card answers
  // at, so each call is activity: the card first notices how long the host
  // has been quiet, then whether it is awake.
  [[nodiscard]] bool Listening() const override {
    const auto now = Clock::now();
    if (awake_ && sleep_.ignoredLines > 0 && sleep_.sleepAfter.count() > 0 && lastActivity_ &&
        now - *lastActivity_ >= sleep_.sleepAfter) {
      awake_ = false;
      ignored_ = 0;
    }
    lastActivity_ = now;
    return awake_ && Inner().Listening();
  }

  void OnUnheardLine(std::string_view line) override {
    if (awake_) {
      Inner().OnUnheardLine(line);
      return;
    }
    if (++ignored_ >= sleep_.ignoredLines) {
      awake_ = true;
    }
  }

 private:
  const PcCardSleep sleep_;
  // Changed from Listening(), which the product calls on its own thread only.
  mutable bool awake_;
  mutable std::size_t ignored_ = 0;
  mutable std::optional<Clock::time_point> lastActivity_;
};

}  // namespace

std::unique_ptr<Model> MakePcCardModem(AnalogueModemData data, PcCardSleep sleep) {
  return std::make_unique<PcCardModem>(std::move(data), sleep);
}

}  // namespace norix::sim
