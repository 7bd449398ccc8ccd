// Test helpers: templates, a recorder of the messages a dialog procedure
// receives, and a dialog running on a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/window/desktop.h"
#include "platform/window/dialog_box.h"
#include "platform/window/headless_host.h"
#include "platform/window/message_loop.h"
#include "platform/window/template_registry.h"
#include "platform/window/window_api.h"

namespace norix::platform::window::testing {

using namespace std::chrono_literals;

inline constexpr auto kLong = 5s;     // for waits that must succeed
inline constexpr auto kShort = 60ms;  // for waits that must time out

// Ids of the test page.
inline constexpr int kPage = 500;
inline constexpr int kPicker = 501;
inline constexpr int kStatus = 1074;
inline constexpr int kEntry = 1041;
inline constexpr int kDigits = 1044;
inline constexpr int kUpper = 1045;
inline constexpr int kReadOnly = 1046;
inline constexpr int kCountries = 1000;
inline constexpr int kLines = 1010;
inline constexpr int kBod = 1128;
inline constexpr int kOneChannel = 1127;
inline constexpr int kTwoChannels = 1126;
inline constexpr int kPlainA = 1201;
inline constexpr int kPlainB = 1202;
inline constexpr int kNext = 1002;
inline constexpr int kBack = 1014;
inline constexpr int kSettings = 1004;
inline constexpr int kProgress = 1073;
inline constexpr int kSlider = 1080;
inline constexpr int kHidden = 1090;
inline constexpr int kPickerList = 1027;

inline DialogTemplate PageTemplate(int id = kPage) {
  namespace S = ControlStyle;
  DialogTemplate page;
  page.id = id;
  page.width = 302;
  page.height = 201;
  page.caption = "Test page";
  page.backgroundPicture = 120;
  page.controls = {
      {kStatus, ControlKind::kStaticText, "Please wait...", RectAt(10, 10, 200, 10), 0},
      {kEntry, ControlKind::kEdit, "", RectAt(10, 30, 100, 12), S::kTabStop},
      {kDigits, ControlKind::kEdit, "", RectAt(10, 45, 60, 12), S::kTabStop | S::kDigitsOnly},
      {kUpper, ControlKind::kEdit, "", RectAt(80, 45, 60, 12), S::kTabStop | S::kUppercase},
      {kReadOnly, ControlKind::kEdit, "fixed", RectAt(150, 45, 60, 12), S::kReadOnly},
      {kCountries, ControlKind::kDropDownList, "", RectAt(10, 60, 100, 80), S::kTabStop},
      {kLines, ControlKind::kListBox, "", RectAt(120, 60, 100, 40), S::kTabStop},
      {kBod, ControlKind::kCheckBox, "BOD", RectAt(10, 110, 60, 10), S::kTabStop},
      {kOneChannel, ControlKind::kRadio, "1 Channel", RectAt(10, 125, 60, 10),
       S::kTabStop | S::kGroup},
      {kTwoChannels, ControlKind::kRadio, "2 Channels", RectAt(10, 135, 60, 10), 0},
      {kPlainA, ControlKind::kRadio, "A", RectAt(80, 125, 60, 10), S::kGroup},
      {kPlainB, ControlKind::kRadio, "B", RectAt(80, 135, 60, 10), 0},
      {kBack, ControlKind::kArrowButton, "", RectAt(200, 170, 20, 20), S::kTabStop, 123, 124},
      {kNext, ControlKind::kArrowButton, "", RectAt(230, 170, 20, 20), S::kTabStop, 126, 128},
      {kSettings, ControlKind::kBigButton, "Settings", RectAt(150, 110, 80, 20), S::kDisabled},
      {kProgress, ControlKind::kProgressBar, "", RectAt(10, 150, 150, 8), 0},
      {kSlider, ControlKind::kTrackbar, "", RectAt(170, 150, 100, 12), 0},
      {kHidden, ControlKind::kPushButton, "Hidden", RectAt(250, 10, 40, 12), S::kHidden},
  };
  return page;
}

inline DialogTemplate PickerTemplate() {
  DialogTemplate picker;
  picker.id = kPicker;
  picker.width = 192;
  picker.height = 95;
  picker.caption = "Select modem model";
  picker.centered = true;
  picker.controls = {
      {kPickerList, ControlKind::kListBox, "", RectAt(10, 10, 170, 50), ControlStyle::kTabStop},
      {IDOK, ControlKind::kPushButton, "OK", RectAt(40, 70, 50, 14), ControlStyle::kTabStop},
      {IDCANCEL, ControlKind::kPushButton, "Cancel", RectAt(100, 70, 50, 14),
       ControlStyle::kTabStop},
  };
  return picker;
}

// A flag a dialog thread sets and a test waits for.
class Event {
 public:
  void Set() {
    const std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
  }
  bool Wait(std::chrono::milliseconds timeout = kLong) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return set_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

struct Received {
  HWND hwnd{};
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  ThreadId thread = 0;
};

// What a dialog procedure received, in order; tests wait on it.
class MessageLog {
 public:
  void Add(const Received& received) {
    const std::lock_guard lock(mutex_);
    log_.push_back(received);
    added_.notify_all();
  }

