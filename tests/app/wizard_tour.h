// The screenshot tour's machinery: norix-config runs offscreen with
// simulated products while a tour, on a thread of its own, waits for pages
// and works their widgets as a user would.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QTest>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/run_app.h"
#include "platform/qt/control_widgets.h"
#include "platform/qt/page_widget.h"
#include "platform/window/control_api.h"
#include "platform/window/desktop.h"
#include "platform/window/user_input.h"
#include "platform/window/window_api.h"
#include "resources/resource_ids.h"

namespace norix::app::wizard_tour {

namespace W = platform::window;
using namespace std::chrono_literals;

inline constexpr auto kPageWait = 10s;  // the tour's own patience for a page or a reply
inline constexpr int kHeader = resources::kHeaderId;
inline const QString kPageTitle = QStringLiteral("NORIX Configuration program");

// Runs `work` on the GUI thread and waits for it. Queued behind every change
// the renderer has queued before, so the widgets show the model's state.
inline void RunOnGuiThread(const std::function<void()>& work) {
#ifndef __clang_analyzer__
  // The analyzer loses track of the slot object that Qt takes over here and
  // reports it leaked; Qt deletes it once the call has run.
  QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
#else
  static_cast<void>(work);
#endif
}

inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The widget showing `page`; GUI thread only. Null when there is none.
inline platform::qt::PageWidget* PageWidgetOf(W::HWND page) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* pageWidget = dynamic_cast<platform::qt::PageWidget*>(widget);
    if (pageWidget != nullptr && pageWidget->Handle() == page) {
      return pageWidget;
    }
  }
  return nullptr;
}

// Whether a procedure of the page modules serves `index`, rather than the
// plain frame every row starts with.
inline bool PageBuilt(const app::Program& program, int index) {
  const shell::PageRow* row = program.frame.pages.Row(index);
  if (row == nullptr || !row->procedure) {
    return false;
  }
  using Procedure = W::LRESULT (*)(W::HWND, W::UINT, W::WPARAM, W::LPARAM);
  const Procedure* plain = row->procedure.target<Procedure>();
  return plain == nullptr || *plain != &shell::PlainPageProcedure;
}

// Walks one run of the program: waits for pages, acts on their widgets and
// saves what they show. Every check failure is reported through gtest; a
// step that cannot go on returns false, and Finish() then ends the run.
class Tour {
 public:
  explicit Tour(app::Program& program) : program_(program) {}

