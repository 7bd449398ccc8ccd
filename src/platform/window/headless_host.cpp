#include "platform/window/headless_host.h"

#include <algorithm>
#include <utility>

#include "platform/window/control_api.h"
#include "platform/window/user_input.h"
#include "platform/window/window_api.h"

namespace norix::platform::window {

namespace {

constexpr auto kRecheckInterval = std::chrono::milliseconds(20);

using Clock = std::chrono::steady_clock;

}  // namespace

HeadlessHost::HeadlessHost(const ScreenMetrics& metrics) : metrics_(metrics) {}

HeadlessHost::~HeadlessHost() {
  // Dropping the answer objects answers the boxes still open with 0 and the
  // file dialogs with "cancelled"; done outside the lock.
  std::deque<PendingBox> boxes;
  std::deque<PendingFile> files;
  {
    const std::lock_guard lock(mutex_);
    boxes.swap(boxes_);
    files.swap(files_);
  }
}

void HeadlessHost::Changed() {
  ++changeCount_;
  changed_.notify_all();
}

ScreenMetrics HeadlessHost::Metrics() {
  const std::lock_guard lock(mutex_);
  return metrics_;
}

void HeadlessHost::SetMetrics(const ScreenMetrics& metrics) {
  const std::lock_guard lock(mutex_);
  metrics_ = metrics;
}

void HeadlessHost::WindowCreated(const WindowSnapshot& snapshot) {
  const std::lock_guard lock(mutex_);
  windows_.push_back({snapshot.window.handle, snapshot.window.templateId, snapshot.window.visible,
                      snapshot.window.ready, false});
  Changed();
}

void HeadlessHost::WindowChanged(const WindowState& window, unsigned changes) {
  const std::lock_guard lock(mutex_);
  for (HostWindow& entry : windows_) {
    if (entry.handle == window.handle) {
      entry.visible = window.visible;
      entry.ready = window.ready;
      if ((changes & WindowChange::kBeep) != 0) {
        ++entry.beeps;
      }
    }
  }
  Changed();
}

void HeadlessHost::ControlChanged(HWND /*window*/, const ControlState& /*control*/,
                                  unsigned /*changes*/) {
  const std::lock_guard lock(mutex_);
  Changed();
}

void HeadlessHost::WindowDestroyed(HWND window) {
  const std::lock_guard lock(mutex_);
  std::erase_if(windows_, [window](const HostWindow& entry) { return entry.handle == window; });
  Changed();
}

void HeadlessHost::ShowMessageBox(const MessageBoxRequest& request, MessageBoxAnswer answer) {
  MessageBoxInfo info;
  info.owner = request.owner;
  info.thread = request.thread;
  info.text = request.text;
  info.caption = request.caption;
  info.style = request.style;
  info.buttons = request.buttons;

  std::function<std::optional<int>(const MessageBoxInfo&)> policy;
  {
    const std::lock_guard lock(mutex_);
    policy = autoAnswer_;
  }
  if (policy) {
    const std::optional<int> button = policy(info);
    if (button && answer(*button)) {
      info.answer = button;
      const std::lock_guard lock(mutex_);
      history_.push_back(std::move(info));
      Changed();
      return;
    }
  }
  const std::lock_guard lock(mutex_);
  history_.push_back(info);
  boxes_.push_back({std::move(info), std::move(answer), history_.size() - 1});
  Changed();
}

void HeadlessHost::ShowOpenFileDialog(const FileDialogRequest& request, FileDialogAnswer answer) {
  const std::lock_guard lock(mutex_);
  files_.push_back({{request.dialog, request.thread}, std::move(answer)});
  Changed();
}

HWND HeadlessHost::WaitForDialog(int templateId, Timeout timeout) {
  std::unique_lock lock(mutex_);
  HWND found = kNullHwnd;
  changed_.wait_until(lock, Clock::now() + timeout, [&] {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if (it->templateId == templateId && it->visible && it->ready && !it->handedOut) {
        it->handedOut = true;
        found = it->handle;
        return true;
      }
    }
    return false;
  });
  return found;
}

HWND HeadlessHost::FindDialog(int templateId) const {
  const std::lock_guard lock(mutex_);
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (it->templateId == templateId && it->visible && it->ready) {
      return it->handle;
    }
  }
  return kNullHwnd;
}

bool HeadlessHost::WaitForDialogClosed(HWND dialog, Timeout timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_until(lock, Clock::now() + timeout, [&] {
    return std::none_of(windows_.begin(), windows_.end(),
                        [dialog](const HostWindow& entry) { return entry.handle == dialog; });
  });
}

std::vector<HWND> HeadlessHost::Dialogs() const {
  const std::lock_guard lock(mutex_);
  std::vector<HWND> handles;
  handles.reserve(windows_.size());
  for (const HostWindow& entry : windows_) {
    handles.push_back(entry.handle);
  }
  return handles;
}

bool HeadlessHost::WaitUntil(const std::function<bool()>& condition, Timeout timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    std::uint64_t seen = 0;
    {
      const std::lock_guard lock(mutex_);
      seen = changeCount_;
    }
    // Checked without the lock: the condition reads the model, whose lock
    // is taken before ours when the model notifies us.
    if (condition()) {
      return true;
    }
    // The condition may also read state the renderer never hears of (a
    // test's counter, the simulated product's record), so it is checked
    // again after a short sleep even when nothing changed on screen.
    const auto wake = std::min(deadline, Clock::now() + kRecheckInterval);
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, wake, [&] { return changeCount_ != seen; });
    if (Clock::now() >= deadline) {
      lock.unlock();
      return condition();
    }
  }
}

bool HeadlessHost::WaitForText(HWND dialog, int id, std::string_view text, Timeout timeout) {
  return WaitUntil([&] { return GetDlgItemText(dialog, id) == text; }, timeout);
}