  // The first logged message matching `match`, waiting for it if need be.
  std::optional<Received> WaitFor(const std::function<bool(const Received&)>& match,
                                  std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    std::optional<Received> found;
    added_.wait_for(lock, timeout, [&] {
      for (const Received& r : log_) {
        if (match(r)) {
          found = r;
          return true;
        }
      }
      return false;
    });
    return found;
  }

  std::optional<Received> WaitForMessage(UINT message, std::chrono::milliseconds timeout) {
    return WaitFor([message](const Received& r) { return r.message == message; }, timeout);
  }

  std::optional<Received> WaitForCommand(int id, UINT code, std::chrono::milliseconds timeout) {
    return WaitFor(
        [id, code](const Received& r) {
          return r.message == WM_COMMAND &&
                 LOWORD(r.wParam) == static_cast<unsigned>(id & 0xFFFF) && HIWORD(r.wParam) == code;
        },
        timeout);
  }

  std::vector<Received> All() const {
    const std::lock_guard lock(mutex_);
    return log_;
  }

  std::size_t Count(UINT message) const {
    const std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const Received& r : log_) {
      n += r.message == message ? 1U : 0U;
    }
    return n;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable added_;
  std::vector<Received> log_;
};

// A dialog procedure that logs everything and hands it to `then`.
inline DialogProc LoggingProc(MessageLog& log, DialogProc then = {}) {
  return [&log, then = std::move(then)](HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) -> LRESULT {
    log.Add({hwnd, message, wParam, lParam, GetCurrentThreadId()});
    return then ? then(hwnd, message, wParam, lParam) : 0;
  };
}

// DialogBox on a thread of its own. The destructor ends a dialog still open
// and joins the thread.
class DialogThread {
 public:
  DialogThread(Desktop& desktop, int templateId, DialogProc proc, HWND owner = kNullHwnd,
               LPARAM initParam = 0) {
    auto result = std::make_shared<std::promise<LRESULT>>();
    result_ = result->get_future();
    thread_ =
        std::thread([this, &desktop, templateId, proc = std::move(proc), owner, initParam, result] {
          threadId_.store(GetCurrentThreadId());
          const DialogProc wrapped = [this, proc](HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) -> LRESULT {
            if (message == WM_INITDIALOG) {
              std::lock_guard lock(mutex_);
              handle_ = hwnd;
              up_.notify_all();
            }
            return proc ? proc(hwnd, message, wParam, lParam) : 0;
          };
          result->set_value(DialogBox(desktop, templateId, owner, wrapped, initParam));
        });
  }
  DialogThread(const DialogThread&) = delete;
  DialogThread& operator=(const DialogThread&) = delete;
  DialogThread(DialogThread&&) = delete;
  DialogThread& operator=(DialogThread&&) = delete;

  ~DialogThread() {
    if (thread_.joinable()) {
      EndDialog(Handle(), -99);
      thread_.join();
    }
  }

  // The dialog's handle once WM_INITDIALOG has come; kNullHwnd on time-out.
  HWND WaitHandle(std::chrono::milliseconds timeout = kLong) {
    std::unique_lock lock(mutex_);
    up_.wait_for(lock, timeout, [this] { return handle_ != kNullHwnd; });
    return handle_;
  }

  HWND Handle() {
    std::lock_guard lock(mutex_);
    return handle_;
  }

  // DialogBox's result once it returned; nullopt on time-out.
  std::optional<LRESULT> WaitResult(std::chrono::milliseconds timeout = kLong) {
    if (result_.wait_for(timeout) != std::future_status::ready) {
      return std::nullopt;
    }
    const LRESULT value = result_.get();
    thread_.join();
    return value;
  }

  ThreadId Thread() const { return threadId_.load(); }

 private:
  std::mutex mutex_;
  std::condition_variable up_;
  HWND handle_{};
  std::atomic<ThreadId> threadId_{0};
  std::future<LRESULT> result_;
  std::thread thread_;
};

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    EXPECT_EQ(templates_.Add(PageTemplate()), "");
    EXPECT_EQ(templates_.Add(PickerTemplate()), "");
  }

  TemplateRegistry templates_;
  HeadlessHost host_;
  Desktop desktop_{host_, templates_};
};

}  // namespace norix::platform::window::testing
