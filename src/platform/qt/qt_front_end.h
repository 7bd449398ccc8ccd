// Runs the program with the Qt front end: the process main thread becomes the
// GUI thread and the program's own main thread runs beside it.
#pragma once

#include <functional>

#include "platform/qt/qt_renderer.h"
#include "platform/window/desktop.h"
#include "platform/window/template_registry.h"

namespace norix::platform::qt {

// Makes the QApplication with Qt's own texts in the language of the
// program's texts (`textCountryCode`: the country code of the catalogue in
// use, 44 for the program's own English texts), a QtRenderer drawing with
// `pictures` and a Desktop with `templates`, then runs `systemMain` on a
// thread of its own while this thread runs the Qt event loop. Returns when
// `systemMain` has returned (the event loop then ends), with its result.
// The windows take the picture `programIconId` as their icon.
// Call on the process main thread.
int RunQtFrontEnd(int& argc, char** argv, int textCountryCode,
                  const window::TemplateRegistry& templates, const PictureSource& pictures,
                  int programIconId, const std::function<int(window::Desktop&)>& systemMain);

}  // namespace norix::platform::qt
