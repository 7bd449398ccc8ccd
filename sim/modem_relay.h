// The modem part of an ISDN adapter with an internal modem. The host reaches
// it through the adapter's relay command: the adapter takes "AT!M<line>",
// reports "Modem command: <line>", ends its own answer with OK and then
// passes on what the modem part sends for <line>. With echo on in both parts:
//
//   "AT!MATI3\r"                                the adapter's echo
//   "\r\nModem command: ATI3\r\n" "\r\nOK\r\n"  the adapter's answer
//   "ATI3\r"                                    the modem part's echo
//   "\r\nNORIX solano 1280mi Modem V1.30\r\n" "\r\nOK\r\n"
//
// The modem part keeps settings of its own: "AT!MATE0" turns off its echo,
// not the adapter's. A modem part whose firmware does not run (rescue mode)
// answers through its boot firmware (modem_loader.h); the adapter reaches
// that for an upgrade of the part through Part().
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sim/analogue_modem.h"
#include "sim/command_interpreter.h"
#include "sim/model.h"
#include "sim/product_link.h"
#include "sim/product_options.h"

namespace norix::sim {

class ModemRelay {
 public:
  explicit ModemRelay(AnalogueModemData data);

  // Runs one command line (without its CR) on the modem part and returns the
  // bytes the modem part sends for it: its echo and its framed answer.
  [[nodiscard]] std::string Run(std::string_view line);

  // Runs one command line on the modem part and returns its answer without
  // echo or framing: for an adapter that answers the modem part's own
  // commands ("#REV", "#VOL") itself.
  [[nodiscard]] Reply Ask(std::string_view line) {
    NoticeRestart();
    if (model_->BootActive()) {
      return {{}, ResultCode::Error};
    }
    return interpreter_.Execute(line);
  }

  // The product's options, for the faults of the modem part's own commands.
  void ApplyOptions(const ProductOptions& options) { model_->ApplyOptions(options); }

  // The modem part's own clock (a relayed dial waits for its carrier, an
  // upgrade of the part takes its time).
  [[nodiscard]] std::optional<std::chrono::steady_clock::time_point> NextTimer() const {
    return model_->NextTimer();
  }
  void OnTimer(ProductLink& link) { model_->OnTimer(link); }

  [[nodiscard]] AnalogueModemPart& Part() { return *model_; }
  [[nodiscard]] const AnalogueModemPart& Part() const { return *model_; }

 private:
  // A part restarted into new firmware starts with its factory settings.
  void NoticeRestart();

  std::unique_ptr<AnalogueModemPart> model_;
  CommandInterpreter interpreter_;
};

}  // namespace norix::sim
