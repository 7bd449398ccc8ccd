// The headless host with a front end beside it: the host records every
// change of the model, so that the session's waits work as ever, and a
// renderer under test is told the same changes to draw them. Message boxes
// and file dialogs stay with the host, where the tests answer them.
#pragma once

#include <utility>

#include "platform/window/headless_host.h"
#include "platform/window/renderer.h"

namespace norix::testing {

class MirroredHost final : public platform::window::Renderer {
 public:
  explicit MirroredHost(platform::window::HeadlessHost& host) : host_(host) {}

  // Before any dialog is made; the mirror must outlive every dialog.
  void SetMirror(platform::window::Renderer* mirror) { mirror_ = mirror; }

  platform::window::ScreenMetrics Metrics() override { return host_.Metrics(); }
  void WindowCreated(const platform::window::WindowSnapshot& snapshot) override {
    host_.WindowCreated(snapshot);
    if (mirror_ != nullptr) {
      mirror_->WindowCreated(snapshot);
    }
  }
  void WindowChanged(const platform::window::WindowState& window, unsigned changes) override {
    host_.WindowChanged(window, changes);
    if (mirror_ != nullptr) {
      mirror_->WindowChanged(window, changes);
    }
  }
  void ControlChanged(platform::window::HWND window, const platform::window::ControlState& control,
                      unsigned changes) override {
    host_.ControlChanged(window, control, changes);
    if (mirror_ != nullptr) {
      mirror_->ControlChanged(window, control, changes);
    }
  }
  void WindowDestroyed(platform::window::HWND window) override {
    host_.WindowDestroyed(window);
    if (mirror_ != nullptr) {
      mirror_->WindowDestroyed(window);
    }
  }
  void ShowMessageBox(const platform::window::MessageBoxRequest& request,
                      platform::window::MessageBoxAnswer answer) override {
    host_.ShowMessageBox(request, std::move(answer));
  }
  void ShowOpenFileDialog(const platform::window::FileDialogRequest& request,
                          platform::window::FileDialogAnswer answer) override {
    host_.ShowOpenFileDialog(request, std::move(answer));
  }

 private:
  platform::window::HeadlessHost& host_;
  platform::window::Renderer* mirror_ = nullptr;
};

}  // namespace norix::testing
