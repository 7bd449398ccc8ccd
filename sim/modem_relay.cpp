#include "sim/modem_relay.h"

#include <utility>

#include "sim/result_code.h"

namespace norix::sim {

ModemRelay::ModemRelay(AnalogueModemData data)
    : model_(MakeAnalogueModemPart(std::move(data))),
      interpreter_(model_->FactorySettings(), model_->ProfileCount()) {
  model_->AddCommands(interpreter_.Commands());
}

void ModemRelay::NoticeRestart() {
  if (model_->TakeReprogrammed()) {
    interpreter_.ResetToFactory();
  }
}

std::string ModemRelay::Run(std::string_view line) {
  NoticeRestart();
  if (model_->BootActive()) {
    // The boot firmware echoes and answers in its own way.
    return std::string(line) + "\r" + model_->BootAnswer(line);
  }
  std::string out;
  // The echo goes out as the characters come, under the settings before the line.
  if (interpreter_.Current().Echo()) {
    out.append(line);
    out.push_back(static_cast<char>(interpreter_.Current().Register(kCrRegister)));
  }
  const Reply reply = interpreter_.Execute(line);
  const ModemSettings& settings = interpreter_.Current();
  for (const std::string& info : reply.information) {
    out += FormatInformation(info, settings);
  }
  if (reply.result) {
    out += FormatResult(*reply.result, settings);
  }
  return out;
}

}  // namespace norix::sim
