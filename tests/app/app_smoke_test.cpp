// norix-config's own start-up with one simulated product, under the offscreen
// Qt platform: the first page comes up drawn with the real pictures, a
// screenshot of it is saved, and Esc pressed on the page ends the run.
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMetaObject>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/program.h"
#include "app/run_app.h"
#include "platform/registry/driver_key.h"
#include "platform/registry/registry.h"
#include "platform/window/desktop.h"
#include "platform/window/user_input.h"
#include "platform/window/window_api.h"
#include "resources/dialogs/dialog_templates.h"
#include "utilities/product_info_driver.h"

namespace norix::app {
namespace {

namespace W = platform::window;
using namespace std::chrono_literals;

// The first page of the template that is up on the desktop; waits up to
// `timeout`, looking every 20 ms (the test's own patience, not the program's).
W::HWND WaitForPage(const W::Desktop& desktop, int templateId, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    for (const W::HWND window : desktop.Windows()) {
      const auto state = W::GetWindowState(window);
      if (state && state->templateId == templateId && state->ready && state->visible) {
        return window;
      }
    }
    std::this_thread::sleep_for(20ms);
  }
  return W::kNullHwnd;
}

// Runs `work` on the GUI thread and waits for it.
void RunOnGuiThread(const std::function<void()>& work) {
#ifndef __clang_analyzer__
  // The analyzer loses track of the slot object that Qt takes over here and
  // reports it leaked; Qt deletes it once the call has run.
  QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
#else
  static_cast<void>(work);
#endif
}

TEST(AppSmokeTest, StartsWithASimulatedProductToTheFirstPageOffscreen) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): no thread yet
  // The run keeps its registry store (and would read lines.conf) in the
  // configuration folder: a folder of the test's own, not the user's.
  std::string config = (std::filesystem::temp_directory_path() / "norix-smoke-XXXXXX").string();
  ASSERT_NE(mkdtemp(config.data()), nullptr);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);  // NOLINT(concurrency-mt-unsafe): no thread yet

  AppOptions options;
  options.simulate = {"netrunner56k"};
  options.singleInstance = false;  // other test runs may be going on

  std::thread driver;
  std::atomic<bool> pageUp{false};
  std::atomic<bool> escapeEnded{false};
  std::atomic<W::UINT> hoverMessage{0};
  QImage shot;
  QString title;
  const auto beforeNavigator = [&](Program& program) {
    driver = std::thread([&, desktop = program.frame.desktop] {
      const W::HWND page = WaitForPage(*desktop, resources::kMainMenuTemplate, 10s);
      if (page == W::kNullHwnd) {
        return;  // the run goes on; the test fails on pageUp below and quits it
      }
      pageUp = true;
      // Let the queued changes of the set-up reach the widgets, then grab.
      std::this_thread::sleep_for(200ms);
      hoverMessage = desktop->HoverMessage();
      RunOnGuiThread([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
          if (widget->isVisible() && widget->windowTitle() == "NORIX Configuration program") {
            title = widget->windowTitle();
            shot = widget->grab().toImage();
            // Esc on the page, as the user presses it: command 2 quits.
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(widget, &escape);
          }
        }
      });
      const auto deadline = std::chrono::steady_clock::now() + 5s;
      while (W::IsWindow(page) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
      }
      escapeEnded = !W::IsWindow(page);
      if (!escapeEnded) {
        W::UserEscape(page);  // end the run anyway; the test fails below
      }
    });
  };

  std::ostringstream out;
  std::ostringstream err;
  const int result = RunNorixConfig("norix-config", options, out, err, beforeNavigator);
  if (driver.joinable()) {
    driver.join();
  }
  // The simulated product's driver key was seeded with the simulator's driver.
  platform::registry::Registry store(
      (std::filesystem::path(config) / "norix" / "registry.reg").string());
  utilities::ProductInformation info;
  utilities::ReadDriverInformation(
      &store, std::string(platform::registry::kModemClassKey) + "\\norix-sim-netrunner56k", info);
  EXPECT_EQ(info.driverFile, utilities::kSimulatedInfPath);
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  EXPECT_EQ(result, 0) << err.str();
  EXPECT_NE(out.str().find("simulated netrunner56k on /dev/"), std::string::npos) << out.str();
  ASSERT_TRUE(pageUp.load()) << "the main menu (one device) never came up";
  EXPECT_EQ(title, "NORIX Configuration program");
  EXPECT_TRUE(escapeEnded.load()) << "Esc on the page widget ended the run";
  EXPECT_EQ(hoverMessage.load(), 0x8008U) << "the pointer over a control reaches the page";
  ASSERT_FALSE(shot.isNull());

  // The page picture is drawn behind the page: far more than a flat fill.
  std::set<QRgb> colours;
  for (int y = 0; y < shot.height(); y += 4) {
    for (int x = 0; x < shot.width(); x += 4) {
      colours.insert(shot.pixel(x, y));
    }
  }
  EXPECT_GT(colours.size(), 50U);

  std::filesystem::create_directories(NORIX_SCREENSHOT_DIR);
  EXPECT_TRUE(shot.save(NORIX_SCREENSHOT_DIR "/norix-config-first-page.png"));
}

}  // namespace
}  // namespace norix::app
