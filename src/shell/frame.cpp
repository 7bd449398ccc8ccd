#include "shell/frame.h"

#include "platform/window/window_api.h"
#include "shell/page_kit.h"

namespace norix::shell {

namespace W = platform::window;

Frame* FindFrame(W::HWND window) {
  W::HWND dialog = W::GetParent(window);
  if (dialog == W::kNullHwnd) {
    dialog = window;
  }
  // A picker has no frame of its own: its owner's is the one.
  for (int depth = 0; depth < 8 && dialog != W::kNullHwnd; ++depth) {
    if (const OpenPage* open = FindOpenPage(dialog)) {
      return open->frame;
    }
    const auto state = W::GetWindowState(dialog);
    dialog = state ? state->owner : W::kNullHwnd;
  }
  return nullptr;
}

}  // namespace norix::shell
