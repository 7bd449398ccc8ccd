#include "isdn/setting_writes.h"

#include "device/msn_exchange.h"
#include "platform/window/message_box.h"
#include "platform/window/window_api.h"
#include "shell/page_messages.h"

namespace norix::isdn {

namespace W = platform::window;

std::optional<WriteFailure> SendSettingWrites(platform::comm::Port* port,
                                              std::span<const SettingWrite> writes) {
  for (std::size_t i = 0; i < writes.size(); ++i) {
    std::string reply;
    const link::AtResult result = device::SendSettingCommand(port, writes[i].command, reply);
    if (result != link::AtResult::Ok) {
      return WriteFailure{i, result};
    }
  }
  return std::nullopt;
}

std::string FillText(std::string_view text, std::string_view argument) {
  std::string out;
  out.reserve(text.size() + argument.size());
  bool filled = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (text[i + 1] == 's' && !filled) {
        out += argument;
        filled = true;
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string TextWith(const shell::Frame& frame, int textId, std::string_view argument) {
  return FillText(frame.texts.LoadText(textId, shell::kMessageTextChars), argument);
}

int ShowText(shell::Frame& frame, W::HWND page, const std::string& text) {
  W::Desktop* desktop = W::GetWindowDesktop(page);
  if (desktop == nullptr) {
    return 0;
  }
  const std::string caption =
      frame.texts.LoadText(shell::kMessageCaptionText, shell::kMessageCaptionChars);
  return W::MessageBox(*desktop, page, text, caption, W::MB_ICONEXCLAMATION | W::MB_TASKMODAL);
}

void ShowWriteFailure(shell::Frame& frame, W::HWND page, const SettingWrite& write,
                      link::AtResult result) {
  const int textId = result == link::AtResult::NoReply ? kWriteUnansweredText : kWriteRefusedText;
  ShowText(frame, page, TextWith(frame, textId, write.name));
}

std::string MsnName(std::size_t row) { return "MSN#" + std::to_string(row + 1); }

}  // namespace norix::isdn
