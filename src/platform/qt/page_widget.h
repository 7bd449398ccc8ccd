// One dialog on screen: a fixed-size top-level window with the dialog's
// background picture stretched over its client area and a child widget per
// control. It applies the model's state and reports user input to the model
// (user_input.h); it never changes a control's state on its own authority.
#pragma once

#include <QImage>
#include <QWidget>
#include <map>
#include <vector>

#include "platform/qt/qt_renderer.h"
#include "platform/window/control_state.h"

namespace norix::platform::qt {

class PageWidget final : public QWidget {
 public:
  PageWidget(const window::WindowSnapshot& snapshot, const PictureSource& pictures);

  [[nodiscard]] window::HWND Handle() const { return handle_; }
  [[nodiscard]] QWidget* Control(int id) const;

  void ApplyWindow(const window::WindowState& state, unsigned changes);
  void ApplyControl(const window::ControlState& state, unsigned changes);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    window::ControlKind kind{};
    QWidget* widget = nullptr;
    int picture = 0;
    int pressedPicture = 0;
  };

  QWidget* MakeControl(const window::ControlState& state);
  void Connect(const window::ControlState& state, QWidget* widget);
  // Handles a key that is the dialog's (Enter, Esc); true when it was one.
  bool DialogKey(const QKeyEvent* event);
  [[nodiscard]] int IdOf(const QObject* widget) const;
  // Sets the checked state of a check box or radio from the model.
  void SyncChecked(int id);
  // Names every control for readers of the screen by its text: a button,
  // box or label by its own, an arrow button by its direction, and an
  // entry, list, slider or progress bar by the text of the label before it
  // in the page's order, as labels stand before what they name.
  void UpdateAccessibleNames();

  window::HWND handle_{};
  const PictureSource& pictures_;
  int backgroundPicture_ = 0;
  QImage background_;  // the background picture at the client size
  std::map<int, Entry> controls_;
  std::vector<int> order_;  // control ids in template order
  bool placing_ = false;    // a move made by the model, not by the user
};

}  // namespace norix::platform::qt
