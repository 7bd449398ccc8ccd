#include "shell/program.h"

#include "platform/window/window_api.h"

namespace norix::shell {

namespace W = platform::window;

Program* FindProgram(W::HWND window) {
  W::HWND dialog = W::GetParent(window);
  if (dialog == W::kNullHwnd) {
    dialog = window;
  }
  // A picker has no program of its own: its owner's is the one.
  for (int depth = 0; depth < 8 && dialog != W::kNullHwnd; ++depth) {
    if (void* data = W::GetWindowUserData(dialog)) {
      return static_cast<Program*>(data);
    }
    const auto state = W::GetWindowState(dialog);
    dialog = state ? state->owner : W::kNullHwnd;
  }
  return nullptr;
}

void AttachProgram(W::HWND page, Program& program) { W::SetWindowUserData(page, &program); }

}  // namespace norix::shell