bool HeadlessHost::WaitForVisible(HWND dialog, int id, bool visible, Timeout timeout) {
  return WaitUntil(
      [&] {
        const auto control = GetControlState(dialog, id);
        return control && control->visible == visible;
      },
      timeout);
}

bool HeadlessHost::WaitForEnabled(HWND dialog, int id, bool enabled, Timeout timeout) {
  return WaitUntil(
      [&] {
        const auto control = GetControlState(dialog, id);
        return control && control->enabled == enabled;
      },
      timeout);
}

bool HeadlessHost::Click(HWND dialog, int id) { return UserClick(dialog, id); }

bool HeadlessHost::Type(HWND dialog, int id, std::string_view text) {
  return UserType(dialog, id, text);
}

bool HeadlessHost::ReplaceText(HWND dialog, int id, std::string_view text) {
  return UserEditText(dialog, id, text).has_value();
}

bool HeadlessHost::SelectItem(HWND dialog, int id, int index) {
  return UserSelectItem(dialog, id, index);
}

bool HeadlessHost::SelectItem(HWND dialog, int id, std::string_view text) {
  const auto control = GetControlState(dialog, id);
  if (!control) {
    return false;
  }
  const auto found = std::find_if(control->items.begin(), control->items.end(),
                                  [text](const ListItem& item) { return item.text == text; });
  if (found == control->items.end()) {
    return false;
  }
  return UserSelectItem(dialog, id, static_cast<int>(found - control->items.begin()));
}

bool HeadlessHost::SetTrackbar(HWND dialog, int id, int position) {
  return UserSetTrackbar(dialog, id, position);
}

bool HeadlessHost::Focus(HWND dialog, int id) { return UserFocus(dialog, id); }

bool HeadlessHost::PressTab(HWND dialog, bool forward) { return UserTab(dialog, forward); }

bool HeadlessHost::PressEnter(HWND dialog) { return UserEnter(dialog); }

bool HeadlessHost::PressEscape(HWND dialog) { return UserEscape(dialog); }

bool HeadlessHost::Hover(HWND dialog, int id) { return UserHover(dialog, id); }

bool HeadlessHost::Close(HWND dialog) { return UserClose(dialog); }

std::optional<ControlState> HeadlessHost::Control(HWND dialog, int id) const {
  return GetControlState(dialog, id);
}

std::string HeadlessHost::Text(HWND dialog, int id) const { return GetDlgItemText(dialog, id); }

bool HeadlessHost::IsVisible(HWND dialog, int id) const {
  const auto control = GetControlState(dialog, id);
  return control && control->visible;
}

bool HeadlessHost::IsEnabled(HWND dialog, int id) const {
  const auto control = GetControlState(dialog, id);
  return control && control->enabled;
}

bool HeadlessHost::IsChecked(HWND dialog, int id) const {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::vector<std::string> HeadlessHost::Items(HWND dialog, int id) const {
  std::vector<std::string> texts;
  if (const auto control = GetControlState(dialog, id)) {
    for (const ListItem& item : control->items) {
      texts.push_back(item.text);
    }
  }
  return texts;
}

int HeadlessHost::Selection(HWND dialog, int id) const {
  const auto control = GetControlState(dialog, id);
  return control ? control->selection : -1;
}

std::string HeadlessHost::Caption(HWND dialog) const { return GetWindowText(dialog); }

int HeadlessHost::Beeps(HWND dialog) const {
  const std::lock_guard lock(mutex_);
  for (const HostWindow& entry : windows_) {
    if (entry.handle == dialog) {
      return entry.beeps;
    }
  }
  return 0;
}

std::optional<MessageBoxInfo> HeadlessHost::WaitForMessageBox(Timeout timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_until(lock, Clock::now() + timeout, [this] { return !boxes_.empty(); })) {
    return std::nullopt;
  }
  return boxes_.front().info;
}

std::optional<MessageBoxInfo> HeadlessHost::AnswerMessageBox(int button, Timeout timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_until(lock, Clock::now() + timeout, [this] { return !boxes_.empty(); })) {
    return std::nullopt;
  }
  const std::vector<int>& buttons = boxes_.front().info.buttons;
  if (std::find(buttons.begin(), buttons.end(), button) == buttons.end()) {
    return std::nullopt;
  }
  PendingBox box = std::move(boxes_.front());
  boxes_.pop_front();
  box.info.answer = button;
  history_[box.historyIndex].answer = button;
  Changed();
  lock.unlock();
  box.answer(button);
  return box.info;
}

std::vector<MessageBoxInfo> HeadlessHost::MessageBoxes() const {
  const std::lock_guard lock(mutex_);
  return history_;
}

std::size_t HeadlessHost::PendingMessageBoxCount() const {
  const std::lock_guard lock(mutex_);
  return boxes_.size();
}

void HeadlessHost::SetMessageBoxAutoAnswer(
    std::function<std::optional<int>(const MessageBoxInfo&)> policy) {
  const std::lock_guard lock(mutex_);
  autoAnswer_ = std::move(policy);
}

std::optional<FileDialogInfo> HeadlessHost::WaitForFileDialog(Timeout timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_until(lock, Clock::now() + timeout, [this] { return !files_.empty(); })) {
    return std::nullopt;
  }
  return files_.front().info;
}

std::optional<FileDialogInfo> HeadlessHost::AnswerFileDialog(std::optional<std::string> path,
                                                             Timeout timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_until(lock, Clock::now() + timeout, [this] { return !files_.empty(); })) {
    return std::nullopt;
  }
  PendingFile file = std::move(files_.front());
  files_.pop_front();
  Changed();
  lock.unlock();
  file.answer(std::move(path));
  return file.info;
}

}  // namespace norix::platform::window
