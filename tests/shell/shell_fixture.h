// Test helpers: small page templates, a page procedure that logs what
// happens to it, and a program whose navigator runs on a thread that plays
// the system main thread.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/modem_context.h"
#include "platform/window/control_api.h"
#include "platform/window/desktop.h"
#include "platform/window/headless_host.h"
#include "platform/window/message_loop.h"
#include "platform/window/template_registry.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/navigator.h"
#include "shell/page_frame.h"

namespace norix::shell::testing {

using namespace std::chrono_literals;
namespace W = platform::window;

inline constexpr auto kLong = 5s;
inline constexpr auto kShort = 80ms;

inline constexpr int kStatusId = 1074;
inline constexpr int kSettingsId = 1004;
inline constexpr int kDisabledId = 1005;

inline W::DialogTemplate TestPageTemplate(int id) {
  namespace S = W::ControlStyle;
  using W::ControlKind;
  using W::RectAt;
  W::DialogTemplate page;
  page.id = id;
  page.width = 302;
  page.height = 201;
  page.caption = "template caption";
  page.backgroundPicture = 120;
  page.controls = {
      {resources::kHeaderId, ControlKind::kStaticText, "", RectAt(10, 5, 280, 14), 0},
      {kStatusId, ControlKind::kStaticText, "", RectAt(10, 30, 200, 10), 0},
      {kSettingsId, ControlKind::kBigButton, "", RectAt(10, 60, 80, 20), S::kTabStop},
      {kDisabledId, ControlKind::kBigButton, "", RectAt(100, 60, 80, 20), S::kDisabled},
      {resources::kBackArrowId, ControlKind::kArrowButton, "", RectAt(180, 170, 20, 20),
       S::kTabStop, 123, 124},
      {resources::kNextArrowId, ControlKind::kArrowButton, "", RectAt(210, 170, 20, 20),
       S::kTabStop, 126, 128},
      {resources::kCancelArrowId, ControlKind::kArrowButton, "", RectAt(240, 170, 20, 20),
       S::kTabStop, 129, 130},
  };
  return page;
}

// What the test pages did, in order, as "<template> <event>" lines.
class PageLog {
 public:
  void Add(std::string line) {
    const std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
    added_.notify_all();
  }
  // Waits until a line equal to `line` was added; false on time-out.
  bool WaitFor(const std::string& line, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return added_.wait_for(lock, timeout, [&] {
      return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    });
  }
  [[nodiscard]] std::vector<std::string> Lines() const {
    const std::lock_guard lock(mutex_);
    return lines_;
  }
  // Index of the first line equal to `line`, -1 when none.
  [[nodiscard]] int Find(const std::string& line) const {
    const std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i] == line) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable added_;
  std::vector<std::string> lines_;
};

// A one-time signal between test threads.
class Signal {
 public:
  void Set() {
    const std::lock_guard lock(mutex_);
    set_ = true;
    cv_.notify_all();
  }
  bool Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return set_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool set_ = false;
};

// How a test page behaves beyond the frame.
struct PageBehaviour {
  int next = resources::kQuitPage;  // where '>' leads
  std::vector<PageText> texts{};
  std::vector<PageText> buttons{};
  // Extra work at the end of the set-up (before page ready is posted), on
  // page ready (after the common handling), on close page (before it), and
  // on a command; return true to claim the command.
  std::function<void(W::HWND)> onInit{};
  std::function<void(W::HWND)> onReady{};
  std::function<void(W::HWND)> onClose{};
  std::function<bool(W::HWND, int, unsigned)> onCommand{};
  std::function<void(W::HWND, W::WPARAM, W::LPARAM)> onHover{};
};

