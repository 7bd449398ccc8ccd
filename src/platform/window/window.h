// The model of one open dialog: its state and its controls' states behind one
// lock. Every change goes through Edit(), which tells the renderer what
// changed and posts the notifications the change causes, in order, before
// the lock is released. Used by the calls of window_api.h, control_api.h,
// dialog_box.h and user_input.h; page code uses those calls, not this class.
#pragma once

#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/window/control_state.h"
#include "platform/window/desktop.h"
#include "platform/window/dialog_template.h"
#include "platform/window/messages.h"
#include "platform/window/thread_queue.h"

namespace norix::platform::window {

class Window {
 public:
  // What an edit function may change. Changes are reported to the renderer
  // and messages posted when the edit function returns.
  class Access {
   public:
    Access(WindowState& w, std::vector<ControlState>& c) : window(w), controls(c) {}

    WindowState& window;
    std::vector<ControlState>& controls;

    void ControlChanged(int index, unsigned changes);
    void WindowChanged(unsigned changes) { windowChanges_ |= changes; }
    // Posts WM_COMMAND (control id, code) with the control's handle.
    void Notify(int index, UINT code);
    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    // Moves the keyboard focus (index -1: nowhere) and posts the focus
    // notifications of the two controls.
    void MoveFocus(int index);
    [[nodiscard]] int FocusIndex() const;
    [[nodiscard]] int IndexOf(int id) const;

   private:
    friend class Window;
    std::vector<unsigned> controlChanges_;
    unsigned windowChanges_ = 0;
    std::vector<Message> posts_;
  };

  // Makes the dialog from its template, gives it and its controls handles
  // and announces it to the renderer (not yet visible). The calling thread's
  // queue becomes the dialog's.
  static std::shared_ptr<Window> Create(Desktop& desktop,
                                        std::shared_ptr<const DialogTemplate> dialog, HWND owner,
                                        DialogProc proc, std::shared_ptr<ThreadQueue> queue);

  Window(Desktop& desktop, std::shared_ptr<const DialogTemplate> dialog, HWND owner,
         DialogProc proc, std::shared_ptr<ThreadQueue> queue);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  Window(Window&&) = delete;
  Window& operator=(Window&&) = delete;
  ~Window() = default;

  [[nodiscard]] HWND Handle() const { return handle_; }
  [[nodiscard]] HWND Owner() const { return owner_; }
  [[nodiscard]] int TemplateId() const { return template_->id; }
  [[nodiscard]] Desktop& GetDesktop() const { return desktop_; }
  [[nodiscard]] ThreadQueue& Queue() const { return *queue_; }
  [[nodiscard]] const DialogProc& Proc() const { return proc_; }

  // Control lookups; ids, kinds and handles never change.
  [[nodiscard]] int IndexOf(int id) const;  // -1 when there is no such control
  [[nodiscard]] int ControlCount() const { return static_cast<int>(handles_.size()); }
  [[nodiscard]] HWND ControlHandle(int index) const {
    return handles_.at(static_cast<std::size_t>(index));
  }
  [[nodiscard]] int ControlId(int index) const;
  [[nodiscard]] ControlKind Kind(int index) const;

  template <class F>
  auto Edit(F&& edit) {
    std::lock_guard lock(mutex_);
    Access access(state_, controls_);
    access.controlChanges_.assign(controls_.size(), 0);
    if constexpr (std::is_void_v<decltype(edit(access))>) {
      edit(access);
      Flush(access);
    } else {
      auto result = edit(access);
      Flush(access);
      return result;
    }
  }

  template <class F>
  auto Read(F&& read) const {
    std::lock_guard lock(mutex_);
    return read(static_cast<const WindowState&>(state_),
                static_cast<const std::vector<ControlState>&>(controls_));
  }

  [[nodiscard]] WindowSnapshot Snapshot() const;

  void SetUserData(void* data);
  [[nodiscard]] void* UserData() const;

  // EndDialog: records the result (the first one counts) and wakes the
  // dialog's loop. False when the dialog is already closed.
  bool End(LRESULT result);
  [[nodiscard]] bool Ended() const;
  [[nodiscard]] LRESULT Result() const;

  // Closes the dialog: tells the renderer, invalidates the handles, drops the
  // dialog's queued messages and timers and answers its pending sent
  // messages with 0. Idempotent.
  void Destroy();
  [[nodiscard]] bool Destroyed() const;

 private:
  void Flush(Access& access);

  Desktop& desktop_;
  const std::shared_ptr<const DialogTemplate> template_;
  const HWND owner_;
  const DialogProc proc_;
  const std::shared_ptr<ThreadQueue> queue_;
  HWND handle_{};
  std::vector<HWND> handles_;  // of the controls, in template order

  mutable std::mutex mutex_;
  WindowState state_;
  std::vector<ControlState> controls_;
  void* userData_ = nullptr;
  bool ended_ = false;
  LRESULT result_ = 0;
  bool destroyed_ = false;
};

// Disables an open, enabled dialog for as long as it lives (the owner of a
// modal dialog, message box or file dialog takes no input meanwhile) and
// enables it again afterwards; does nothing for any other handle.
class DisabledOwner {
 public:
  explicit DisabledOwner(HWND owner);
  DisabledOwner(const DisabledOwner&) = delete;
  DisabledOwner& operator=(const DisabledOwner&) = delete;
  DisabledOwner(DisabledOwner&&) = delete;
  DisabledOwner& operator=(DisabledOwner&&) = delete;
  ~DisabledOwner();

 private:
  HWND owner_{};
  bool disabled_ = false;
};

// Whether the control kind can hold the keyboard focus.
bool CanTakeFocus(ControlKind kind);

// Calls the dialog's procedure on the calling thread, then the dialog
// manager's default handling of what the procedure left unhandled (WM_CLOSE
// becomes the cancel command, IDCANCEL). Returns the procedure's result.
LRESULT CallWindowProcedure(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                            LPARAM lParam);

}  // namespace norix::platform::window
