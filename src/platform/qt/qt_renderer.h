// The Qt 6 Widgets renderer of the dialog manager: one fixed-size top-level
// widget per dialog, its controls as child widgets, message boxes and the
// open-file dialog as Qt dialogs.
//
// The model calls the Renderer functions from any thread with a window lock
// held; each copies what changed and queues it to the GUI thread (the thread
// that made the renderer), so none of them blocks or touches a widget. User
// input on the widgets goes back to the model through user_input.h, on the
// GUI thread; the model's answer (a refused edit, a radio clearing its
// neighbours) comes back as ordinary change notifications.
#pragma once

#include <QImage>
#include <QPointer>
#include <QSize>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/window/renderer.h"

class QObject;
class QScreen;
class QWidget;

namespace norix::platform::window {
class Desktop;
}

namespace norix::platform::qt {

class PageWidget;

// Draws picture resource `id` at `size` pixels; a null image when there is
// no such picture. Called on the GUI thread.
using PictureSource = std::function<QImage(int id, QSize size)>;

// The text key under which a picture may say what it shows: a reader of the
// screen announces it for a picture button without a text of its own.
inline constexpr const char* kPictureDescriptionKey = "Description";

class QtRenderer final : public window::Renderer {
 public:
  // Needs the QApplication; call on its (GUI) thread. Measures the screen
  // and the dialog base units of the application's default font.
  explicit QtRenderer(PictureSource pictures);
  QtRenderer(const QtRenderer&) = delete;
  QtRenderer& operator=(const QtRenderer&) = delete;
  QtRenderer(QtRenderer&&) = delete;
  QtRenderer& operator=(QtRenderer&&) = delete;
  // GUI thread. Closes every widget still open; boxes still open are
  // answered 0 / cancelled.
  ~QtRenderer() override;

  // --- window::Renderer (any thread, never blocks) ---------------------------
  window::ScreenMetrics Metrics() override;
  void WindowCreated(const window::WindowSnapshot& snapshot) override;
  void WindowChanged(const window::WindowState& window, unsigned changes) override;
  void ControlChanged(window::HWND window, const window::ControlState& control,
                      unsigned changes) override;
  void WindowDestroyed(window::HWND window) override;
  void ShowMessageBox(const window::MessageBoxRequest& request,
                      window::MessageBoxAnswer answer) override;
  void ShowOpenFileDialog(const window::FileDialogRequest& request,
                          window::FileDialogAnswer answer) override;

  // --- GUI thread -------------------------------------------------------------

  // The desktop told of screen geometry changes (Desktop::DisplayChanged);
  // null for none. The desktop must outlive the renderer or be detached.
  void AttachDesktop(window::Desktop* desktop);

  // The widget showing a dialog; null when there is none (yet).
  [[nodiscard]] QWidget* DialogWidget(window::HWND dialog) const;
  // The widget of control `id` of a dialog; null when there is none.
  [[nodiscard]] QWidget* ControlWidget(window::HWND dialog, int id) const;

  // Measures the screen again and tells the attached desktop (the screen
  // geometry change handler; public so that it can be triggered directly).
  void ScreenChanged();

 private:
  // Runs `apply` on the GUI thread, later, in the order of the calls.
  void Queue(std::function<void()> apply);
  [[nodiscard]] window::ScreenMetrics Measure() const;
  void WatchScreen(QScreen* screen);

  PictureSource pictures_;
  std::unique_ptr<QObject> gui_;  // lives on the GUI thread; receives the queued changes
  std::map<window::HWND, QPointer<PageWidget>> pages_;  // GUI thread only
  std::vector<QPointer<QWidget>> boxes_;                // open message boxes and file dialogs
  window::Desktop* desktop_ = nullptr;                  // GUI thread only

  mutable std::mutex metricsMutex_;
  window::ScreenMetrics metrics_;
};

}  // namespace norix::platform::qt
