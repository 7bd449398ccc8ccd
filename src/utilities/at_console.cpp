#include "utilities/at_console.h"

#include <array>

#include "link/port_io.h"
#include "platform/comm/comm_types.h"
#include "platform/window/control_api.h"
#include "platform/window/window_api.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"
#include "shell/page_messages.h"
#include "shell/program.h"
#include "utilities/settings_menus.h"

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

void SendEnteredCommand(W::HWND page, shell::Program& program) {
  const std::string command = W::GetDlgItemText(page, kCommandEntry);
  std::string& reply = program.utilityPages.consoleReply;
  SendConsoleCommand(program.context ? program.context->Port() : nullptr, command, reply);
  W::SetDlgItemText(page, kCommandEntry, "");
  W::SetDlgItemText(page, kReplyText, reply);
}

bool ResetToFactory(platform::comm::Port* port) {
  std::string reply;
  return link::SendAtCommand(port, kFactoryResetCommand, reply) == link::AtResult::Ok;
}

// "Default Setting": at most two attempts per press, the second only when
// the user asks for it.
void FactoryReset(W::HWND page, shell::Program& program) {
  platform::comm::Port* port = program.context ? program.context->Port() : nullptr;
  if (ResetToFactory(port)) {
    shell::ShowMessage(page, kResetDoneText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
    return;
  }
  const int answer = shell::ShowMessage(page, kRetryResetText, shell::kMessageCaptionText,
                                        W::MB_ICONQUESTION | W::MB_YESNO | W::MB_DEFBUTTON2);
  if (answer != W::IDYES) {
    return;
  }
  if (ResetToFactory(port)) {
    shell::ShowMessage(page, kResetDoneText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
    return;
  }
  shell::ShowMessage(page, kNoCommunicationText, shell::kMessageCaptionText, W::MB_ICONEXCLAMATION);
  shell::GoToPage(page, shell::kMainMenuPage);
}

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

W::LRESULT AtConsolePage(W::HWND page, W::UINT message, W::WPARAM wParam, W::LPARAM lParam) {
  if (const W::LRESULT handled = shell::HandleCommonPageMessage(page, message, wParam, lParam)) {
    return handled;
  }
  shell::Program* program = shell::FindProgram(page);
  if (program == nullptr) {
    return 0;
  }
  switch (message) {
    case W::WM_INITDIALOG:
      shell::InitPage(page, kTexts, kButtons);
      W::PostMessage(page, shell::kPageReady, 0, 0);
      return 1;
    case shell::kPageReady:
      // The entry's Enter key sends the line; every other key stays the
      // entry's own.
      W::SetEditEnterMessage(page, kCommandEntry, kCommandEntered);
      return 1;
    case kCommandEntered:
      SendEnteredCommand(page, *program);
      return 1;
    case W::WM_COMMAND:
      if (W::HIWORD(wParam) != W::BN_CLICKED) {
        return 0;
      }
      switch (static_cast<int>(W::LOWORD(wParam))) {
        case W::IDCANCEL:
          shell::GoToPage(page, shell::kQuitPage);
          return 1;
        case shell::kBackArrowId:
          shell::GoToPage(page, SettingsPageFor(program->features));
          return 1;
        case kFactoryResetButton:
          FactoryReset(page, *program);
          return 1;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

void RegisterAtConsolePage(shell::PageTable& table) {
  table.Register(kAtConsolePage, AtConsolePage);
}

}  // namespace norix::utilities
