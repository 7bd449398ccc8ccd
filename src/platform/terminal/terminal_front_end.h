// Runs the program with the terminal front end: the process main thread
// draws the pages on the terminal and reads the keys, and the program's own
// main thread runs beside it.
#pragma once

#include <functional>
#include <iosfwd>

#include "platform/terminal/dialog_view.h"
#include "platform/terminal/terminal_words.h"
#include "platform/window/desktop.h"
#include "platform/window/template_registry.h"

namespace norix::platform::terminal {

// Takes over the terminal, makes a TerminalRenderer and a Desktop with
// `templates` (pictures shown as `pictures` names them, the front end's own
// words in `words`), then runs `systemMain` on a thread of its own while this
// thread shows the dialogs and passes the user's input on. Returns when
// `systemMain` has returned, with its result, the terminal given back as it
// was. Whatever the program writes to the standard error meanwhile is held
// back and written out afterwards, so that it does not garble the screen.
// Returns 1 at once, saying why on `err`, when there is no usable terminal.
// Ctrl+C is Esc the first time; pressed again before the run ends, it ends
// the process with 130. Call on the process main thread.
int RunTerminalFrontEnd(const window::TemplateRegistry& templates, const PictureText& pictures,
                        const TerminalWords& words,
                        const std::function<int(window::Desktop&)>& systemMain, std::ostream& err);

}  // namespace norix::platform::terminal
