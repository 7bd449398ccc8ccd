#include "platform/qt/qt_front_end.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QMetaObject>
#include <QString>
#include <atomic>
#include <exception>
#include <thread>

#include "platform/qt/qt_translations.h"

namespace norix::platform::qt {

namespace {

// The program's icon drawn at the sizes desktops ask for (16 to 256 pixels).
QIcon ProgramIcon(const PictureSource& pictures, int iconId) {
  QIcon icon;
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage image = pictures(iconId, QSize(side, side));
    if (!image.isNull()) {
      icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  return icon;
}

}  // namespace

int RunQtFrontEnd(int& argc, char** argv, int textCountryCode,
                  const window::TemplateRegistry& templates, const PictureSource& pictures,
                  int programIconId, const std::function<int(window::Desktop&)>& systemMain) {
  const QApplication app(argc, argv);
  const QtTranslations translations(textCountryCode);
  // Pages stay open while the next one starts; the program ends when its own
  // main thread says so, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  // The desktop matches the windows to the installed menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("norix-config"));
  QApplication::setWindowIcon(ProgramIcon(pictures, programIconId));
  QtRenderer renderer(pictures);
  window::Desktop desktop(renderer, templates);
  renderer.AttachDesktop(&desktop);

  std::atomic<int> result{1};
  std::thread systemThread([&] {
    try {
      result.store(systemMain(desktop));
    } catch (const std::exception&) {
      result.store(1);
    }
    // Queued, so that a quit before the loop has started is not lost.
    QMetaObject::invokeMethod(
        qApp, [] { QApplication::quit(); }, Qt::QueuedConnection);
  });
  QApplication::exec();
  systemThread.join();
  renderer.AttachDesktop(nullptr);
  return result.load();
}

}  // namespace norix::platform::qt
