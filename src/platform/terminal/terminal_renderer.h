// The dialog manager's renderer for the terminal front end. The model calls
// it from any thread, with a window's lock held; each call copies what
// changed into a queue and wakes the front end's thread (the process main
// thread), which applies the queued changes to its TerminalUi in the order
// the model made them. Nothing here blocks or touches the terminal.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "platform/terminal/terminal_ui.h"
#include "platform/window/renderer.h"

namespace norix::platform::terminal {

class TerminalRenderer final : public window::Renderer {
 public:
  // `wake` is called after each queued change, from the changing thread; it
  // must return at once (it writes to a pipe, say).
  explicit TerminalRenderer(std::function<void()> wake);
  TerminalRenderer(const TerminalRenderer&) = delete;
  TerminalRenderer& operator=(const TerminalRenderer&) = delete;
  TerminalRenderer(TerminalRenderer&&) = delete;
  TerminalRenderer& operator=(TerminalRenderer&&) = delete;
  // Changes still queued are dropped: boxes among them are answered 0 /
  // cancelled.
  ~TerminalRenderer() override;

  // --- window::Renderer (any thread, never blocks) -------------------------
  // A terminal has no pixels: the metrics are the dialog manager's defaults,
  // and a resized terminal only redraws (the pages keep their state).
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

  // --- The front end's thread ----------------------------------------------
  // Applies the queued changes to `ui`, oldest first; false when there were
  // none.
  bool Apply(TerminalUi& ui);

 private:
  using Change = std::function<void(TerminalUi&)>;
  void Queue(Change change);

  const std::function<void()> wake_;
  std::mutex mutex_;
  std::deque<Change> queue_;
};

}  // namespace norix::platform::terminal
