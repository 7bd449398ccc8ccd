#include "platform/qt/qt_front_end.h"

#include <QApplication>
#include <QMetaObject>
#include <atomic>
#include <exception>
#include <thread>

#include "platform/qt/qt_translations.h"

namespace norix::platform::qt {

int RunQtFrontEnd(int& argc, char** argv, int textCountryCode,
                  const window::TemplateRegistry& templates, const PictureSource& pictures,
                  const std::function<int(window::Desktop&)>& systemMain) {
  const QApplication app(argc, argv);
  const QtTranslations translations(textCountryCode);
  // Pages stay open while the next one starts; the program ends when its own
  // main thread says so, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
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
