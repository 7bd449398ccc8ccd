// Message box and open-file requests as the renderer receives them, and the
// answer objects through which it replies. The asking thread waits for the
// answer; a renderer that drops an answer object without replying answers 0
// (message box) or "cancelled" (file dialog), so no caller waits forever.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/messages.h"

namespace norix::platform::window {

class Completion;

struct MessageBoxRequest {
  HWND owner{};         // may be kNullHwnd
  ThreadId thread = 0;  // the asking thread
  std::string text;
  std::string caption;
  UINT style = MB_OK;
  std::vector<int> buttons;  // IDOK, IDCANCEL, IDYES, ... in the order shown
  int defaultButton = IDOK;
  bool taskModal = false;  // the whole program waits, not only the owner
};

struct FileFilter {
  std::string description;  // "Upgrade files (*.lfu)"
  std::string patterns;     // "*.lfu", several separated by ';'
};

// An open-file request.
struct OpenFileName {
  HWND owner{};
  std::string title;
  std::vector<FileFilter> filters;
  std::string defaultExtension;  // without the dot; added to a chosen name without extension
  std::string initialDir;
  std::string fileName;  // proposed file name
  bool fileMustExist = true;
};

struct FileDialogRequest {
  OpenFileName dialog;
  ThreadId thread = 0;
};

namespace detail {
struct AnswerState;
}

// Replies to one message box. Copyable; any thread may call it.
class MessageBoxAnswer {
 public:
  MessageBoxAnswer(std::shared_ptr<Completion> completion, std::vector<int> buttons);

  // True when `button` is one of the box's buttons and the box had no
  // answer yet; the asking thread then continues with it.
  bool operator()(int button) const;

 private:
  std::shared_ptr<detail::AnswerState> state_;
};

// Replies to one open-file request. Copyable; any thread may call it.
class FileDialogAnswer {
 public:
  explicit FileDialogAnswer(std::shared_ptr<Completion> completion);

  // A path, or nullopt (or an empty path) for "cancelled". False when the
  // request had an answer already.
  bool operator()(std::optional<std::string> path) const;

 private:
  std::shared_ptr<detail::AnswerState> state_;
};

}  // namespace norix::platform::window