  // Waits up to `timeout` for `condition`, looking every 20 ms; false at
  // once when the run is over.
  bool Wait(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return runOver_.load() || condition(); }, timeout) && !runOver_.load();
  }

  // Called on the program's main thread once its navigator has returned:
  // from then on the tour touches nothing of the run.
  void RunIsOver() { runOver_.store(true); }

  // Waits until page `index` is the current page, up, shown, alone on the
  // screen and drawn by a widget; null when it does not come.
  W::HWND WaitForPage(int index) {
    W::HWND page = W::kNullHwnd;
    const bool up = Wait(
        [&] {
          if (program_.frame.navigator.CurrentIndex() != index ||
              program_.frame.navigator.PendingPage() != W::kNullHwnd) {
            return false;
          }
          page = program_.frame.navigator.CurrentWindow();
          const auto state = W::GetWindowState(page);
          if (!state || !state->ready || !state->visible) {
            return false;
          }
          bool shown = false;
          RunOnGuiThread([&] {
            const QWidget* widget = PageWidgetOf(page);
            shown = widget != nullptr && widget->isVisible();
          });
          return shown;
        },
        kPageWait);
    if (!up) {
      ADD_FAILURE() << "page " << index << " never came up (current page "
                    << program_.frame.navigator.CurrentIndex() << ")";
      return W::kNullHwnd;
    }
    return page;
  }

  // Waits until the header of `page` shows `name`, in the model and on the widget.
  bool ExpectHeader(W::HWND page, const std::string& name) {
    const bool inModel = Wait(
        [&] {
          const auto header = W::GetControlState(page, kHeader);
          return header && header->visible && header->text == name;
        },
        kPageWait);
    EXPECT_TRUE(inModel) << "header \"" << W::GetDlgItemText(page, kHeader) << "\", expected \""
                         << name << "\"";
    QString shown;
    bool visible = false;
    RunOnGuiThread([&] {
      if (const auto* widget = PageWidgetOf(page)) {
        if (const auto* label = dynamic_cast<platform::qt::TextLabel*>(widget->Control(kHeader))) {
          shown = label->Text();
          visible = label->isVisible();
        }
      }
    });
    EXPECT_EQ(shown.toStdString(), name);
    EXPECT_TRUE(visible);
    return inModel;
  }

  // The labels of big buttons on the widget: what the model gave them, never empty.
  void ExpectButtonLabels(W::HWND page, const std::vector<int>& buttons) {
    for (const int id : buttons) {
      const std::string text = W::GetDlgItemText(page, id);
      EXPECT_FALSE(text.empty()) << "button " << id;
      QString shown;
      RunOnGuiThread([&] {
        if (const auto* widget = PageWidgetOf(page)) {
          if (const auto* button = dynamic_cast<QAbstractButton*>(widget->Control(id))) {
            shown = button->text();
          }
        }
      });
      EXPECT_EQ(shown.toStdString(), text) << "button " << id;
    }
  }

  // Grabs the page as it is on screen and saves it as wizard-<name>.png. The
  // window is the program's page with its picture behind the controls, and
  // its title `title`.
  void Shoot(W::HWND page, const QString& name, const QString& title = kPageTitle) {
    QImage shot;
    QString shownTitle;
    RunOnGuiThread([&] {
      if (QWidget* widget = PageWidgetOf(page)) {
        shownTitle = widget->windowTitle();
        shot = widget->grab().toImage();
      }
    });
    ASSERT_FALSE(shot.isNull()) << name.toStdString();
    EXPECT_EQ(shownTitle, title) << name.toStdString();
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4) {
      for (int x = 0; x < shot.width(); x += 4) {
        colours.insert(shot.pixel(x, y));
      }
    }
    EXPECT_GT(colours.size(), 50U) << name.toStdString() << ": the page picture is missing";
    QDir().mkpath(QStringLiteral(NORIX_SCREENSHOT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(NORIX_SCREENSHOT_DIR "/wizard-") + name + ".png"));
    ++shots_;
  }

  // Clicks a button of the page widget as the user does (pressed, released).
  bool Click(W::HWND page, int id) {
    bool clicked = false;
    RunOnGuiThread([&] {
      if (const auto* widget = PageWidgetOf(page)) {
        auto* button = dynamic_cast<QAbstractButton*>(widget->Control(id));
        if (button != nullptr && button->isVisible() && button->isEnabled()) {
          QTest::mouseClick(button, Qt::LeftButton);
          clicked = true;
        }
      }
    });
    EXPECT_TRUE(clicked) << "no visible, enabled button " << id;
    return clicked;
  }

  // Picks line `index` of a drop-down list as the user does.
  bool Pick(W::HWND page, int id, int index) {
    bool picked = false;
    RunOnGuiThread([&] {
      if (const auto* widget = PageWidgetOf(page)) {
        if (auto* combo = dynamic_cast<QComboBox*>(widget->Control(id));
            combo != nullptr && index < combo->count()) {
          combo->setCurrentIndex(index);
          Q_EMIT combo->activated(index);
          picked = true;
        }
      }
    });
    EXPECT_TRUE(picked) << "no line " << index << " in list " << id;
    return picked && Wait([&] { return W::GetListSelection(page, id) == index; }, kPageWait);
  }

  // Types `text` into an entry and presses Enter in it.
  bool TypeAndEnter(W::HWND page, int id, const QString& text) {
    bool typed = false;
    RunOnGuiThread([&] {
      if (const auto* widget = PageWidgetOf(page)) {
        if (auto* edit = dynamic_cast<QLineEdit*>(widget->Control(id))) {
          edit->setFocus();
          QTest::keyClicks(edit, text);
          QTest::keyClick(edit, Qt::Key_Return);
          typed = true;
        }
      }
    });
    EXPECT_TRUE(typed) << "no entry " << id;
    return typed;
  }

  // Presses `key` as the user does on the keyboard: on the control that has
  // the focus in the page widget, or on the page when none has.
  bool Key(W::HWND page, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    bool sent = false;
    RunOnGuiThread([&] {
      if (auto* widget = PageWidgetOf(page)) {
        QWidget* target = widget->focusWidget() != nullptr ? widget->focusWidget() : widget;
        QTest::keyClick(target, key, modifiers);
        sent = true;
      }
    });
    EXPECT_TRUE(sent) << "no widget for the page";
    return sent;
  }

  // Types `text` into whatever has the focus in the page widget.
  void Type(W::HWND page, const QString& text) {
    RunOnGuiThread([&] {
      if (auto* widget = PageWidgetOf(page);
          widget != nullptr && widget->focusWidget() != nullptr) {
        QTest::keyClicks(widget->focusWidget(), text);
      }
    });
  }

  // The id of the control that has the focus in the page widget; 0 for none.
  int FocusedControl(W::HWND page) {
    int id = 0;
    RunOnGuiThread([&] {
      if (auto* widget = PageWidgetOf(page);
          widget != nullptr && widget->focusWidget() != nullptr) {
        id = widget->focusWidget()->objectName().toInt();
      }
    });
    return id;
  }

  // Presses Tab until control `id` has the focus; false when it never does.
  bool TabTo(W::HWND page, int id) {
    for (int presses = 0; presses < 64; ++presses) {
      if (FocusedControl(page) == id) {
        return true;
      }
      Key(page, Qt::Key_Tab);
    }
    ADD_FAILURE() << "Tab never reached control " << id;
    return false;
  }

  // A control of the page widget as it draws itself now.
  QImage Grab(W::HWND page, int id) {
    QImage image;
    RunOnGuiThread([&] {
      if (auto* widget = PageWidgetOf(page); widget != nullptr && widget->Control(id) != nullptr) {
        image = widget->Control(id)->grab().toImage();
      }
    });
    return image;
  }

  // The lines of a drop-down list as the widget shows them.
  QStringList Lines(W::HWND page, int id) {
    QStringList lines;
    RunOnGuiThread([&] {
      if (const auto* widget = PageWidgetOf(page)) {
        if (const auto* combo = dynamic_cast<QComboBox*>(widget->Control(id))) {
          for (int i = 0; i < combo->count(); ++i) {
            lines << combo->itemText(i);
          }
        }
      }
    });
    return lines;
  }

  // Ends the run: answers any message box still open (a failure: the tour
  // expects none) and presses Esc on whatever page is current until the
  // navigator has returned.
  void Finish() {
    const bool ended = WaitUntil(
        [&] {
          if (runOver_.load()) {
            return true;
          }
          RunOnGuiThread([] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
              if (auto* box = qobject_cast<QMessageBox*>(widget);
                  box != nullptr && box->isVisible()) {
                ADD_FAILURE() << "message box: " << box->text().toStdString();
                box->reject();
              }
            }
          });
          const W::HWND page = program_.frame.navigator.CurrentWindow();
          if (page != W::kNullHwnd) {
            static_cast<void>(W::UserEscape(page));
          }
          return runOver_.load();
        },
        kPageWait);
    EXPECT_TRUE(ended) << "Esc did not end the run";
  }

  // Waits up to `timeout` for a message box and answers it with `button`
  // as the user does; the box's text, or nothing when none came.
  std::optional<std::string> AnswerBox(QMessageBox::StandardButton button,
                                       std::chrono::milliseconds timeout) {
    std::optional<std::string> text;
    Wait(
        [&] {
          RunOnGuiThread([&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
              auto* box = qobject_cast<QMessageBox*>(widget);
              if (box != nullptr && box->isVisible() && box->button(button) != nullptr) {
                text = box->text().toStdString();
                box->button(button)->click();
                return;
              }
            }
          });
          return text.has_value();
        },
        timeout);
    EXPECT_TRUE(text.has_value()) << "no message box";
    return text;
  }

  // Waits for the file dialog and chooses `path` in it.
  bool ChooseFile(const QString& path) {
    bool chosen = false;
    Wait(
        [&] {
          RunOnGuiThread([&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
              auto* dialog = qobject_cast<QFileDialog*>(widget);
              if (dialog != nullptr && dialog->isVisible()) {
                // What accepting a chosen file tells the program; the
                // dialog's own check of the name would run a nested loop.
                dialog->selectFile(path);
                Q_EMIT dialog->fileSelected(path);
                static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
                chosen = true;
                return;
              }
            }
          });
          return chosen;
        },
        kPageWait);
    EXPECT_TRUE(chosen) << "no file dialog";
    return chosen;
  }

  [[nodiscard]] int Shots() const { return shots_; }

 private:
  app::Program& program_;
  std::atomic<bool> runOver_{false};
  int shots_ = 0;
};

