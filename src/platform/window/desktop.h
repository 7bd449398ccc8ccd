// The desktop of one program: its renderer, its dialog templates, the screen
// metrics, and the message the renderer posts when the pointer enters a
// control. Dialogs are made on a desktop (DialogBox) and keep a reference to
// it, so it must outlive every dialog thread that uses it.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/window/geometry.h"
#include "platform/window/messages.h"
#include "platform/window/renderer.h"
#include "platform/window/template_registry.h"

namespace norix::platform::window {

class Desktop {
 public:
  // Reads the renderer's metrics once; DisplayChanged updates them.
  Desktop(Renderer& renderer, const TemplateRegistry& templates);
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;
  Desktop(Desktop&&) = delete;
  Desktop& operator=(Desktop&&) = delete;
  ~Desktop() = default;

  [[nodiscard]] Renderer& GetRenderer() const { return renderer_; }
  [[nodiscard]] const TemplateRegistry& Templates() const { return templates_; }

  [[nodiscard]] ScreenMetrics Metrics() const;
  [[nodiscard]] Rect ScreenRect() const { return Metrics().screen; }

  // The message that UserHover posts to a dialog (wParam the control's
  // handle, lParam its id); 0, the default, posts nothing.
  void SetHoverMessage(UINT message) { hoverMessage_.store(message); }
  [[nodiscard]] UINT HoverMessage() const { return hoverMessage_.load(); }

  // The dialogs open on this desktop, oldest first.
  [[nodiscard]] std::vector<HWND> Windows() const;

  // The renderer reports a new screen geometry: the metrics change and every
  // open dialog gets WM_DISPLAYCHANGE (wParam bits per pixel, lParam width |
  // height << 16). Dialogs already open keep their size.
  void DisplayChanged(const ScreenMetrics& metrics);

 private:
  Renderer& renderer_;
  const TemplateRegistry& templates_;
  mutable std::mutex mutex_;
  ScreenMetrics metrics_;
  std::atomic<UINT> hoverMessage_{0};
};

}  // namespace norix::platform::window
