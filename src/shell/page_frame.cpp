#include "shell/page_frame.h"

#include "platform/window/control_api.h"
#include "platform/window/desktop.h"
#include "platform/window/dialog_box.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "platform/window/window_api.h"
#include "shell/frame.h"

namespace norix::shell {

namespace W = platform::window;

bool PlacePage(W::HWND page) {
  Frame* frame = FindFrame(page);
  W::Desktop* desktop = W::GetWindowDesktop(page);
  if (frame == nullptr || desktop == nullptr) {
    return false;
  }
  const W::Rect rect = W::GetWindowRect(page);
  const W::Point place =
      frame->navigator.PlacePage(page, {rect.Width(), rect.Height()}, desktop->ScreenRect());
  W::SetWindowPosition(page, place);
  W::SetForegroundWindow(page);
  W::ShowWindow(page, W::SW_SHOWNORMAL);
  return true;
}

void InitPage(W::HWND page, std::span<const PageText> texts, std::span<const PageText> buttons) {
  if (!PlacePage(page)) {
    return;
  }
  const Frame& frame = *FindFrame(page);
  SetWindowTextById(page, kPageCaptionText);
  W::SetControlFont(page, resources::kHeaderId, HeaderFont());
  W::SetDlgItemText(page, resources::kHeaderId, frame.context ? frame.context->productName : "");
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
  const Frame* frame = FindFrame(page);
  if (frame == nullptr) {
    return 0;
  }
  const W::ThreadId mainThread = frame->navigator.MainThread();
  switch (message) {
    case kPageReady:
      W::PostThreadMessage(mainThread, kNewPageUp, W::HwndToWParam(page), 0);
      return 0;
    case kClosePage:
      W::EndDialog(page, 0);
      return 1;
    case W::WM_DISPLAYCHANGE:
      if (frame->navigator.CurrentWindow() == page) {
        W::PostThreadMessage(mainThread, kDisplayChanged, wParam, lParam);
      }
      return 1;
    case W::WM_COMMAND:
      return ShowArrowFocus(page, static_cast<int>(W::LOWORD(wParam)), W::HIWORD(wParam));
    default:
      return 0;
  }
}

std::string LoadPageText(const Frame& frame, int textId) {
  return frame.texts.LoadText(textId, kTextBufferChars);
}

int ShowMessage(Frame& frame, W::HWND owner, int textId, int captionId, W::UINT style) {
  W::Desktop* desktop = owner != W::kNullHwnd ? W::GetWindowDesktop(owner) : frame.desktop;
  if (desktop == nullptr) {
    return 0;
  }
  const std::string text = frame.texts.LoadText(textId, kMessageTextChars);
  const std::string caption = frame.texts.LoadText(captionId, kMessageCaptionChars);
  return W::MessageBox(*desktop, owner, text, caption, style | W::MB_TASKMODAL);
}

int ShowMessage(W::HWND owner, int textId, int captionId, W::UINT style) {
  Frame* frame = FindFrame(owner);
  return frame == nullptr ? 0 : ShowMessage(*frame, owner, textId, captionId, style);
}

bool SetItemText(W::HWND page, int control, int textId) {
  const Frame* frame = FindFrame(page);
  return frame != nullptr && W::SetDlgItemText(page, control, LoadPageText(*frame, textId));
}

W::LRESULT SendItemText(W::HWND page, int control, W::UINT message, int textId) {
  const Frame* frame = FindFrame(page);
  if (frame == nullptr) {
    return W::CB_ERR;
  }
  return W::SendDlgItemText(page, control, message, 0, LoadPageText(*frame, textId));
}

bool SetWindowTextById(W::HWND window, int textId) {
  const Frame* frame = FindFrame(window);
  return frame != nullptr && W::SetWindowText(window, LoadPageText(*frame, textId));
}

}  // namespace norix::shell
