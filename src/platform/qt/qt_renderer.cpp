#include "platform/qt/qt_renderer.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QScreen>
#include <QStyle>
#include <utility>

#include "platform/qt/modal_boxes.h"
#include "platform/qt/page_widget.h"
#include "platform/window/desktop.h"

namespace norix::platform::qt {

namespace w = window;

QtRenderer::QtRenderer(PictureSource pictures)
    : pictures_(std::move(pictures)), gui_(std::make_unique<QObject>()) {
  metrics_ = Measure();
  WatchScreen(QGuiApplication::primaryScreen());
  QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, gui_.get(),
                   [this](QScreen* screen) {
                     WatchScreen(screen);
                     ScreenChanged();
                   });
}

QtRenderer::~QtRenderer() {
  for (auto& [handle, page] : pages_) {
    delete page.data();
  }
  // Deleting an open box drops its answer object, which answers it 0 or
  // "cancelled", so no dialog thread waits for ever.
  for (const QPointer<QWidget>& box : boxes_) {
    delete box.data();
  }
}

void QtRenderer::WatchScreen(QScreen* screen) {
  if (screen == nullptr) {
    return;
  }
  QObject::connect(screen, &QScreen::geometryChanged, gui_.get(), [this] { ScreenChanged(); });
  QObject::connect(screen, &QScreen::availableGeometryChanged, gui_.get(),
                   [this] { ScreenChanged(); });
}

w::ScreenMetrics QtRenderer::Measure() const {
  w::ScreenMetrics metrics;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    metrics.screen = w::RectAt(area.x(), area.y(), area.width(), area.height());
    metrics.bitsPerPixel = screen->depth();
  }
  // Dialog base units as the window system measures its dialog font: the
  // average width of the 52 letters, rounded, and the character height.
  const QFontMetrics font(QApplication::font());
  const int letters = font.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  metrics.baseUnitX = (letters / 26 + 1) / 2;
  metrics.baseUnitY = font.height();
  // The window manager draws the frame; Qt cannot know it before a window
  // is shown, so the style's idea of it stands in.
  const QStyle* style = QApplication::style();
  metrics.captionHeight = style->pixelMetric(QStyle::PM_TitleBarHeight);
  metrics.frameX = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
  metrics.frameY = metrics.frameX;
  return metrics;
}

w::ScreenMetrics QtRenderer::Metrics() {
  const std::lock_guard lock(metricsMutex_);
  return metrics_;
}

void QtRenderer::ScreenChanged() {
  const w::ScreenMetrics metrics = Measure();
  {
    const std::lock_guard lock(metricsMutex_);
    metrics_ = metrics;
  }
  if (desktop_ != nullptr) {
    desktop_->DisplayChanged(metrics);
  }
}

void QtRenderer::AttachDesktop(w::Desktop* desktop) { desktop_ = desktop; }

void QtRenderer::Queue(std::function<void()> apply) {
  QMetaObject::invokeMethod(gui_.get(), std::move(apply), Qt::QueuedConnection);
}

QWidget* QtRenderer::DialogWidget(w::HWND dialog) const {
  const auto found = pages_.find(dialog);
  return found == pages_.end() ? nullptr : found->second.data();
}

QWidget* QtRenderer::ControlWidget(w::HWND dialog, int id) const {
  const auto found = pages_.find(dialog);
  if (found == pages_.end() || found->second.isNull()) {
    return nullptr;
  }
  return found->second->Control(id);
}

void QtRenderer::WindowCreated(const w::WindowSnapshot& snapshot) {
  Queue([this, snapshot] {
    auto* page = new PageWidget(snapshot, pictures_);
    pages_[snapshot.window.handle] = page;
  });
}

void QtRenderer::WindowChanged(const w::WindowState& window, unsigned changes) {
  Queue([this, window, changes] {
    const auto found = pages_.find(window.handle);
    if (found != pages_.end() && !found->second.isNull()) {
      found->second->ApplyWindow(window, changes);
    }
  });
}

void QtRenderer::ControlChanged(w::HWND window, const w::ControlState& control, unsigned changes) {
  Queue([this, window, control, changes] {
    const auto found = pages_.find(window);
    if (found != pages_.end() && !found->second.isNull()) {
      found->second->ApplyControl(control, changes);
    }
  });
}

void QtRenderer::WindowDestroyed(w::HWND window) {
  Queue([this, window] {
    const auto found = pages_.find(window);
    if (found != pages_.end()) {
      delete found->second.data();
      pages_.erase(found);
    }
  });
}

void QtRenderer::ShowMessageBox(const w::MessageBoxRequest& request, w::MessageBoxAnswer answer) {
  Queue([this, request, answer = std::move(answer)] {
    std::erase_if(boxes_, [](const QPointer<QWidget>& box) { return box.isNull(); });
    boxes_.emplace_back(OpenMessageBox(request, answer, DialogWidget(request.owner)));
  });
}

void QtRenderer::ShowOpenFileDialog(const w::FileDialogRequest& request,
                                    w::FileDialogAnswer answer) {
  Queue([this, request, answer = std::move(answer)] {
    std::erase_if(boxes_, [](const QPointer<QWidget>& box) { return box.isNull(); });
    boxes_.emplace_back(OpenFileDialog(request.dialog, answer, DialogWidget(request.dialog.owner)));
  });
}

}  // namespace norix::platform::qt
