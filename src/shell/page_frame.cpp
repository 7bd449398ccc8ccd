#include "shell/page_frame.h"

#include "platform/window/control_api.h"
#include "platform/window/desktop.h"
#include "platform/window/dialog_box.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "platform/window/window_api.h"
#include "shell/program.h"

namespace norix::shell {

namespace W = platform::window;

void InitPage(W::HWND page, std::span<const PageText> texts, std::span<const PageText> buttons) {
  Program* program = FindProgram(page);
  W::Desktop* desktop = W::GetWindowDesktop(page);
  if (program == nullptr || desktop == nullptr) {
    return;
  }
  const W::Rect rect = W::GetWindowRect(page);
  const W::Point place =
      program->navigator.PlacePage(page, {rect.Width(), rect.Height()}, desktop->ScreenRect());
  W::SetWindowPosition(page, place);
  W::SetForegroundWindow(page);
  W::ShowWindow(page, W::SW_SHOWNORMAL);

  SetWindowTextById(page, kPageCaptionText);
  W::SetControlFont(page, kHeaderId, HeaderFont());
  W::SetDlgItemText(page, kHeaderId, program->context ? program->context->productName : "");
  for (const PageText& text : texts) {
    if (text.control == -1) {
      break;
    }
    SetItemText(page, text.control, text.text);
  }
  if (!buttons.empty()) {
    MakeBigButtons(page, buttons);
  }
  W::SetWaitCursor(page, false);
}

W::LRESULT HandleCommonPageMessage(W::HWND page, W::UINT message, W::WPARAM wParam,
                                   W::LPARAM lParam) {
  const Program* program = FindProgram(page);
  if (program == nullptr) {
    return 0;
  }
  const W::ThreadId mainThread = program->navigator.MainThread();
  switch (message) {
    case kPageReady:
      W::PostThreadMessage(mainThread, kNewPageUp, W::HwndToWParam(page), 0);
      return 0;
    case kClosePage:
      W::EndDialog(page, 0);
      return 1;
    case W::WM_DISPLAYCHANGE:
      if (program->navigator.CurrentWindow() == page) {
        W::PostThreadMessage(mainThread, kDisplayChanged, wParam, lParam);
      }
      return 1;
    case W::WM_COMMAND:
      return ShowArrowFocus(page, static_cast<int>(W::LOWORD(wParam)), W::HIWORD(wParam));
    default:
      return 0;
  }
}

std::string LoadPageText(const Program& program, int textId) {
  return program.texts.LoadText(textId, kTextBufferChars);
}

int ShowMessage(Program& program, W::HWND owner, int textId, int captionId, W::UINT style) {
  W::Desktop* desktop = owner != W::kNullHwnd ? W::GetWindowDesktop(owner) : program.desktop;
  if (desktop == nullptr) {
    return 0;
  }
  const std::string text = program.texts.LoadText(textId, kMessageTextChars);
  const std::string caption = program.texts.LoadText(captionId, kMessageCaptionChars);
  return W::MessageBox(*desktop, owner, text, caption, style | W::MB_TASKMODAL);
}

int ShowMessage(W::HWND owner, int textId, int captionId, W::UINT style) {
  Program* program = FindProgram(owner);
  return program == nullptr ? 0 : ShowMessage(*program, owner, textId, captionId, style);
}

bool SetItemText(W::HWND page, int control, int textId) {
  const Program* program = FindProgram(page);
  return program != nullptr && W::SetDlgItemText(page, control, LoadPageText(*program, textId));
}

W::LRESULT SendItemText(W::HWND page, int control, W::UINT message, int textId) {
  const Program* program = FindProgram(page);
  if (program == nullptr) {
    return W::CB_ERR;
  }
  return W::SendDlgItemText(page, control, message, 0, LoadPageText(*program, textId));
}

bool SetWindowTextById(W::HWND window, int textId) {
  const Program* program = FindProgram(window);
  return program != nullptr && W::SetWindowText(window, LoadPageText(*program, textId));
}

}  // namespace norix::shell
