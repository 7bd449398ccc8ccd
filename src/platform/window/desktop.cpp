#include "platform/window/desktop.h"

#include "platform/window/window.h"
#include "platform/window/window_handles.h"

namespace norix::platform::window {

Desktop::Desktop(Renderer& renderer, const TemplateRegistry& templates)
    : renderer_(renderer), templates_(templates), metrics_(renderer.Metrics()) {}

ScreenMetrics Desktop::Metrics() const {
  const std::lock_guard lock(mutex_);
  return metrics_;
}

std::vector<HWND> Desktop::Windows() const {
  std::vector<HWND> windows;
  for (const auto& window : OpenDialogs()) {
    if (&window->GetDesktop() == this) {
      windows.push_back(window->Handle());
    }
  }
  return windows;
}

void Desktop::DisplayChanged(const ScreenMetrics& metrics) {
  {
    const std::lock_guard lock(mutex_);
    metrics_ = metrics;
  }
  const auto size = MAKELPARAM(static_cast<unsigned>(metrics.screen.Width()),
                               static_cast<unsigned>(metrics.screen.Height()));
  for (const auto& window : OpenDialogs()) {
    if (&window->GetDesktop() == this) {
      window->Queue().Post(
          {window->Handle(), WM_DISPLAYCHANGE, static_cast<WPARAM>(metrics.bitsPerPixel), size});
    }
  }
}

}  // namespace norix::platform::window
