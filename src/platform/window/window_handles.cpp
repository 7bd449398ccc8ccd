#include "platform/window/window_handles.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/window/window.h"

namespace norix::platform::window {

namespace {

class HandleTable {
 public:
  HWND New() {
    const std::lock_guard lock(mutex_);
    ++last_;
    if (last_ == 0) {
      ++last_;
    }
    return static_cast<HWND>(last_);
  }

  void Add(HWND hwnd, std::shared_ptr<Window> window, int index) {
    const std::lock_guard lock(mutex_);
    entries_[hwnd] = HandleTarget{std::move(window), index};
  }

  void Remove(HWND hwnd) {
    const std::lock_guard lock(mutex_);
    entries_.erase(hwnd);
  }

  std::optional<HandleTarget> Find(HWND hwnd) {
    const std::lock_guard lock(mutex_);
    const auto found = entries_.find(hwnd);
    if (found == entries_.end()) {
      return std::nullopt;
    }
    return found->second;
  }

  std::vector<std::shared_ptr<Window>> Dialogs() {
    const std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<Window>> dialogs;
    for (const auto& entry : entries_) {  // ordered by handle: oldest first
      if (entry.second.index < 0) {
        dialogs.push_back(entry.second.window);
      }
    }
    return dialogs;
  }

 private:
  std::mutex mutex_;
  std::uint32_t last_ = 0;
  std::map<HWND, HandleTarget> entries_;
};

HandleTable& Handles() {
  static auto* const table = new HandleTable;  // deliberately never destroyed
  return *table;
}

}  // namespace

HWND NewHandle() { return Handles().New(); }

void PublishHandle(HWND hwnd, std::shared_ptr<Window> window, int controlIndex) {
  Handles().Add(hwnd, std::move(window), controlIndex);
}

void UnregisterHandle(HWND hwnd) { Handles().Remove(hwnd); }

std::optional<HandleTarget> LookupHandle(HWND hwnd) {
  if (hwnd == kNullHwnd) {
    return std::nullopt;
  }
  return Handles().Find(hwnd);
}

std::shared_ptr<Window> LookupDialog(HWND hwnd) {
  auto target = LookupHandle(hwnd);
  if (!target || target->index >= 0) {
    return nullptr;
  }
  return std::move(target->window);
}

std::optional<HandleTarget> LookupDialogItem(HWND dialog, int id) {
  auto window = LookupDialog(dialog);
  if (!window) {
    return std::nullopt;
  }
  const int index = window->IndexOf(id);
  if (index < 0) {
    return std::nullopt;
  }
  return HandleTarget{std::move(window), index};
}

std::vector<std::shared_ptr<Window>> OpenDialogs() { return Handles().Dialogs(); }

}  // namespace norix::platform::window
