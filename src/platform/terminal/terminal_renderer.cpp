#include "platform/terminal/terminal_renderer.h"

#include <utility>

namespace norix::platform::terminal {

namespace W = window;

TerminalRenderer::TerminalRenderer(std::function<void()> wake) : wake_(std::move(wake)) {}

TerminalRenderer::~TerminalRenderer() = default;

W::ScreenMetrics TerminalRenderer::Metrics() { return {}; }

void TerminalRenderer::Queue(Change change) {
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(change));
  }
  if (wake_) {
    wake_();
  }
}

bool TerminalRenderer::Apply(TerminalUi& ui) {
  std::deque<Change> changes;
  {
    const std::lock_guard lock(mutex_);
    changes.swap(queue_);
  }
  for (Change& change : changes) {
    change(ui);
  }
  return !changes.empty();
}

void TerminalRenderer::WindowCreated(const W::WindowSnapshot& snapshot) {
  Queue([snapshot](TerminalUi& ui) { ui.WindowCreated(snapshot); });
}

void TerminalRenderer::WindowChanged(const W::WindowState& window, unsigned changes) {
  Queue([window, changes](TerminalUi& ui) { ui.WindowChanged(window, changes); });
}

void TerminalRenderer::ControlChanged(W::HWND window, const W::ControlState& control,
                                      unsigned changes) {
  Queue(
      [window, control, changes](TerminalUi& ui) { ui.ControlChanged(window, control, changes); });
}

void TerminalRenderer::WindowDestroyed(W::HWND window) {
  Queue([window](TerminalUi& ui) { ui.WindowDestroyed(window); });
}

void TerminalRenderer::ShowMessageBox(const W::MessageBoxRequest& request,
                                      W::MessageBoxAnswer answer) {
  Queue([request, answer = std::move(answer)](TerminalUi& ui) {
    ui.OpenMessageBox(request, answer);
  });
}

void TerminalRenderer::ShowOpenFileDialog(const W::FileDialogRequest& request,
                                          W::FileDialogAnswer answer) {
  Queue([request, answer = std::move(answer)](TerminalUi& ui) {
    ui.OpenFileDialog(request.dialog, answer);
  });
}

}  // namespace norix::platform::terminal
