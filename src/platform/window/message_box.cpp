#include "platform/window/message_box.h"

#include <memory>
#include <utility>

#include "platform/window/desktop.h"
#include "platform/window/thread_queue.h"
#include "platform/window/window.h"
#include "platform/window/window_api.h"

namespace norix::platform::window {

std::vector<int> MessageBoxButtons(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_OK:
      return {IDOK};
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {};
  }
}

int MessageBoxDefaultButton(UINT style) {
  const std::vector<int> buttons = MessageBoxButtons(style);
  if (buttons.empty()) {
    return 0;
  }
  const std::size_t wanted = (style & MB_DEFMASK) >> 8U;
  return wanted < buttons.size() ? buttons[wanted] : buttons.front();
}

int MessageBox(Desktop& desktop, HWND owner, std::string_view text, std::string_view caption,
               UINT style) {
  std::vector<int> buttons = MessageBoxButtons(style);
  if (buttons.empty()) {
    return 0;
  }
  const auto queue = CurrentThreadQueue();
  auto completion = std::make_shared<Completion>(queue);
  MessageBoxRequest request;
  request.owner = owner;
  request.thread = queue->Id();
  request.text = text;
  request.caption = caption;
  request.style = style;
  request.buttons = buttons;
  request.defaultButton = MessageBoxDefaultButton(style);
  request.taskModal = (style & MB_MODEMASK) != MB_APPLMODAL;
  const DisabledOwner disabledOwner(owner);
  desktop.GetRenderer().ShowMessageBox(request, MessageBoxAnswer(completion, std::move(buttons)));
  queue->WaitFor(*completion);
  return static_cast<int>(completion->Value());
}

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
  Desktop* const desktop = GetWindowDesktop(owner);
  return desktop != nullptr ? MessageBox(*desktop, owner, text, caption, style) : 0;
}

std::optional<std::string> GetOpenFileName(Desktop& desktop, const OpenFileName& request) {
  const auto queue = CurrentThreadQueue();
  auto completion = std::make_shared<Completion>(queue);
  std::optional<std::string> path;
  {
    const DisabledOwner disabledOwner(request.owner);
    desktop.GetRenderer().ShowOpenFileDialog({request, queue->Id()}, FileDialogAnswer(completion));
    queue->WaitFor(*completion);
    path = completion->Text();
  }
  if (!path) {
    return std::nullopt;
  }
  return AddDefaultExtension(std::move(*path), request.defaultExtension);
}

std::optional<std::string> GetOpenFileName(const OpenFileName& request) {
  Desktop* const desktop = GetWindowDesktop(request.owner);
  return desktop != nullptr ? GetOpenFileName(*desktop, request) : std::nullopt;
}

std::string AddDefaultExtension(std::string path, std::string_view extension) {
  while (!extension.empty() && extension.front() == '.') {
    extension.remove_prefix(1);
  }
  if (extension.empty() || path.empty()) {
    return path;
  }
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (nameStart == path.size()) {
    return path;  // a folder, not a file name
  }
  if (path.find('.', nameStart) == std::string::npos) {
    path += '.';
    path += extension;
  }
  return path;
}

}  // namespace norix::platform::window
