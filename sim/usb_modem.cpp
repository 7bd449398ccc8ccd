#include "sim/usb_modem.h"

#include <utility>

#include "sim/model_decorator.h"

namespace norix::sim {
namespace {

class UsbModem final : public ModelDecorator {
 public:
  explicit UsbModem(AnalogueModemData data) : ModelDecorator(MakeAnalogueModem(std::move(data))) {}

  [[nodiscard]] bool AnswersAt(std::uint32_t) const override { return true; }
};

}  // namespace

std::unique_ptr<Model> MakeUsbModem(AnalogueModemData data) {
  return std::make_unique<UsbModem>(std::move(data));
}

}  // namespace norix::sim