// Runs norix-config on simulated `models` with `commandLine` (its language
// token); `prepare` gets the program before its first page, `walk` runs on
// a thread of its own once the first page is about to start, and the run is
// ended after it. Returns the program's exit code.
inline int RunTour(const std::vector<std::string>& models,
                   const std::function<void(Tour&, const app::Program&)>& walk,
                   std::string& diagnostics, const std::string& commandLine = {},
                   const std::function<void(app::Program&)>& prepare = {}) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): no thread yet
  AppOptions options;
  options.simulate = models;
  options.commandLine = commandLine;
  options.singleInstance = false;  // other test runs may be going on

  std::thread driver;
  std::unique_ptr<Tour> tour;
  const auto beforeNavigator = [&](app::Program& program) {
    if (prepare) {
      prepare(program);
    }
    tour = std::make_unique<Tour>(program);
    driver = std::thread([&walk, &tour, &program] {
      walk(*tour, program);
      tour->Finish();
    });
  };
  // The program and its pages end after this; the tour must be done by then.
  const auto afterNavigator = [&](app::Program&) {
    if (tour) {
      tour->RunIsOver();
    }
    if (driver.joinable()) {
      driver.join();
    }
  };
  std::ostringstream out;
  std::ostringstream err;
  const int result =
      RunNorixConfig("norix-config", options, out, err, beforeNavigator, afterNavigator);
  if (driver.joinable()) {
    driver.join();  // the run ended before its navigator started
  }
  diagnostics = out.str() + err.str();
  return result;
}

}  // namespace norix::app::wizard_tour