inline W::DialogProc TestPage(PageLog& log, PageBehaviour behaviour) {
  return [&log, behaviour = std::move(behaviour)](W::HWND page, W::UINT message, W::WPARAM wParam,
                                                  W::LPARAM lParam) -> W::LRESULT {
    const std::string name = std::to_string(W::GetDialogTemplateId(page));
    if (message == kClosePage && behaviour.onClose) {
      behaviour.onClose(page);
    }
    if (message == kPageReady) {
      log.Add(name + " ready");  // the moment it reports that it is up
    }
    if (const W::LRESULT handled = HandleCommonPageMessage(page, message, wParam, lParam)) {
      return handled;
    }
    switch (message) {
      case W::WM_INITDIALOG:
        InitPage(page, behaviour.texts, behaviour.buttons);
        if (behaviour.onInit) {
          behaviour.onInit(page);
        }
        W::PostMessage(page, kPageReady, 0, 0);
        return 1;
      case kPageReady:
        if (behaviour.onReady) {
          behaviour.onReady(page);
        }
        return 1;
      case kControlHover:
        if (behaviour.onHover) {
          behaviour.onHover(page, wParam, lParam);
        }
        return 1;
      case W::WM_DESTROY:
        log.Add(name + " closed");
        return 0;
      case W::WM_COMMAND: {
        const int id = static_cast<int>(W::LOWORD(wParam));
        if (behaviour.onCommand && behaviour.onCommand(page, id, W::HIWORD(wParam))) {
          return 1;
        }
        if (id == W::IDCANCEL) {
          GoToPage(page, resources::kQuitPage);
          return 1;
        }
        if (id == resources::kNextArrowId && W::HIWORD(wParam) == W::BN_CLICKED) {
          GoToPage(page, behaviour.next);
          return 1;
        }
        return 0;
      }
      default:
        return 0;
    }
  };
}

class NavigatorTest : public ::testing::Test {
 protected:
  NavigatorTest() {
    for (const int id : {101, 102, 109, 126}) {
      EXPECT_EQ(templates_.Add(TestPageTemplate(id)), "");
    }
    program_.desktop = &desktop_;
    program_.context = std::make_unique<link::ModemContext>();
    program_.context->devices.push_back({"NORIX corvid 56k", 0});
    program_.context->productName = "NORIX corvid 56k V1.40";
  }
  NavigatorTest(const NavigatorTest&) = delete;
  NavigatorTest& operator=(const NavigatorTest&) = delete;
  NavigatorTest(NavigatorTest&&) = delete;
  NavigatorTest& operator=(NavigatorTest&&) = delete;

 public:
  ~NavigatorTest() override {
    if (main_.joinable()) {
      // A test that failed half-way: end the run the way a page would.
      W::PostThreadMessage(program_.navigator.MainThread(), kPageRequest, 0, resources::kQuitPage);
      main_.join();
    }
  }

 protected:
  void Start() {
    BuildGraphics(program_.chrome, program_.texts);
    main_ = std::thread([this] {
      RunNavigator(program_, [this](link::ModemContext& context) {
        const std::lock_guard lock(mutex_);
        closedPorts_.push_back(&context);
      });
      const std::lock_guard lock(mutex_);
      returned_ = true;
      returnedCv_.notify_all();
    });
  }

  bool WaitReturned(std::chrono::milliseconds timeout = kLong) {
    std::unique_lock lock(mutex_);
    const bool done = returnedCv_.wait_for(lock, timeout, [this] { return returned_; });
    lock.unlock();
    if (done) {
      main_.join();
    }
    return done;
  }

  std::vector<link::ModemContext*> ClosedPorts() {
    const std::lock_guard lock(mutex_);
    return closedPorts_;
  }

  W::TemplateRegistry templates_;
  W::HeadlessHost host_;
  W::Desktop desktop_{host_, templates_};
  Frame program_;
  PageLog log_;

 private:
  std::mutex mutex_;
  std::condition_variable returnedCv_;
  bool returned_ = false;
  std::vector<link::ModemContext*> closedPorts_;
  std::thread main_;
};

}  // namespace norix::shell::testing
