#include "utilities/at_console.h"

#include <array>

#include "link/port_io.h"
#include "platform/comm/comm_types.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/page_kit.h"
#include "shell/page_messages.h"

namespace norix::utilities {

namespace W = platform::window;

namespace {

// Posted by the command entry when the user presses Enter in it; the key
// itself does not reach the entry.
constexpr W::UINT kCommandEntered = shell::kControlHover + 0x10;

constexpr std::array<shell::PageText, 3> kTexts{{
    {kConsoleIntroText, 2114},
    {kCommandLabel, 2109},
    {kReplyLabel, 2115},
}};
constexpr std::array<shell::PageText, 1> kButtons{{
    {kFactoryResetButton, 2026},
}};

void DiscardEverything(platform::comm::Port* port) {
  link::DiscardInput(port, platform::comm::kPurgeRxAbort);
  link::DiscardInput(port, platform::comm::kPurgeRxClear);
}

bool ResetToFactory(platform::comm::Port* port) {
  std::string reply;
  return link::SendAtCommand(port, kFactoryResetCommand, reply) == link::AtResult::Ok;
}

constexpr shell::PageDescription kDescription{
    .texts = kTexts, .buttons = kButtons, .escape = resources::kQuitPage};

class AtCommandPage final : public shell::Page {
 public:
  AtCommandPage(device::SelectedProduct& product, UtilityPagesState& state)
      : product_(product), state_(state) {}

  void OnReady() override {
    // The entry's Enter key sends the line; every other key stays the
    // entry's own.
    W::SetEditEnterMessage(Window(), kCommandEntry, kCommandEntered);
  }

  bool OnCommand(int id, unsigned code) override {
    if (code != W::BN_CLICKED) {
      return false;
    }
    switch (id) {
      case resources::kBackArrowId:
        GoTo(device::SettingsPageFor(product_.features));
        return true;
      case kFactoryResetButton:
        FactoryReset();
        return true;
      default:
        return false;
    }
  }

  bool OnMessage(W::UINT message, W::WPARAM /*wParam*/, W::LPARAM /*lParam*/) override {
    if (message != kCommandEntered) {
      return false;
    }
    const std::string command = W::GetDlgItemText(Window(), kCommandEntry);
    SendConsoleCommand(Port(), command, state_.consoleReply);
    W::SetDlgItemText(Window(), kCommandEntry, "");
    W::SetDlgItemText(Window(), kReplyText, state_.consoleReply);
    return true;
  }

 private:
  // "Default Setting": at most two attempts per press, the second only when
  // the user asks for it.
  void FactoryReset() {
    if (ResetToFactory(Port())) {
      Message(kResetDoneText, W::MB_ICONEXCLAMATION);
      return;
    }
    if (Message(kRetryResetText, W::MB_ICONQUESTION | W::MB_YESNO | W::MB_DEFBUTTON2) != W::IDYES) {
      return;
    }
    if (ResetToFactory(Port())) {
      Message(kResetDoneText, W::MB_ICONEXCLAMATION);
      return;
    }
    Message(kNoCommunicationText, W::MB_ICONEXCLAMATION);
    GoTo(resources::kMainMenuPage);
  }

  device::SelectedProduct& product_;
  UtilityPagesState& state_;
};

}  // namespace

void SendConsoleCommand(platform::comm::Port* port, std::string_view command, std::string& reply) {
  DiscardEverything(port);
  const std::uint32_t previous = link::SetReadTimeout(port, kConsoleReadConstant);
  static_cast<void>(link::SendAtCommand(port, command, reply));
  link::SetReadTimeout(port, previous);
  if (const auto cr = reply.rfind('\r'); cr != std::string::npos) {
    reply.resize(cr);
  }
  DiscardEverything(port);
}

void RegisterAtConsolePage(shell::PageTable& table, device::SelectedProduct& product,
                           UtilityPagesState& state) {
  shell::RegisterPage<AtCommandPage>(table, resources::kAtCommandPage, kDescription, product,
                                     state);
}

}  // namespace norix::utilities
