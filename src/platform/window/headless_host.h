// A renderer without widgets, and a driver that acts as the user: tests (and
// end-to-end wizard flows) run real dialogs on real threads and drive them
// through it. It needs no thread of its own: the driver's calls run on the
// calling (test) thread, which plays the GUI thread.
//
// Every wait takes a time-out and sleeps on a condition variable that each
// renderer notification, message box and file dialog wakes; nothing spins.
// Unanswered message boxes and file dialogs are answered 0 / cancelled when
// the host is destroyed, so no dialog thread waits for ever.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/control_state.h"
#include "platform/window/renderer.h"

namespace norix::platform::window {

struct MessageBoxInfo {
  HWND owner{};
  ThreadId thread = 0;
  std::string text;
  std::string caption;
  UINT style = MB_OK;
  std::vector<int> buttons;
  std::optional<int> answer;  // in MessageBoxes(): the button it was answered with
};

struct FileDialogInfo {
  OpenFileName request;
  ThreadId thread = 0;
};

class HeadlessHost final : public Renderer {
 public:
  using Timeout = std::chrono::milliseconds;

  explicit HeadlessHost(const ScreenMetrics& metrics = {});
  HeadlessHost(const HeadlessHost&) = delete;
  HeadlessHost& operator=(const HeadlessHost&) = delete;
  HeadlessHost(HeadlessHost&&) = delete;
  HeadlessHost& operator=(HeadlessHost&&) = delete;
  ~HeadlessHost() override;

  // --- Renderer -------------------------------------------------------------
  ScreenMetrics Metrics() override;
  void WindowCreated(const WindowSnapshot& snapshot) override;
  void WindowChanged(const WindowState& window, unsigned changes) override;
  void ControlChanged(HWND window, const ControlState& control, unsigned changes) override;
  void WindowDestroyed(HWND window) override;
  void ShowMessageBox(const MessageBoxRequest& request, MessageBoxAnswer answer) override;
  void ShowOpenFileDialog(const FileDialogRequest& request, FileDialogAnswer answer) override;

  // The metrics reported to desktops made from now on.
  void SetMetrics(const ScreenMetrics& metrics);

  // --- Dialogs --------------------------------------------------------------

  // Waits for a dialog of the template that is up (visible, WM_INITDIALOG
  // handled) and that no earlier WaitForDialog returned, so each call sees
  // a new appearance of a page; the newest if there are several. kNullHwnd
  // on time-out.
  HWND WaitForDialog(int templateId, Timeout timeout);
  // The newest open dialog of the template that is up, without waiting;
  // kNullHwnd when none.
  [[nodiscard]] HWND FindDialog(int templateId) const;
  // True once the dialog is closed (at once for a handle that is no dialog).
  bool WaitForDialogClosed(HWND dialog, Timeout timeout);
  // The open dialogs, oldest first.
  [[nodiscard]] std::vector<HWND> Dialogs() const;

  // Waits until `condition` holds; it is checked now, after each change the
  // renderer hears of and every 20 ms besides, on the calling thread, with
  // no lock held.
  bool WaitUntil(const std::function<bool()>& condition, Timeout timeout);
  bool WaitForText(HWND dialog, int id, std::string_view text, Timeout timeout);
  bool WaitForVisible(HWND dialog, int id, bool visible, Timeout timeout);
  bool WaitForEnabled(HWND dialog, int id, bool enabled, Timeout timeout);

  // --- Acting as the user (false when the input is refused; user_input.h) --
  bool Click(HWND dialog, int id);
  bool Type(HWND dialog, int id, std::string_view text);         // at the end of the edit
  bool ReplaceText(HWND dialog, int id, std::string_view text);  // whole text
  bool SelectItem(HWND dialog, int id, int index);
  bool SelectItem(HWND dialog, int id, std::string_view text);  // exact line text
  bool SetTrackbar(HWND dialog, int id, int position);
  bool Focus(HWND dialog, int id);
  bool PressTab(HWND dialog, bool forward = true);
  bool PressEnter(HWND dialog);
  bool PressEscape(HWND dialog);
  bool Hover(HWND dialog, int id);
  bool Close(HWND dialog);

  // --- Reading any control ------------------------------------------------
  [[nodiscard]] std::optional<ControlState> Control(HWND dialog, int id) const;
  [[nodiscard]] std::string Text(HWND dialog, int id) const;  // "" for a missing control
  [[nodiscard]] bool IsVisible(HWND dialog, int id) const;
  [[nodiscard]] bool IsEnabled(HWND dialog, int id) const;
  [[nodiscard]] bool IsChecked(HWND dialog, int id) const;
  [[nodiscard]] std::vector<std::string> Items(HWND dialog, int id) const;
  [[nodiscard]] int Selection(HWND dialog, int id) const;  // -1 none
  [[nodiscard]] std::string Caption(HWND dialog) const;
  // How often the dialog sounded the warning beep so far.
  [[nodiscard]] int Beeps(HWND dialog) const;

  // --- Message boxes --------------------------------------------------------

  // The oldest unanswered box, left open; nullopt on time-out.
  std::optional<MessageBoxInfo> WaitForMessageBox(Timeout timeout);
  // Waits for the oldest unanswered box and answers it with `button`, which
  // must be one of its buttons; returns what it showed. nullopt on time-out,
  // or when the box has no such button (it then stays open).
  std::optional<MessageBoxInfo> AnswerMessageBox(int button, Timeout timeout);
  // Every box shown so far, oldest first, with the answers given.
  [[nodiscard]] std::vector<MessageBoxInfo> MessageBoxes() const;
  [[nodiscard]] std::size_t PendingMessageBoxCount() const;
  // Boxes for which `policy` returns a button are answered as they come
  // (and recorded); an empty policy, the default, leaves every box open.
  void SetMessageBoxAutoAnswer(std::function<std::optional<int>(const MessageBoxInfo&)> policy);

  // --- Open-file dialogs ----------------------------------------------------

  std::optional<FileDialogInfo> WaitForFileDialog(Timeout timeout);
  // Answers the oldest open-file dialog with a path, or nullopt for
  // "cancelled"; returns what it asked. nullopt on time-out.
  std::optional<FileDialogInfo> AnswerFileDialog(std::optional<std::string> path, Timeout timeout);

 private:
  struct HostWindow {
    HWND handle{};
    int templateId = 0;
    bool visible = false;
    bool ready = false;
    bool handedOut = false;
    int beeps = 0;
  };
  struct PendingBox {
    MessageBoxInfo info;
    MessageBoxAnswer answer;
    std::size_t historyIndex = 0;
  };
  struct PendingFile {
    FileDialogInfo info;
    FileDialogAnswer answer;
  };

  // Call with mutex_ held.
  void Changed();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t changeCount_ = 0;
  ScreenMetrics metrics_;
  std::vector<HostWindow> windows_;  // open dialogs, oldest first
  std::deque<PendingBox> boxes_;
  std::vector<MessageBoxInfo> history_;
  std::function<std::optional<int>(const MessageBoxInfo&)> autoAnswer_;
  std::deque<PendingFile> files_;
};

}  // namespace norix::platform::window
